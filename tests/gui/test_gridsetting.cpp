// The grid settings window on a real database file, and the layout helpers
// that build a list from the stored layout.
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "KrxDatabase.h"
#ifndef Q_MOC_RUN  // the message table is more than moc can read
#include "KrxException.h"
#endif
#include "KrxQuery.h"
#include "StringGrid.h"
#include "TestSupport.h"
#include "uniFunction.h"
#include "unigridsetting.h"

namespace {

// A fresh database with the layout table, four layout rows of cqproduct
// (one hidden from lists, one hidden from the settings window) and a product table.
class LayoutDatabase {
 public:
  LayoutDatabase() {
    db.SetDatabaseName("GRIDSETTING");
    db.SetDatabaseFileName((dir.path() + "/cpbill").toStdString());
    db.CreateDataBase();
    db.Connect();
    q1.SetDatabaseName("GRIDSETTING");
    q2.SetDatabaseName("GRIDSETTING");
    for (const char* sql : {
             "CREATE TABLE picxGridsetting(fitemid INTEGER, ftablename VARCHAR(60), ffieldname VARCHAR(60), "
             "fshowname VARCHAR(60), fwidth INTEGER, falign INTEGER, fhide INTEGER, fsethide INTEGER, findex INTEGER)",
             "insert into picxGridsetting values(1,'cqproduct','FModelID','编号',0,-1,0,1,1)",
             "insert into picxGridsetting values(2,'cqproduct','FXinghao','型号',80,0,0,0,2)",
             "insert into picxGridsetting values(3,'cqproduct','FGuige','规格',90,1,0,0,3)",
             "insert into picxGridsetting values(4,'cqproduct','FMemo','备注',60,-1,1,0,4)",
             "insert into picxGridsetting values(5,'cqsalebill','FName','产品名称',100,-1,0,0,1)",
             "CREATE TABLE cqproduct(FModelID INTEGER, FXinghao VARCHAR(40), FGuige VARCHAR(40), FMemo VARCHAR(40))",
             "insert into cqproduct values(41,'YJV','3*4','a')",
             "insert into cqproduct values(7,'VV','3*2.5','b')",
         })
      Exec(sql);
  }
  void Exec(const QString& sql) {
    q1.Close();
    q1.SetSQLText(sql.toUtf8().toStdString());
    q1.ExecSQL();
  }
  QString Value(const QString& column, int itemId) {
    return GetFieldValue(q2, "picxGridsetting", column, QString(" where fitemid=%1").arg(itemId));
  }

  QTemporaryDir dir;
  krx::TKrxDatabase db;
  krx::TKrxQuery q1{"KrxQ1"};
  krx::TKrxQuery q2{"KrxQ2"};
};

// The database, or nothing while the engine cannot yet run the statements
// that make it (the test then skips rather than failing for that reason).
std::unique_ptr<LayoutDatabase> OpenLayoutDatabase(QString* why) {
  try {
    return std::make_unique<LayoutDatabase>();
  } catch (const krx::EKrxException& error) {
    constexpr int32_t kNotExecutableYet = 22004;
    if (error.NativeError() != kNotExecutableYet) throw;
    *why = QString::fromStdString(error.what());
    return nullptr;
  }
}

#define OPEN_LAYOUT_DATABASE(name)                            \
  QString why;                                                \
  std::unique_ptr<LayoutDatabase> name##Holder = OpenLayoutDatabase(&why); \
  if (!name##Holder) QSKIP(qPrintable(why));                  \
  LayoutDatabase& name = *name##Holder

}  // namespace

class TestGridSetting : public QObject {
  Q_OBJECT

 private slots:
  void showsTheOfferedRowsAndEndsWithAnEmptyRow() {
    OPEN_LAYOUT_DATABASE(data);
    Tfrmgridsetting form(data.q1);
    form.TableName = "cqproduct";
    form.setWindowTitle("表格设置-产品");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.size(), QSize(291, 358));
    velmor::StringGrid* grid = form.findChild<velmor::StringGrid*>("advgrid");
    QVERIFY(grid);
    QCOMPARE(grid->colCount(), 4);
    QCOMPARE(grid->colWidth(1), 0);
    QCOMPARE(grid->rowCount(), 5);  // captions, three offered rows, one empty row
    QCOMPARE(grid->cell(3, 0), QString("宽度"));
    QCOMPARE(grid->cell(0, 1), QString("1"));
    QCOMPARE(grid->cell(1, 1), QString("2"));
    QCOMPARE(grid->cell(2, 1), QString("型号"));
    QCOMPARE(grid->cell(3, 2), QString("90"));
    QCOMPARE(grid->cell(2, 3), QString("备注"));
    QCOMPARE(grid->cell(1, 4), QString());
    QCOMPARE(grid->editorTypeOf(1, 1), velmor::EditorType::None);
    QCOMPARE(grid->editorTypeOf(3, 1), velmor::EditorType::PositiveNumber);
    QCOMPARE(grid->editorTypeOf(2, 1), velmor::EditorType::Edit);
    velmor::test::SaveScreenshot(&form);
  }

  void saveKeepsAClearedCaptionAndStoresZeroForAClearedWidth() {
    OPEN_LAYOUT_DATABASE(data);
    Tfrmgridsetting form(data.q1);
    form.TableName = "cqproduct";
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    velmor::StringGrid* grid = form.advgrid;
    grid->setCell(2, 1, "  ");         // cleared caption of 型号
    grid->setCell(3, 1, "");           // cleared width of 型号
    grid->setCell(2, 2, "规格's");     // a quote goes in as text
    grid->setCell(3, 2, " 120 ");
    grid->setCell(2, 4, "无行");       // the empty row has no identifier
    velmor::test::MessageAnswers answers;
    QTest::mouseClick(form.btnsave, Qt::LeftButton);
    QCOMPARE(answers.Texts(), QStringList{"保存成功！在您下次登录系统时才能看到效果。"});
    QCOMPARE(answers.Asked().value(0).icon, velmor::MsgIcon::Information);
    QVERIFY(form.btnsave->isEnabled());
    QVERIFY(!form.isVisible());
    QCOMPARE(data.Value("fshowname", 2), QString("型号"));
    QCOMPARE(data.Value("fwidth", 2), QString("0"));
    QCOMPARE(data.Value("fshowname", 3), QString("规格's"));
    QCOMPARE(data.Value("fwidth", 3), QString("120"));
    QCOMPARE(data.Value("fwidth", 1), QString("0"));   // not offered, not touched
    QCOMPARE(CountRecords(data.q2, "picxGridsetting", "fitemid", ""), 5);
  }

  void cancelWritesNothing() {
    OPEN_LAYOUT_DATABASE(data);
    Tfrmgridsetting form(data.q1);
    form.TableName = "cqproduct";
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.advgrid->setCell(3, 1, "5");
    QTest::mouseClick(form.btncancel, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QCOMPARE(data.Value("fwidth", 2), QString("80"));
  }

  void listBuiltFromTheStoredLayout() {
    OPEN_LAYOUT_DATABASE(data);
    const QString fields = LoadGridSettingColumn(data.q2, "cqproduct", "picxGridsetting", "ffieldname");
    QCOMPARE(fields, QString("FModelID,FXinghao,FGuige"));
    QCOMPARE(LoadGridSettingColumn(data.q2, "nolayout", "picxGridsetting", "ffieldname"), QString());
    data.q1.Close();
    data.q1.SetSQLText(("select " + fields + " from cqproduct order by FModelID").toStdString());
    data.q1.Open();
    QCOMPARE(GetFieldNames(data.q1), fields);
    velmor::StringGrid grid;
    LoadGridFromQuery(&grid, data.q1, data.q2, "cqproduct", true);
    data.q1.Close();
    QCOMPARE(grid.colCount(), 4);
    QCOMPARE(grid.rowCount(), 4);  // captions, two rows, footer
    QVERIFY(grid.footerVisible());
    QCOMPARE(grid.cell(1, 0), QString("编号"));
    QCOMPARE(grid.cellAlignment(2, 0), Qt::Alignment(Qt::AlignCenter));
    QCOMPARE(grid.colWidth(1), 0);
    QCOMPARE(grid.colWidth(3), 90);
    QCOMPARE(grid.cell(0, 2), QString("2"));
    QCOMPARE(grid.cell(1, 1), QString("7"));
    QCOMPARE(grid.cell(3, 2), QString("3*4"));
    QCOMPARE(grid.cellAlignment(2, 1), Qt::Alignment(Qt::AlignHCenter));
    QCOMPARE(grid.cellAlignment(3, 1), Qt::Alignment(Qt::AlignRight));

    // No rows: the caption row and one empty row, without a footer.
    data.q1.SetSQLText(("select " + fields + " from cqproduct where 1=2").toStdString());
    data.q1.Open();
    LoadGridFromQuery(&grid, data.q1, data.q2, "cqproduct", false);
    data.q1.Close();
    QCOMPARE(grid.rowCount(), 2);
    QCOMPARE(grid.cell(1, 1), QString());

    // A width that is not a number stops before the grid changes.
    data.Exec("Update picxGridsetting set fwidth=NULL where fitemid=3");
    data.q1.SetSQLText(("select " + fields + " from cqproduct").toStdString());
    data.q1.Open();
    QVERIFY_THROWS_EXCEPTION(EConvertError, LoadGridFromQuery(&grid, data.q1, data.q2, "cqproduct", false));
    data.q1.Close();
    QCOMPARE(grid.rowCount(), 2);
  }

  void numberHelpers() {
    OPEN_LAYOUT_DATABASE(data);
    QCOMPARE(GetNextNumber(data.q2, "cqproduct", "FModelID", ""), QString("42"));
    QCOMPARE(GetNextNumber(data.q2, "cqproduct", "FModelID", " where FModelID>100"), QString("1"));
    QCOMPARE(CountRecords(data.q2, "cqproduct", "FModelID", " where FXinghao='VV'"), 1);
    QCOMPARE(GetFieldValue(data.q2, "cqproduct", "FGuige", " where FModelID=7"), QString("3*2.5"));
    QCOMPARE(GetFieldValue(data.q2, "cqproduct", "FGuige", " where FModelID=8"), QString());
    QVERIFY(!data.q2.Active());
    data.Exec("CREATE TABLE pisysparameter(FName VARCHAR(40), fparameter VARCHAR(40))");
    data.Exec("insert into pisysparameter values('单据编号','41')");
    SysParas.BillPrefix = "XS";
    QCOMPARE(MakeBillNumber(data.q2, 4), QString("XS0042"));
  }
};

QTEST_MAIN(TestGridSetting)
#include "test_gridsetting.moc"
