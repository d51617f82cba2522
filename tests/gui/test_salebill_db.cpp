// The sale bill window on a fresh initial database: numbering and storing a
// new bill, the checks of a save, reloading a stored bill, and a save that
// fails half-way.
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "KrxDatabase.h"
#include "KrxField.h"
#include "KrxQuery.h"
#include "SaleBillTestParameters.h"
#include "StringGrid.h"
#include "TestSupport.h"
#include "uniFunction.h"
#include "uniSaleBill.h"
#include "uniType.h"

using velmor::StringGrid;
using velmor::test::MessageAnswers;

namespace {

QString SeedScriptPath() {
  const QString source = qEnvironmentVariable("VELMOR_SOURCE_DIR");
  if (!source.isEmpty()) return QDir(source).filePath(QStringLiteral("data/cpbill.sql"));
  return QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../../data/cpbill.sql"));
}

// A fresh database made from the initial script, with the two queries the
// window works through.
class BillDatabase {
 public:
  // Null, with the reason, while the engine cannot yet build the database.
  static std::unique_ptr<BillDatabase> Open(QString* why) {
    auto db = std::make_unique<BillDatabase>();
    try {
      QFile script(SeedScriptPath());
      if (!script.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("no seed script at ") + script.fileName();
        return nullptr;
      }
      db->database.SetDatabaseName("SALEBILL");
      db->database.SetDatabaseFileName((db->dir.path() + QStringLiteral("/cpbill")).toStdString());
      db->database.CreateDataBase();
      db->database.Connect();
      db->q1.SetDatabaseName("SALEBILL");
      db->q2.SetDatabaseName("SALEBILL");
      db->q1.SetParamCheck(false);
      db->q1.SetSQLText(script.readAll().toStdString());
      db->q1.ExecSQL();
      db->q1.Close();
    } catch (const std::exception& e) {
      *why = QStringLiteral("the engine cannot build the initial database yet: ") + QString::fromStdString(e.what());
      return nullptr;
    }
    return db;
  }

  QString Value(const QString& sql, const char* field) {
    q2.Close();
    q2.SetSQLText(sql.toStdString());
    q2.Open();
    q2.First();
    const QString value = q2.Eof() ? QString() : QString::fromStdString(q2.FieldByName(field).AsString());
    q2.Close();
    return value;
  }
  void Exec(const QString& sql) {
    q2.Close();
    q2.SetSQLText(sql.toStdString());
    q2.ExecSQL();
  }
  QString Counter() { return Value(QStringLiteral("select fparameter from pisysparameter where FName='单据编号'"), "fparameter"); }
  int Lines(const QString& interId) {
    return Value(QStringLiteral("select count(*) as n from cqsalebill where FInterID=") + interId, "n").toInt();
  }

  QTemporaryDir dir;
  krx::TKrxDatabase database;
  krx::TKrxQuery q1{"KrxQ1"};
  krx::TKrxQuery q2{"KrxQ2"};
};

}  // namespace

#define OPEN_BILL_DATABASE()                                           \
  QString why;                                                         \
  std::unique_ptr<BillDatabase> db = BillDatabase::Open(&why);         \
  if (!db) QSKIP(qPrintable(why));

class TestSaleBillDb : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TfrmSaleBill> bill_;
  StringGrid* grid_ = nullptr;
  static constexpr int kFirst = 2;

  template <typename T>
  T* Child(const char* name) const {
    T* child = bill_->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no control %s", name);
    return child;
  }

  void ShowBill(BillDatabase& db, const QString& interId = QStringLiteral("0")) {
    bill_ = std::make_unique<TfrmSaleBill>(nullptr, &db.q1, &db.q2);
    grid_ = Child<StringGrid>("advgrid");
    bill_->BillInterID = interId;
    bill_->resize(1100, 700);
    bill_->show();
    bill_->activateWindow();
    if (!QTest::qWaitForWindowActive(bill_.get())) qWarning("bill window not active");
  }
  bool Type(int col, int row, const QString& text) {
    while (grid_->lastDataRow() < row) grid_->addRow();
    grid_->setCurrentCell(col, row);
    if (!grid_->startEdit(&text)) return false;
    return grid_->commitEdit();
  }
  void Line(int row, const char* model, const char* spec, const char* qty, const char* price) {
    QVERIFY(Type(5, row, QString::fromUtf8(model)));
    QVERIFY(Type(6, row, QString::fromUtf8(spec)));
    if (*price) QVERIFY(Type(11, row, QString::fromLatin1(price)));
    if (*qty) QVERIFY(Type(9, row, QString::fromLatin1(qty)));
  }

 private slots:
  void init() {
    UseSaleBillTestParameters();
    SysParas.BillPrefix = QStringLiteral("XS");
    SysParas.SaleColumnSource = QStringLiteral("1");
    SysParas.NameModelSpec = QStringLiteral("1");
    SysParas.StrictColourSum = QStringLiteral("0");
    SysParas.PromptOnSave = QStringLiteral("0");
  }
  void cleanup() { bill_.reset(); }

  void gridIsBuiltFromTheStoredLayout() {
    OPEN_BILL_DATABASE();
    ShowBill(*db);
    QCOMPARE(grid_->colCount(), 24);
    QCOMPARE(grid_->cell(4, 0), QStringLiteral("产品名称"));
    QCOMPARE(grid_->cell(13, 1), QStringLiteral("红"));
    QCOMPARE(grid_->cell(13, 0), QStringLiteral("颜色"));
    QVERIFY(grid_->colWidth(1) < 5);
    QCOMPARE(Child<QLineEdit>("edBillNo")->text(), QStringLiteral("XS0001"));
  }

  void specificationListIsOfTheUpperCaseModel() {
    OPEN_BILL_DATABASE();
    ShowBill(*db);
    grid_->setCell(5, kFirst, QStringLiteral("yjv-0.6/1kv"));
    grid_->setCurrentCell(6, kFirst);
    QCOMPARE(grid_->editorTypeOf(6, kFirst), velmor::EditorType::ComboEdit);
    QVERIFY(grid_->startEdit());
    QVERIFY(grid_->comboStrings().contains(QStringLiteral("3*4+1*2.5")));
    QVERIFY(grid_->comboStrings().contains(QStringLiteral("3*6+1*4")));
    grid_->cancelEdit();
  }

  void newBillIsStoredUnderTheCountersNextNumber() {
    OPEN_BILL_DATABASE();
    ShowBill(*db);
    Line(kFirst, "YJV", "3*4", "12.5", "3");
    Child<QLineEdit>("edBillNo")->setText(QStringLiteral("MY-OWN"));
    MessageAnswers answers;
    QVERIFY(bill_->SaveBill());
    QCOMPARE(answers.Texts(), QStringList());
    QCOMPARE(Child<QLineEdit>("edBillNo")->text(), QStringLiteral("XS0001"));
    QCOMPARE(bill_->BillInterID, QStringLiteral("1"));
    QCOMPARE(db->Counter(), QStringLiteral("1"));
    QCOMPARE(db->Lines(QStringLiteral("1")), 1);
    QCOMPARE(Child<QLabel>("lTitle")->text(), QStringLiteral(" 销售(送货)单 - 编辑"));
    QCOMPARE(grid_->cell(1, kFirst), QStringLiteral("1"));
    QCOMPARE(grid_->cell(2, kFirst), QStringLiteral("1"));
    // Saving it again keeps its number and replaces its lines.
    QVERIFY(bill_->SaveBill());
    QCOMPARE(db->Counter(), QStringLiteral("1"));
    QCOMPARE(db->Lines(QStringLiteral("1")), 1);
    Child<QToolButton>("spnewbill")->click();
    QCOMPARE(Child<QLineEdit>("edBillNo")->text(), QStringLiteral("XS0002"));
  }

  void aBillNumberDifferingOnlyInCaseIsRefused() {
    OPEN_BILL_DATABASE();
    ShowBill(*db);
    Line(kFirst, "YJV", "3*4", "1", "1");
    QVERIFY(bill_->SaveBill());  // stored as XS0001
    Child<QToolButton>("spnewbill")->click();
    Line(kFirst, "VV", "3*2.5", "1", "1");
    Child<QLineEdit>("edBillNo")->setText(QStringLiteral(" xs0001 "));
    MessageAnswers answers;
    QVERIFY(!bill_->SaveBill());
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("单号已被使用。单号不允许重复，请更改！")});
    QCOMPARE(db->Counter(), QStringLiteral("1"));
  }

  void checksComeInOrder() {
    OPEN_BILL_DATABASE();
    ShowBill(*db);
    MessageAnswers answers;
    Child<QComboBox>("edcs")->setEditText(QStringLiteral(" "));
    QVERIFY(!bill_->SaveBill());
    Child<QComboBox>("edcs")->setEditText(QStringLiteral("华东电器"));
    Child<QLineEdit>("edBillNo")->setText(QString());
    QVERIFY(!bill_->SaveBill());
    Child<QLineEdit>("edBillNo")->setText(QStringLiteral("A1"));
    SysParas.NameModelSpec = QStringLiteral("2");
    Line(kFirst, "YJV", "", "10", "");
    QVERIFY(!bill_->SaveBill());
    SysParas.NameModelSpec = QStringLiteral("1");
    SysParas.StrictColourSum = QStringLiteral("1");
    QVERIFY(!bill_->SaveBill());
    QCOMPARE(answers.Texts(), (QStringList{QStringLiteral("必须输入【客户名称】！"), QStringLiteral("必须输入【单号】！"),
                                           QStringLiteral("必须在表格中至少录入一个产品！"),
                                           QStringLiteral("第【1】行，总数量不等于各颜色数量之和，请检查！")}));
    QCOMPARE(db->Counter(), QStringLiteral("0"));
    QCOMPARE(db->Lines(QStringLiteral("1")), 0);
  }

  void emptyLinesAreDroppedAndTheRestRenumbered() {
    OPEN_BILL_DATABASE();
    ShowBill(*db);
    SysParas.NameModelSpec = QStringLiteral("3");
    Line(kFirst, "YJV", "3*4", "1", "2");
    QVERIFY(Type(4, kFirst + 2, QStringLiteral("护套线")));  // a name only counts under "3"
    Line(kFirst + 4, "VV", "3*2.5", "2", "5");
    QVERIFY(bill_->SaveBill());
    QCOMPARE(grid_->lastDataRow(), kFirst + 2);
    QCOMPARE(grid_->cell(0, kFirst + 2), QStringLiteral("3"));
    QCOMPARE(grid_->cell(4, kFirst + 1), QStringLiteral("护套线"));
    QCOMPARE(db->Value(QStringLiteral("select max(FEntryID) as n from cqsalebill where FInterID=1"), "n"),
             QStringLiteral("3"));
  }

  void aStoredBillReloadsCellForCell() {
    OPEN_BILL_DATABASE();
    ShowBill(*db);
    Child<QComboBox>("edcs")->setEditText(QStringLiteral("O'Brien电器"));
    Child<QLineEdit>("edmemo")->setText(QStringLiteral("it's urgent"));
    Child<QComboBox>("edfukuan")->setEditText(QStringLiteral("货到付款"));
    Child<QDateEdit>("eddate")->setDate(QDate(2024, 3, 5));
    Line(kFirst, "YJV", "3*4", "", "3");
    QVERIFY(Type(13, kFirst, QStringLiteral("5")));
    QVERIFY(Type(15, kFirst, QStringLiteral("7")));
    QVERIFY(Type(23, kFirst, QStringLiteral("两盘")));
    QVERIFY(bill_->SaveBill());
    QStringList stored;
    for (int col = 1; col < grid_->colCount(); ++col) stored << grid_->cell(col, kFirst);

    ShowBill(*db, QStringLiteral("1"));
    QCOMPARE(Child<QLabel>("lTitle")->text(), QStringLiteral(" 销售(送货)单 - 编辑"));
    QCOMPARE(Child<QComboBox>("edcs")->currentText(), QStringLiteral("O'Brien电器"));
    QCOMPARE(Child<QLineEdit>("edmemo")->text(), QStringLiteral("it's urgent"));
    QCOMPARE(Child<QComboBox>("edfukuan")->currentText(), QStringLiteral("货到付款"));
    QCOMPARE(Child<QDateEdit>("eddate")->date(), QDate(2024, 3, 5));
    QStringList loaded;
    for (int col = 1; col < grid_->colCount(); ++col) loaded << grid_->cell(col, kFirst);
    QCOMPARE(loaded, stored);
    QCOMPARE(grid_->cell(14, kFirst), QString());  // an unused colour stays empty
    QCOMPARE(Child<QLabel>("pamount")->text(), QStringLiteral("36.00"));
  }

  void productsGoIntoTheNextFreeLine() {
    OPEN_BILL_DATABASE();
    ShowBill(*db);
    db->Exec(QStringLiteral("update cqproduct set FFactoryPrice=12.5, FBianma='P1' where FModelID=1"));
    PostAddProduct(bill_.get(), 1);
    QCoreApplication::sendPostedEvents(bill_.get(), WM_ADDPRODUCT);
    QCOMPARE(grid_->lastDataRow(), kFirst);  // the empty first line took it
    QCOMPARE(grid_->cell(3, kFirst), QStringLiteral("P1"));
    QCOMPARE(grid_->cell(5, kFirst), QStringLiteral("YJV-0.6/1kV"));
    QCOMPARE(grid_->cell(6, kFirst), QStringLiteral("3*4+1*2.5"));
    QCOMPARE(grid_->cell(10, kFirst), QStringLiteral("米"));
    QCOMPARE(grid_->cell(11, kFirst), QStringLiteral("12.5"));
    QCOMPARE(grid_->cell(9, kFirst), QString());
    // The next one appends a line; a name-only line after it counts as free.
    PostAddProduct(bill_.get(), 2);
    QCoreApplication::sendPostedEvents(bill_.get(), WM_ADDPRODUCT);
    QCOMPARE(grid_->lastDataRow(), kFirst + 1);
    QCOMPARE(grid_->cell(6, kFirst + 1), QStringLiteral("3*6+1*4"));
    grid_->addRow();
    grid_->setCell(4, kFirst + 2, QStringLiteral("护套线"));
    PostAddProduct(bill_.get(), 1);
    PostAddProduct(bill_.get(), 2);
    QCoreApplication::sendPostedEvents(bill_.get(), WM_ADDPRODUCT);
    QCOMPARE(grid_->lastDataRow(), kFirst + 3);
    QCOMPARE(grid_->cell(4, kFirst + 2), QStringLiteral("交联聚乙烯绝缘聚氯乙烯护套电力电缆"));
    QCOMPARE(grid_->cell(6, kFirst + 3), QStringLiteral("3*6+1*4"));
  }

  void barcodesAddLinesOfQuantityOne() {
    OPEN_BILL_DATABASE();
    SysParas.BarcodeEnabled = QStringLiteral("1");
    SysParas.BarcodeMinLength = QStringLiteral("5");
    ShowBill(*db);
    db->Exec(QStringLiteral("update cqproduct set ftiaoma='69001', FFactoryPrice=12.5 where FModelID=1"));
    auto* search = Child<QLineEdit>("edsearch");
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("6900"));
    QCoreApplication::sendPostedEvents(bill_.get(), WM_ADDPRODUCT);
    QCOMPARE(search->text(), QStringLiteral("6900"));
    QCOMPARE(grid_->cell(5, kFirst), QString());
    QTest::keyClicks(search, QStringLiteral("1"));
    QCoreApplication::sendPostedEvents(bill_.get(), WM_ADDPRODUCT);
    QCOMPARE(search->text(), QString());
    QVERIFY(search->hasFocus());
    QTest::keyClicks(search, QStringLiteral("69001"));
    QCoreApplication::sendPostedEvents(bill_.get(), WM_ADDPRODUCT);
    for (int row : {kFirst, kFirst + 1}) {
      QCOMPARE(grid_->cell(5, row), QStringLiteral("YJV-0.6/1kV"));
      QCOMPARE(grid_->cell(9, row), QStringLiteral("1.00"));
      QCOMPARE(grid_->cell(12, row), QStringLiteral("12.50"));
    }
    QCOMPARE(Child<QLabel>("pamount")->text(), QStringLiteral("25.00"));
  }

  void priceHistoryShowsTheFiveLatestSales() {
    OPEN_BILL_DATABASE();
    for (int day = 1; day <= 7; ++day) {
      db->Exec(QStringLiteral("insert into cqsalebill(FInterID,FEntryID,fbillno,FDate,fcs,fxinghao,fguige,fprice) "
                              "values(%1,1,'B%1','2024-01-0%1','客户%1','YJV','3*4',%2)")
                   .arg(day)
                   .arg(10 + day));
    }
    ShowBill(*db);
    QVERIFY(Type(5, kFirst, QStringLiteral("yjv")));
    QVERIFY(Type(6, kFirst, QStringLiteral("3*4")));
    auto* prices = Child<StringGrid>("gridprice");
    QCOMPARE(prices->cell(0, 1), QStringLiteral("1"));
    QCOMPARE(prices->cell(3, 1), QStringLiteral("客户7"));
    QCOMPARE(prices->cell(2, 1), QStringLiteral("17"));
    QCOMPARE(prices->cell(3, 5), QStringLiteral("客户3"));
    QCOMPARE(prices->rowCount(), 6);
  }

  void aSaveFailingHalfWayChangesNothing() {
    OPEN_BILL_DATABASE();
    ShowBill(*db);
    Line(kFirst, "YJV", "3*4", "1", "1");
    QVERIFY(bill_->SaveBill());
    const QString before = db->Value(QStringLiteral("select fqty from cqsalebill where FInterID=1"), "fqty");
    QVERIFY(Type(9, kFirst, QStringLiteral("4")));
    Line(kFirst + 1, "VV", "3*2.5", "1", "1");
    grid_->setCell(11, kFirst + 1, QStringLiteral("not a price"));  // the engine refuses this value
    MessageAnswers answers;
    QVERIFY(!bill_->SaveBill());
    QCOMPARE(answers.Texts().size(), 1);
    QVERIFY(answers.Texts().first().contains(QStringLiteral("Native error")));
    QCOMPARE(db->Lines(QStringLiteral("1")), 1);
    QCOMPARE(db->Value(QStringLiteral("select fqty from cqsalebill where FInterID=1"), "fqty"), before);
    QCOMPARE(db->Counter(), QStringLiteral("1"));
    // A new bill that fails keeps its "0" and the counter.
    Child<QToolButton>("spnewbill")->click();
    Line(kFirst, "VV", "3*2.5", "1", "1");
    grid_->setCell(12, kFirst, QStringLiteral("x"));
    QVERIFY(!bill_->SaveBill());
    QCOMPARE(bill_->BillInterID, QStringLiteral("0"));
    QCOMPARE(db->Counter(), QStringLiteral("1"));
    QCOMPARE(Child<QLineEdit>("edBillNo")->text(), QStringLiteral("XS0002"));
  }
};

QTEST_MAIN(TestSaleBillDb)
#include "test_salebill_db.moc"
