#include "SaleBillSql.h"

#include "SaleBillNumbers.h"

namespace salebill {

namespace {

QString Quoted(const QString& value) { return QStringLiteral("'") + SqlText(value) + QStringLiteral("'"); }

// A bill's number held as text goes into SQL only as a whole number; any
// other text names no bill (numbers start at 1).
QString WholeNumber(const QString& text) {
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok);
  return ok ? QString::number(value) : QStringLiteral("0");
}

}  // namespace

ListQuery ColumnListQuery(int col, const QString& source, const QString& model) {
  const QString table = source == QLatin1String("1") ? QStringLiteral("cqproduct") : QStringLiteral("cqsalebill");
  switch (col) {
    case 4:
      return {QStringLiteral("select distinct(fname) as fname from ") + table + QStringLiteral(" order by fname"),
              QStringLiteral("fname")};
    case 5:
      return {QStringLiteral("select distinct(fxinghao) as fxinghao from ") + table +
                  QStringLiteral(" order by fxinghao"),
              QStringLiteral("fxinghao")};
    case 6: {
      const QString trimmed = model.trimmed();
      if (trimmed.isEmpty()) return {};
      const QString order = source == QLatin1String("1") ? QStringLiteral(" order by FModelID")
                                                         : QStringLiteral(" order by fguige");
      return {QStringLiteral("select distinct(fguige) as fguige from ") + table +
                  QStringLiteral(" where upper(fxinghao)=") + Quoted(UpperAZ(trimmed)) + order,
              QStringLiteral("fguige")};
    }
    case 7: return {QStringLiteral("select * from cqColor order by FItemID"), QStringLiteral("FName")};
    case 8: return {QStringLiteral("select * from cqPack order by FItemID"), QStringLiteral("FName")};
    case 10: return {QStringLiteral("select * from cqUnit order by FItemID"), QStringLiteral("FName")};
    default: return {};
  }
}

ListQuery CustomerListQuery() {
  return {QStringLiteral("select distinct(fname) as fname from picuslink where FParentID<>0 and FHide=0 order by FItemID"),
          QStringLiteral("fname")};
}

ListQuery ClerkListQuery() {
  return {QStringLiteral("select distinct(fzhidan) as fzhidan from cqsalebill order by FInterID"),
          QStringLiteral("fzhidan")};
}

ListQuery KeeperListQuery() {
  return {QStringLiteral("select distinct(fjingshou) as fjingshou from cqsalebill order by FInterID"),
          QStringLiteral("fjingshou")};
}

ListQuery SalesmanListQuery() {
  return {QStringLiteral("select distinct(fyewuyuan) as fyewuyuan from cqsalebill order by FInterID"),
          QStringLiteral("fyewuyuan")};
}

ListQuery AddressListQuery(const QString& customer) {
  return {QStringLiteral("select distinct(faddress) as faddress from cqsalebill where fcs=") +
              Quoted(customer.trimmed()) + QStringLiteral(" and faddress<>''"),
          QStringLiteral("faddress")};
}

QString PriceHistorySql(const QString& model, const QString& spec) {
  return QStringLiteral("select distinct(fdate),fprice,fcs from cqsalebill where upper(fxinghao)=") +
         Quoted(UpperAZ(model)) + QStringLiteral(" and upper(fguige)=") + Quoted(UpperAZ(spec)) +
         QStringLiteral(" order by fdate desc");
}

QString BillNoCondition(const QString& billNo, const QString& billInterID) {
  QString condition = QStringLiteral(" where Upper(FBillNo)=") + Quoted(UpperAZ(billNo.trimmed()));
  if (billInterID.trimmed() != QLatin1String("0"))
    condition += QStringLiteral(" and FInterID<>") + WholeNumber(billInterID);
  return condition;
}

QString DeleteBillSql(const QString& billInterID) {
  return QStringLiteral("delete from cqsalebill where FInterID=") + WholeNumber(billInterID);
}

QString LoadBillSql(const QString& billInterID) {
  return QStringLiteral("select * from cqsalebill where FInterID=") + WholeNumber(billInterID) +
         QStringLiteral(" order by fentryid asc ");
}

QString CounterUpdateSql(const QString& counter) {
  return QStringLiteral("update pisysparameter set fparameter=") + Quoted(counter) +
         QStringLiteral(" where FName='单据编号'");
}

QString ProductSql(int modelId) {
  return QStringLiteral("select * from cqproduct where FModelID=") + QString::number(modelId);
}

QString BarcodeSql(const QString& barcode) {
  return QStringLiteral("select FModelID from cqproduct where ftiaoma=") + Quoted(barcode);
}

}  // namespace salebill
