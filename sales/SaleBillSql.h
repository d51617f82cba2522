// The statements the bill window runs, with every value escaped.
#pragma once

#include <QString>

namespace salebill {

// A drop-down list: the statement and the field its items come from.
struct ListQuery {
  QString sql;
  QString field;
};

// The list of a line-grid column (4 name, 5 model, 6 size (规格),
// 7 colour, 8 packing, 10 unit) by the parameter 销售单列取数来自:
// "1" the catalogue, "2" past bills. The size (规格) list is of the
// upper-cased model and empty without a model; other columns have none.
ListQuery ColumnListQuery(int col, const QString& source, const QString& model);

// The lists of the header boxes.
ListQuery CustomerListQuery();
ListQuery ClerkListQuery();      // edzhidan
ListQuery KeeperListQuery();     // edjingshou
ListQuery SalesmanListQuery();   // edyewuyuan
// The customer's past delivery addresses other than the empty text.
ListQuery AddressListQuery(const QString& customer);

// The prices at which a model and specification were sold, newest first.
QString PriceHistorySql(const QString& model, const QString& spec);

// The condition of the bill-number uniqueness count: the number upper-cased,
// the stored bill itself left out ("0" for a new bill).
QString BillNoCondition(const QString& billNo, const QString& billInterID);

QString DeleteBillSql(const QString& billInterID);
QString LoadBillSql(const QString& billInterID);
QString CounterUpdateSql(const QString& counter);
QString ProductSql(int modelId);
QString BarcodeSql(const QString& barcode);

}  // namespace salebill
