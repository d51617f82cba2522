#include "uniDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <stdexcept>
#include <string>
#include <vector>

#include "KrxDatabase.h"
#include "KrxQuery.h"
#include "uniData.h"
#include "uniFunction.h"
#include "uniHints.h"
#include "uniType.h"

namespace {

// Parameter rows that files made before these options lack, with the value
// a new row starts from.
struct AddedParameter {
  int itemId;
  const char* name;
  const char* value;
};
constexpr AddedParameter kAddedParameters[] = {
    {14, "打印时自动保存", "0"},
    {15, "保存成功是否提示", "0"},
    {16, "条形码最短长度", "5"},
    {17, "启用条码功能", "0"},
    {19, "是否空表格补齐", "1"},
    {20, "是否严格要求颜色数量字段之和等于总数量", "1"},
};

// The parameter rows loaded at start and the field each one fills.
struct LoadedParameter {
  const char* name;
  QString TSysParas::*field;
};
const LoadedParameter kLoadedParameters[] = {
    {"用户名", &TSysParas::UserName},
    {"密码", &TSysParas::Password},
    {"数量精度", &TSysParas::QtyDecimals},
    {"单价精度", &TSysParas::PriceDecimals},
    {"单据前缀", &TSysParas::BillPrefix},
    {"默认客户", &TSysParas::DefaultCustomer},
    {"显示大写", &TSysParas::ShowCapitals},
    {"销售单列取数来自", &TSysParas::SaleColumnSource},
    {"产品重复处理方式", &TSysParas::DuplicateProductMode},
    {"名称型号规格", &TSysParas::NameModelSpec},
    {"打印时自动保存", &TSysParas::AutoSaveOnPrint},
    {"保存成功是否提示", &TSysParas::PromptOnSave},
    {"条形码最短长度", &TSysParas::BarcodeMinLength},
    {"启用条码功能", &TSysParas::BarcodeEnabled},
    {"是否空表格补齐", &TSysParas::FillEmptyRows},
    {"是否严格要求颜色数量字段之和等于总数量", &TSysParas::StrictColourSum},
};

TfrmData& DataModule() {
  if (!frmData) throw std::logic_error("the data module has not been created");
  return *frmData;
}

QString QuoteSql(const QString& value) {
  QString quoted = value;
  quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
  return quoted;
}

void SetText(krx::TKrxQuery& query, const QString& sql) {
  query.Close();
  query.SetSQLText(sql.toUtf8().toStdString());
}

void Execute(krx::TKrxQuery& query, const QString& sql) {
  SetText(query, sql);
  query.ExecSQL();
}

// Closes the query when the step ends, however it ends.
struct QueryCloser {
  krx::TKrxQuery& query;
  ~QueryCloser() { query.Close(); }
};

bool ReturnsRows(krx::TKrxQuery& query, const QString& sql) {
  SetText(query, sql);
  query.Open();
  QueryCloser closer{query};
  return !query.Eof();
}

bool HasField(krx::TKrxQuery& query, const QString& table, const QString& field) {
  SetText(query, QStringLiteral("select * from %1 where 1=2").arg(table));
  query.Open();
  QueryCloser closer{query};
  const QString wanted = field.toUpper();
  for (const std::string& name : query.FieldNames())
    if (QString::fromStdString(name).toUpper() == wanted) return true;
  return false;
}

bool HasTable(const std::vector<std::string>& names, const QString& table) {
  const QString wanted = table.toUpper();
  for (const std::string& name : names)
    if (QString::fromStdString(name).toUpper() == wanted) return true;
  return false;
}

QString Text(krx::TKrxQuery& query, const char* field) {
  return QString::fromStdString(query.FieldByName(field).AsString());
}

void SetFixedTexts() {
  SysParas.CompanyTitle = QStringLiteral("Velmor科技 - 电缆销售开单系统");
  SysParas.SystemName = QStringLiteral("Velmor电缆销售开单系统");
  SysParas.PrintTitle = QStringLiteral("VELMOR SALE PRINT");
  SysParas.VersionText = QStringLiteral("QBX V2.0");
  SysParas.MoneyFormat = QStringLiteral("0.00");
}

}  // namespace

void OpenDatabaseAndLoadParameters() {
  OpenDatabaseAndLoadParameters(QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/'));
}

void OpenDatabaseAndLoadParameters(const QString& appDir) {
  TfrmData& data = DataModule();
  // The fixed texts do not depend on the file; with them in place first the
  // caption and the exit question read right even when the file is missing.
  SetFixedTexts();
  SysParas.AppDir = appDir;
  data.KrxDB.Disconnect();
  data.KrxDB.SetDatabaseFileName((appDir + QStringLiteral("data/") + QStringLiteral("cpbill")).toStdString());
  data.KrxDB.Connect();
  SysParas.SystemDir = GetSystemDir();
  UpgradeSchema();
  LoadSystemParameters();
}

void UpgradeSchema() {
  TfrmData& data = DataModule();
  krx::TKrxQuery& query = data.KrxLast;

  for (const AddedParameter& row : kAddedParameters) {
    const QString name = QString::fromUtf8(row.name);
    if (ReturnsRows(query, QStringLiteral("select fitemid from pisysparameter where fname='%1'").arg(QuoteSql(name))))
      continue;
    Execute(query, QStringLiteral("insert into pisysparameter(fitemid,fname,fparameter,fhide,findex) "
                                  "values(%1,'%2','%3',0,%1)")
                       .arg(row.itemId)
                       .arg(QuoteSql(name), QuoteSql(QString::fromUtf8(row.value))));
  }

  if (!HasField(query, QStringLiteral("cqproduct"), QStringLiteral("ftiaoma")))
    Execute(query, QStringLiteral(" alter table cqproduct add(ftiaoma varchar(100)) "));
  if (!HasField(query, QStringLiteral("cqsalebill"), QStringLiteral("ffukuan")))
    Execute(query, QStringLiteral(" alter table cqsalebill add(ffukuan varchar(100)) "));

  std::vector<std::string> tables;
  query.Close();
  data.KrxDB.GetTableNames(tables);
  if (!HasTable(tables, QStringLiteral("cqchangeprice")))
    Execute(query, QStringLiteral("CREATE TABLE cqchangeprice(finterid Integer,ftime char(30),fuser char(60),"
                                  "fmatname char(60),foldprice char(20),fnewprice char(20))"));
  if (!HasTable(tables, QStringLiteral("cqfriendhint")))
    Execute(query, QStringLiteral("CREATE TABLE cqfriendhint(finterid Integer,fhint char(200))"));

  if (!ReturnsRows(query, QStringLiteral("select finterid from cqfriendhint where finterid=1")))
    Execute(query,
            QStringLiteral("insert into cqfriendhint(finterid,fhint) values(1,'%1')").arg(QuoteSql(kFirstFriendlyHint)));

  for (int column = 1; column <= 10; ++column) {
    const QString name = QStringLiteral("FC%1").arg(column, 2, 10, QLatin1Char('0'));
    if (!HasField(query, QStringLiteral("cqsalebill"), name))
      Execute(query, QStringLiteral(" alter table cqsalebill add (%1 FLOAT) ").arg(name));
  }
}

void LoadSystemParameters() {
  TfrmData& data = DataModule();
  krx::TKrxQuery& query = data.KrxQ2;

  SetText(query, QStringLiteral("select * from pisysparameter where fhide=0 order by findex asc "));
  query.Open();
  {
    QueryCloser closer{query};
    for (query.First(); !query.Eof(); query.Next()) {
      const QString name = Text(query, "fname");
      for (const LoadedParameter& parameter : kLoadedParameters) {
        if (name != QString::fromUtf8(parameter.name)) continue;
        SysParas.*parameter.field = Text(query, "fparameter");
        break;
      }
    }
  }

  SetFixedTexts();

  SetText(query, QStringLiteral("select * from cqstandard where fhide=0 and FDefault=1 "));
  query.Open();
  {
    QueryCloser closer{query};
    query.First();
    if (!query.Eof()) {
      SysParas.DefaultStandardID = Text(query, "FItemID");
      SysParas.DefaultStandardName = Text(query, "FName");
    }
  }

  SetText(query, QStringLiteral("select * from cqunit where FDefault=1 "));
  query.Open();
  QueryCloser closer{query};
  query.First();
  if (!query.Eof()) SysParas.DefaultUnitName = Text(query, "FName");
}
