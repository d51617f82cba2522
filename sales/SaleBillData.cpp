// The sale bill window's work with the database: the lists of its boxes and
// in-cell editors, the bill number, saving and loading a bill, products
// added from the catalogue or a barcode, and the price history.
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <vector>

#include "KrxDatabase.h"
#include "KrxField.h"
#include "KrxQuery.h"
#include "KrxSession.h"
#include "LocaleSettings.h"
#include "MessageBox.h"
#include "SaleBillNumbers.h"
#include "SaleBillSave.h"
#include "SaleBillSql.h"
#include "StringGrid.h"
#include "uniFunction.h"
#include "uniSaleBill.h"
#include "uniType.h"

namespace {

QString Field(krx::TKrxQuery& query, const char* name) {
  return QString::fromStdString(query.FieldByName(name).AsString());
}

void Run(krx::TKrxQuery& query, const QString& sql, bool open) {
  query.Close();
  query.SetSQLText(sql.toStdString());
  if (open) query.Open();
  else query.ExecSQL();
}

// The day a stored date stands for (days since 1899-12-30).
QDate StoredDate(double days) { return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(days))); }

}  // namespace

QStringList TfrmSaleBill::ReadList(const salebill::ListQuery& list) {
  QStringList items;
  if (!KrxQ1 || list.sql.isEmpty()) return items;
  try {
    Run(*KrxQ1, list.sql, true);
    for (KrxQ1->First(); !KrxQ1->Eof(); KrxQ1->Next()) items << Field(*KrxQ1, list.field.toLatin1().constData());
    KrxQ1->Close();
  } catch (const std::exception& e) {
    KrxQ1->Close();
    // The window stays usable with an empty list.
    velmor::ShowError(this, QString::fromStdString(e.what()));
  }
  return items;
}

void TfrmSaleBill::FillList(QComboBox* box, const salebill::ListQuery& list) {
  const QString text = box->currentText();
  box->clear();
  box->addItems(ReadList(list));
  box->setEditText(text);
}

void TfrmSaleBill::FillHeaderLists() {
  FillList(edzhidan, salebill::ClerkListQuery());
  FillList(edjingshou, salebill::KeeperListQuery());
  FillList(edyewuyuan, salebill::SalesmanListQuery());
  FillList(edcs, salebill::CustomerListQuery());
}

void TfrmSaleBill::FillColumnList(int col, int row) {
  advgrid->setComboStrings(
      ReadList(salebill::ColumnListQuery(col, SysParas.SaleColumnSource, advgrid->cell(ColXinghao, row))));
}

bool TfrmSaleBill::LoadLineGridLayout() {
  if (!KrxQ1 || !KrxQ2) return false;
  const QString columns = LoadGridSettingColumn(*KrxQ2, QStringLiteral("cqsalebill"), QStringLiteral("picxGridsetting"),
                                                QStringLiteral("ffieldname"));
  Run(*KrxQ1, QStringLiteral("select ") + columns + QStringLiteral(" from cqsalebill where 1=2"), true);
  advgrid->beginUpdate();
  try {
    LoadGridFromQuery(advgrid, *KrxQ1, *KrxQ2, QStringLiteral("cqsalebill"), false);
  } catch (...) {
    advgrid->endUpdate();
    KrxQ1->Close();
    throw;
  }
  advgrid->endUpdate();
  KrxQ1->Close();
  return true;
}

QString TfrmSaleBill::NextBillNumber() { return KrxQ2 ? MakeBillNumber(*KrxQ2, 4) : QString(); }

void TfrmSaleBill::edcsExit() {
  const QString name = edcs->currentText().trimmed();
  if (name.isEmpty()) return;
  const QString text = edaddress->currentText();
  edaddress->clear();
  edaddress->addItems(ReadList(salebill::AddressListQuery(name)));
  edaddress->setEditText(text);
}

// ---- saving ------------------------------------------------------------------------------------

bool TfrmSaleBill::SaveBill() {
  auto refuse = [this](const QString& text, QWidget* focus) {
    velmor::ShowInfo(this, text);
    if (focus) focus->setFocus();
    return false;
  };
  if (!KrxQ1 || !KrxQ2) return false;
  if (edcs->currentText().trimmed().isEmpty()) return refuse(QStringLiteral("必须输入【客户名称】！"), edcs);
  if (edBillNo->text().trimmed().isEmpty()) return refuse(QStringLiteral("必须输入【单号】！"), edBillNo);
  int used = 0;
  try {
    used = CountRecords(*KrxQ2, QStringLiteral("cqsalebill"), QStringLiteral("FBillNo"),
                        salebill::BillNoCondition(edBillNo->text(), BillInterID));
  } catch (const std::exception& e) {
    velmor::ShowError(this, QString::fromStdString(e.what()));
    return false;
  }
  if (used > 0)
    return refuse(QStringLiteral("单号已被使用。单号不允许重复，请更改！"), edBillNo);

  const int first = advgrid->firstDataRow();
  const int last = advgrid->lastDataRow();
  auto isProduct = [this](int row) {
    return salebill::IsProductLine(SysParas.NameModelSpec, advgrid->cell(ColName, row),
                                   advgrid->cell(ColXinghao, row), advgrid->cell(ColGuige, row));
  };
  std::vector<int> productRows;
  for (int row = first; row <= last; ++row)
    if (isProduct(row)) productRows.push_back(row);
  if (productRows.empty()) return refuse(QStringLiteral("必须在表格中至少录入一个产品！"), nullptr);
  if (SysParas.StrictColourSum == QLatin1String("1")) {
    for (int row = first; row <= last; ++row) {
      QStringList colours;
      for (int col = ColFirstColour; col <= ColLastColour; ++col) colours << advgrid->cell(col, row);
      const std::optional<bool> same = salebill::QuantityMatchesColours(advgrid->cell(ColQty, row), colours,
                                                                        SysParas.QtyDecimals);
      if (!same) {
        velmor::ShowError(this, salebill::InvalidNumberMessage(advgrid->cell(ColQty, row)));
        return false;
      }
      if (!*same)
        return refuse(QStringLiteral("第【") + QString::number(row - first + 1) +
                          QStringLiteral("】行，总数量不等于各颜色数量之和，请检查！"),
                      nullptr);
    }
  }

  // The delete, the counter step and every insert are one transaction: a
  // failure leaves the stored bill and the counter as they were, and the
  // window changes only once everything is stored.
  const bool isNew = BillInterID == QLatin1String("0");
  QString interId = BillInterID;
  QString billNo = edBillNo->text().trimmed();
  krx::TKrxDatabase* database =
      krx::KrxSessions().SessionByName(KrxQ1->SessionName()).FindDatabase(KrxQ1->DatabaseName());
  try {
    if (!database) throw std::runtime_error("the bill's database is not open");
    database->StartTransaction();
    if (!isNew) {
      Run(*KrxQ1, salebill::DeleteBillSql(interId), false);
    } else {
      billNo = NextBillNumber();
      interId = GetNextNumber(*KrxQ2, QStringLiteral("cqsalebill"), QStringLiteral("FInterID"), QString());
      const QString stored = GetFieldValue(*KrxQ2, QStringLiteral("pisysparameter"), QStringLiteral("fparameter"),
                                           QStringLiteral("where FName='单据编号'"));
      bool ok = false;
      const qlonglong counter = stored.trimmed().toLongLong(&ok);
      if (!ok) throw EConvertError(("'" + stored + "' is not a valid integer value").toStdString());
      Run(*KrxQ1, salebill::CounterUpdateSql(QString::number(counter + 1)), false);
    }
    int entry = 0;
    for (int row : productRows) {
      ++entry;
      QStringList values = {interId,
                            QString::number(entry),
                            billNo,
                            velmor::FormatShortDate(eddate->date()),
                            edcs->currentText().trimmed(),
                            edcontractno->text().trimmed(),
                            edaddress->currentText().trimmed(),
                            edchepai->text().trimmed(),
                            edzhidan->currentText().trimmed(),
                            edjingshou->currentText().trimmed(),
                            edyewuyuan->currentText().trimmed(),
                            edmemo->text().trimmed()};
      for (int col : {3, 4, 5, 6, 9, 10, 11, 12, 7, 8}) values << advgrid->cell(col, row);
      for (int col = ColFirstColour; col <= ColLastColour; ++col) values << advgrid->cell(col, row);
      values << edfukuan->currentText().trimmed() << advgrid->cell(ColDescription, row);
      Run(*KrxQ1, salebill::InsertLineSql(values), false);
    }
    database->Commit();
  } catch (const std::exception& e) {
    KrxQ1->Close();
    if (database && database->InTransaction()) database->Rollback();
    velmor::ShowError(this, QString::fromStdString(e.what()));
    return false;
  }

  // Stored: the window shows what the database now holds.
  BillInterID = interId;
  edBillNo->setText(billNo);
  SetTitle(true);
  for (int row = last; row >= first; --row) {
    if (!isProduct(row)) advgrid->removeRows(row, 1);
  }
  advgrid->autoNumberCol(ColLineNo);
  for (int row = first, entry = 1; row <= advgrid->lastDataRow(); ++row, ++entry) {
    advgrid->setCell(ColInterID, row, interId);
    advgrid->setCell(ColEntryID, row, QString::number(entry));
  }
  if (SysParas.PromptOnSave == QLatin1String("1")) velmor::ShowInfo(this, QStringLiteral("销售(送货)单保存成功。"));
  return true;
}

void TfrmSaleBill::spsavebillClick() {
  advgrid->commitEdit();
  SaveBill();
}

// ---- loading -----------------------------------------------------------------------------------

void TfrmSaleBill::LoadBill() {
  if (!KrxQ1) return;
  Run(*KrxQ1, salebill::LoadBillSql(BillInterID), true);
  KrxQ1->First();
  if (!KrxQ1->Eof()) {
    edcs->setEditText(Field(*KrxQ1, "fcs"));
    edcontractno->setText(Field(*KrxQ1, "fcontractno"));
    edBillNo->setText(Field(*KrxQ1, "fBillNo"));
    edaddress->setEditText(Field(*KrxQ1, "faddress"));
    edchepai->setText(Field(*KrxQ1, "fchepai"));
    edmemo->setText(Field(*KrxQ1, "fmemo"));
    eddate->setDate(StoredDate(KrxQ1->FieldByName("fdate").AsDateTime()));
    edzhidan->setEditText(Field(*KrxQ1, "fzhidan"));
    edjingshou->setEditText(Field(*KrxQ1, "fjingshou"));
    edyewuyuan->setEditText(Field(*KrxQ1, "fyewuyuan"));
    edfukuan->setEditText(Field(*KrxQ1, "ffukuan"));
  }
  const int first = advgrid->firstDataRow();
  int row = first;
  for (; !KrxQ1->Eof(); KrxQ1->Next(), ++row) {
    if (row > advgrid->lastDataRow()) advgrid->addRow();
    advgrid->setCell(ColLineNo, row, QString::number(row - first + 1));
    const char* const texts[] = {"finterid", "fentryid", "fbianma", "fname", "fxinghao", "fguige", "fcolor", "fpack"};
    for (int i = 0; i < 8; ++i) advgrid->setCell(ColInterID + i, row, Field(*KrxQ1, texts[i]));
    advgrid->setCell(ColQty, row, velmor::FormatNumberPattern(KrxQ1->FieldByName("fqty").AsFloat(), SysParas.QtyDecimals));
    advgrid->setCell(ColUnit, row, Field(*KrxQ1, "funit"));
    advgrid->setCell(ColPrice, row,
                     velmor::FormatNumberPattern(KrxQ1->FieldByName("fprice").AsFloat(), SysParas.PriceDecimals));
    advgrid->setCell(ColAmount, row, velmor::FormatNumberPattern(KrxQ1->FieldByName("famount").AsFloat(),
                                                                  SysParas.MoneyFormat.isEmpty() ? QStringLiteral("0.00")
                                                                                                 : SysParas.MoneyFormat));
    for (int c = 0; c < 10; ++c) {
      const std::string name = QStringLiteral("FC%1").arg(c + 1, 2, 10, QLatin1Char('0')).toStdString();
      krx::TKrxField& colour = KrxQ1->FieldByName(name);
      // A colour quantity of 0 shows as an empty cell.
      advgrid->setCell(ColFirstColour + c, row,
                       colour.IsNull() || colour.AsFloat() == 0 ? QString() : QString::fromStdString(colour.AsString()));
    }
    advgrid->setCell(ColDescription, row, Field(*KrxQ1, "fdescription"));
  }
  KrxQ1->Close();
  UpdateBillTotals();
}
