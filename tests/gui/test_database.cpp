// The program's database at start: the upgrade of an older file, the
// loading of the parameters and a missing file.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "KrxDatabase.h"
#ifndef Q_MOC_RUN  // the message table is more than moc can read
#include "KrxException.h"
#endif
#include "KrxQuery.h"
#include "TestSupport.h"
#include "uniData.h"
#include "uniDatabase.h"
#include "uniHints.h"
#include "uniMain.h"
#include "uniType.h"

namespace {

constexpr int32_t kNotExecutableYet = 22004;

QString SeedScriptPath() {
  return QFileInfo(QStringLiteral(__FILE__)).absoluteDir().absoluteFilePath(QStringLiteral("../../data/cpbill.sql"));
}

// A program directory in a temporary folder with the data module pointed at
// its data/cpbill.
class ProgramDirectory {
 public:
  ProgramDirectory() {
    QDir(dir.path()).mkpath(QStringLiteral("data"));
    SysParas = TSysParas();
  }
  QString AppDir() const { return dir.path() + QLatin1Char('/'); }
  QString FileName() const { return AppDir() + QStringLiteral("data/cpbill"); }

  void Create() {
    data.KrxDB.SetDatabaseFileName(FileName().toStdString());
    data.KrxDB.CreateDataBase();
    data.KrxDB.Connect();
  }
  void Exec(const QString& sql) {
    data.KrxQ1.Close();
    data.KrxQ1.SetSQLText(sql.toUtf8().toStdString());
    data.KrxQ1.ExecSQL();
  }
  // Each row as its fields' texts joined by "|".
  QStringList Rows(const QString& sql) {
    krx::TKrxQuery& q = data.KrxQ1;
    q.Close();
    q.SetSQLText(sql.toUtf8().toStdString());
    q.Open();
    QStringList rows;
    for (q.First(); !q.Eof(); q.Next()) {
      QStringList fields;
      for (int f = 0; f < q.FieldCount(); ++f) fields << QString::fromStdString(q.Fields(f).AsString());
      rows << fields.join(QLatin1Char('|'));
    }
    q.Close();
    return rows;
  }
  QStringList Fields(const QString& table) {
    krx::TKrxQuery& q = data.KrxQ1;
    q.Close();
    q.SetSQLText(("select * from " + table + " where 1=2").toUtf8().toStdString());
    q.Open();
    QStringList names;
    for (const std::string& name : q.FieldNames()) names << QString::fromStdString(name);
    q.Close();
    return names;
  }
  QStringList Tables() {
    std::vector<std::string> names;
    data.KrxDB.GetTableNames(names);
    QStringList tables;
    for (const std::string& name : names) tables << QString::fromStdString(name).toLower();
    tables.sort();
    return tables;
  }
  // Every table with its columns and rows, to see that nothing changed.
  QStringList Snapshot() {
    QStringList all;
    for (const QString& table : Tables()) {
      all << table + QStringLiteral(": ") + Fields(table).join(QLatin1Char(','));
      QStringList rows = Rows("select * from " + table);
      rows.sort();
      all << rows;
    }
    return all;
  }

  QTemporaryDir dir;
  TfrmData data;
};

// Runs `body`, skipping the test while the engine cannot yet execute the
// statements the fixture needs.
#define SKIP_WHILE_NOT_EXECUTABLE(body)                                                   \
  try {                                                                                    \
    body;                                                                                  \
  } catch (const krx::EKrxException& error) {                                              \
    if (error.NativeError() != kNotExecutableYet) throw;                                   \
    QSKIP(error.what());                                                                   \
  }

// A file from before the barcode, payment note, price log, hints and the
// last six colour quantities.
void MakeOlderFile(ProgramDirectory& program) {
  program.Create();
  for (const char* sql : {
           "CREATE TABLE pisysparameter(fitemid INTEGER, fname VARCHAR(100), fparameter VARCHAR(255), "
           "fhide INTEGER, findex INTEGER)",
           "insert into pisysparameter values(1,'用户名','老王',0,1)",
           "insert into pisysparameter values(14,'打印时自动保存','1',0,14)",
           "insert into pisysparameter values(16,'条形码最短长度','8',0,16)",
           "CREATE TABLE cqproduct(FModelID INTEGER, FName VARCHAR(60))",
           "CREATE TABLE cqsalebill(FInterID INTEGER, fqty FLOAT, FC01 FLOAT, FC02 FLOAT, FC03 FLOAT, FC04 FLOAT, "
           "fdescription VARCHAR(60))",
           "insert into cqsalebill values(1,5,1,1,1,2,'旧单')",
           "CREATE TABLE cqfriendhint(finterid Integer,fhint char(200))",
           "insert into cqfriendhint values(2,'第二条')",
           "insert into cqfriendhint values(3,'第三条')",
       })
    program.Exec(QString::fromUtf8(sql));
}

void RunSeedScript(ProgramDirectory& program) {
  QFile script(SeedScriptPath());
  QVERIFY2(script.open(QIODevice::ReadOnly), qPrintable(SeedScriptPath()));
  program.Create();
  program.Exec(QString::fromUtf8(script.readAll()));
}

}  // namespace

class TestDatabase : public QObject {
  Q_OBJECT

 private slots:
  void upgradeBringsAnOlderFileUpToDate() {
    ProgramDirectory program;
    SKIP_WHILE_NOT_EXECUTABLE(MakeOlderFile(program));
    UpgradeSchema();

    QCOMPARE(program.Fields("cqsalebill"),
             QStringList({"FInterID", "fqty", "FC01", "FC02", "FC03", "FC04", "fdescription", "ffukuan", "FC05", "FC06",
                          "FC07", "FC08", "FC09", "FC10"}));
    QCOMPARE(program.Rows("select FInterID, FC04, fdescription from cqsalebill"), QStringList({"1|2|旧单"}));
    QCOMPARE(program.Fields("cqproduct"), QStringList({"FModelID", "FName", "ftiaoma"}));
    QVERIFY(program.Tables().contains("cqchangeprice"));
    QCOMPARE(program.Fields("cqchangeprice"),
             QStringList({"finterid", "ftime", "fuser", "fmatname", "foldprice", "fnewprice"}));

    // Rows that were there keep their values; the missing ones come in with
    // their first values, visible, in their own order.
    QCOMPARE(program.Rows("select fitemid, fname, fparameter, fhide, findex from pisysparameter order by fitemid"),
             QStringList({"1|用户名|老王|0|1", "14|打印时自动保存|1|0|14", "15|保存成功是否提示|0|0|15",
                          "16|条形码最短长度|8|0|16", "17|启用条码功能|0|0|17", "19|是否空表格补齐|1|0|19",
                          "20|是否严格要求颜色数量字段之和等于总数量|1|0|20"}));
    QCOMPARE(program.Rows("select finterid, fhint from cqfriendhint order by finterid"),
             QStringList({"1|" + kFirstFriendlyHint, "2|第二条", "3|第三条"}));

    const QStringList upgraded = program.Snapshot();
    UpgradeSchema();
    QCOMPARE(program.Snapshot(), upgraded);
  }

  void upgradeOfTheInstalledFileOnlyReads() {
    ProgramDirectory program;
    SKIP_WHILE_NOT_EXECUTABLE(RunSeedScript(program));
    const QStringList installed = program.Snapshot();
    const QStringList greeting = program.Rows("select fhint from cqfriendhint where finterid=1");
    QCOMPARE(greeting.size(), 1);
    QVERIFY(greeting.first().startsWith("欢迎使用"));
    UpgradeSchema();
    QCOMPARE(program.Snapshot(), installed);
  }

  void anUpgradeStepThatFailsEndsTheUpgradeAndKeepsTheEarlierSteps() {
    ProgramDirectory program;
    SKIP_WHILE_NOT_EXECUTABLE(MakeOlderFile(program));
    program.Exec("DROP TABLE cqproduct");
    QVERIFY_THROWS_EXCEPTION(krx::EKrxException, UpgradeSchema());
    QCOMPARE(program.Rows("select fitemid from pisysparameter order by fitemid"),
             QStringList({"1", "14", "15", "16", "17", "19", "20"}));
    QVERIFY(!program.Fields("cqsalebill").contains("ffukuan"));
    QVERIFY(!program.Tables().contains("cqchangeprice"));
  }

  void loadingFillsSysParasFromTheVisibleRows() {
    ProgramDirectory program;
    SKIP_WHILE_NOT_EXECUTABLE(RunSeedScript(program));
    for (const char* sql : {
             "update pisysparameter set fparameter='老客户', fhide=1 where fname='默认客户'",
             "update pisysparameter set fparameter='0.000' where fname='数量精度'",
             "insert into pisysparameter(fitemid,fname,fparameter,fhide,findex) values(40,'单据前缀','YY',0,40)",
             "update cqstandard set fhide=1 where FItemID=1",
             "update cqstandard set FDefault=1 where FItemID=3",
             "update cqUnit set FDefault=0 where FItemID=1",
             "update cqUnit set FDefault=1 where FItemID=4",
         })
      program.Exec(QString::fromUtf8(sql));
    program.data.KrxDB.Disconnect();

    OpenDatabaseAndLoadParameters(program.AppDir());

    QVERIFY(program.data.KrxDB.Connected());
    QCOMPARE(SysParas.AppDir, program.AppDir());
    QCOMPARE(SysParas.UserName, QString("管理员"));
    QCOMPARE(SysParas.Password, QString("d41d8cd98f00b204e9800998ecf8427e"));
    QCOMPARE(SysParas.QtyDecimals, QString("0.000"));
    QCOMPARE(SysParas.PriceDecimals, QString("0.00"));
    QCOMPARE(SysParas.BillPrefix, QString("YY"));  // the later of two rows
    QCOMPARE(SysParas.DefaultCustomer, QString());  // its row is hidden
    QCOMPARE(SysParas.StrictColourSum, QString("1"));
    QCOMPARE(SysParas.BarcodeMinLength, QString("5"));
    QCOMPARE(SysParas.MoneyFormat, QString("0.00"));
    QCOMPARE(SysParas.CompanyTitle, QString("Velmor科技 - 电缆销售开单系统"));
    QCOMPARE(SysParas.SystemName, QString("Velmor电缆销售开单系统"));
    QCOMPARE(SysParas.PrintTitle, QString("VELMOR SALE PRINT"));
    QCOMPARE(SysParas.VersionText, QString("QBX V2.0"));
    QCOMPARE(SysParas.DefaultStandardID, QString("3"));
    QCOMPARE(SysParas.DefaultStandardName, QString("GB/T 9330-2020 塑料绝缘控制电缆"));
    QCOMPARE(SysParas.DefaultUnitName, QString("公里"));
  }

  void aMissingFileRaisesTheEnginesMessage() {
    ProgramDirectory program;
    try {
      OpenDatabaseAndLoadParameters(program.AppDir());
      QFAIL("a missing file opened");
    } catch (const krx::EKrxException& error) {
      QCOMPARE(error.NativeError(), 22002);
      QCOMPARE(QString::fromStdString(error.Message()),
               "Database file '" + program.FileName() + "' does not exist");
    }
    QVERIFY(!program.data.KrxDB.Connected());
    QCOMPARE(SysParas.AppDir, program.AppDir());
  }

  void theMainWindowShowsAMissingFileAndStartUpGoesOn() {
    const QString appDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    if (QFileInfo::exists(appDir + "data/cpbill")) QSKIP("the test program's folder holds a database");
    SysParas = TSysParas();
    TfrmData data;
    velmor::test::MessageAnswers answers;
    auto main = std::make_unique<TfrmMain>();
    QCOMPARE(answers.Asked().size(), 1);
    QCOMPARE(answers.Asked().first().icon, velmor::MsgIcon::Error);
    QCOMPARE(answers.Asked().first().text,
             "Database file '" + appDir + "data/cpbill' does not exist - Native error: 22002");
    QCOMPARE(SysParas.SystemName, QString("Velmor电缆销售开单系统"));
    main.reset();
  }
};

QTEST_MAIN(TestDatabase)
#include "test_database.moc"
