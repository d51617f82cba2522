// Products put into the bill's lines (from the catalogue picker's posted
// event or a scanned barcode), the price history of the line's product,
// and the grid settings window of the line grid.
#include <QCoreApplication>
#include <QLineEdit>
#include <exception>

#include "KrxField.h"
#include "KrxQuery.h"
#include "MessageBox.h"
#include "SaleBillNumbers.h"
#include "SaleBillSql.h"
#include "StringGrid.h"
#include "uniSaleBill.h"
#include "uniType.h"
#include "unigridsetting.h"

namespace {

constexpr int kPriceRows = 5;

void OpenSql(krx::TKrxQuery& query, const QString& sql) {
  query.Close();
  query.SetSQLText(sql.toStdString());
  query.Open();
  query.First();
}

QString Text(krx::TKrxQuery& query, const char* field) {
  return query.Eof() ? QString() : QString::fromStdString(query.FieldByName(field).AsString());
}

}  // namespace

void TfrmSaleBill::customEvent(QEvent* event) {
  if (event->type() != WM_ADDPRODUCT) {
    QWidget::customEvent(event);
    return;
  }
  const int modelId = static_cast<TAddProductEvent*>(event)->FModelID;
  try {
    AddProductLine(modelId);
  } catch (const std::exception& e) {
    if (KrxQ1) KrxQ1->Close();
    velmor::ShowError(this, QString::fromStdString(e.what()));
  }
}

void TfrmSaleBill::AddProductLine(int modelId) {
  if (!KrxQ1) return;
  const int first = advgrid->firstDataRow();
  int lastProduct = -1;
  for (int row = first; row <= advgrid->lastDataRow(); ++row) {
    if (!(advgrid->cell(ColXinghao, row).trimmed() + advgrid->cell(ColGuige, row).trimmed()).isEmpty())
      lastProduct = row;
  }
  int target = first;
  if (lastProduct >= 0) {
    if (lastProduct == advgrid->lastDataRow()) {
      advgrid->addRow();
      advgrid->autoNumberCol(ColLineNo);
    }
    target = lastProduct + 1;
  }
  OpenSql(*KrxQ1, salebill::ProductSql(modelId));
  // A product that is not found leaves empty texts.
  advgrid->setCell(ColBianma, target, Text(*KrxQ1, "FBianma"));
  advgrid->setCell(ColName, target, Text(*KrxQ1, "FName"));
  advgrid->setCell(ColXinghao, target, Text(*KrxQ1, "FXinghao"));
  advgrid->setCell(ColGuige, target, Text(*KrxQ1, "FGuige"));
  advgrid->setCell(ColUnit, target, Text(*KrxQ1, "FUnit"));
  const QString price = Text(*KrxQ1, "FFactoryPrice");
  advgrid->setCell(ColPrice, target, price);
  if (SysParas.BarcodeEnabled == QLatin1String("1")) {
    advgrid->setCell(ColQty, target, velmor::FormatNumberPattern(1, SysParas.QtyDecimals));
    const std::optional<double> value = salebill::ReadCellNumber(price, QStringLiteral("0"));
    const QString money = SysParas.MoneyFormat.isEmpty() ? QStringLiteral("0.00") : SysParas.MoneyFormat;
    advgrid->setCell(ColAmount, target, price.trimmed().isEmpty() || !value ? QString()
                                                                           : velmor::FormatNumberPattern(*value, money));
  }
  KrxQ1->Close();
  UpdateBillTotals();
}

void TfrmSaleBill::sbsearchClick() {
  if (SysParas.BarcodeEnabled != QLatin1String("1")) return;  // the catalogue picker searches for itself
  const QString code = edsearch->text().trimmed();
  bool ok = false;
  const int minLength = SysParas.BarcodeMinLength.trimmed().toInt(&ok);
  if (!ok) {
    velmor::ShowError(this, QStringLiteral("'") + SysParas.BarcodeMinLength + QStringLiteral("' is not a valid integer value"));
    return;
  }
  if (code.isEmpty() || code.toUtf8().size() < minLength || !KrxQ1) return;
  int modelId = 0;
  try {
    OpenSql(*KrxQ1, salebill::BarcodeSql(code));
    const bool found = !KrxQ1->Eof();
    if (found) modelId = KrxQ1->FieldByName("FModelID").AsInteger();
    KrxQ1->Close();
    if (!found) return;  // the code stays for correction
  } catch (const std::exception& e) {
    KrxQ1->Close();
    velmor::ShowError(this, QString::fromStdString(e.what()));
    return;
  }
  PostAddProduct(this, modelId);
  edsearch->clear();
  edsearch->setFocus();
}

void TfrmSaleBill::edsearchChange() {
  if (SysParas.BarcodeEnabled == QLatin1String("1")) sbsearchClick();
}

void TfrmSaleBill::ShowPriceHistory(const QString& model, const QString& spec) {
  gridprice->clearRows(gridprice->fixedRows(), gridprice->rowCount() - 1);
  if (!KrxQ1) return;
  try {
    OpenSql(*KrxQ1, salebill::PriceHistorySql(model, spec));
    for (int n = 1; n <= kPriceRows && !KrxQ1->Eof(); ++n, KrxQ1->Next()) {
      gridprice->setCell(0, n, QString::number(n));
      gridprice->setCell(1, n, Text(*KrxQ1, "fdate"));
      gridprice->setCell(2, n, Text(*KrxQ1, "fprice"));
      gridprice->setCell(3, n, Text(*KrxQ1, "fcs"));
    }
    KrxQ1->Close();
  } catch (const std::exception& e) {
    KrxQ1->Close();
    velmor::ShowError(this, QString::fromStdString(e.what()));
    return;
  }
  // Columns sized to what they hold.
  const QFontMetrics metrics(gridprice->font());
  for (int col = 1; col < gridprice->colCount(); ++col) {
    int width = 20;
    for (int row = 0; row < gridprice->rowCount(); ++row)
      width = std::max(width, metrics.horizontalAdvance(gridprice->cell(col, row)) + 8);
    gridprice->setColWidth(col, width);
  }
}

void TfrmSaleBill::ShowPriceHistoryOfRow(int row) {
  const QString model = advgrid->cell(ColXinghao, row).trimmed();
  const QString spec = advgrid->cell(ColGuige, row).trimmed();
  if (model.isEmpty() && spec.isEmpty()) return;
  ShowPriceHistory(model, spec);
}

void TfrmSaleBill::advgridDblClickCell(int ARow, int ACol) {
  Q_UNUSED(ACol);
  if (ARow != 0 || !KrxQ1) return;
  Tfrmgridsetting settings(*KrxQ1, this);
  settings.setWindowTitle(QStringLiteral("表格设置-销售单"));
  settings.TableName = QStringLiteral("cqsalebill");
  settings.exec();
}
