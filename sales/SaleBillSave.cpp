#include "SaleBillSave.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "SaleBillNumbers.h"

namespace salebill {

bool IsProductLine(const QString& mode, const QString& name, const QString& model, const QString& spec) {
  const bool hasName = !name.trimmed().isEmpty();
  const bool hasModel = !model.trimmed().isEmpty();
  const bool hasSpec = !spec.trimmed().isEmpty();
  if (mode == QLatin1String("1")) return hasModel || hasSpec;
  if (mode == QLatin1String("2")) return hasModel && hasSpec;
  if (mode == QLatin1String("3")) return hasName || hasModel || hasSpec;
  return false;
}

std::optional<bool> QuantityMatchesColours(const QString& qty, const QStringList& colours, const QString& qtyPattern) {
  const std::optional<double> total = ReadCellNumber(qty, qtyPattern);
  if (!total) return std::nullopt;
  double sum = 0;
  for (const QString& colour : colours) {
    const std::optional<double> value = ReadCellNumber(colour, qtyPattern);
    if (!value) return std::nullopt;
    sum += *value;
  }
  // Decimal fractions such as 0.1 + 0.2 are not exact in binary; a
  // difference far below any quantity's last decimal is no difference.
  const double scale = std::max({1.0, std::fabs(*total), std::fabs(sum)});
  return std::fabs(*total - sum) <= 1e-9 * scale;
}

QString InsertLineSql(const QStringList& values) {
  if (values.size() != kInsertValueCount) throw std::logic_error("a bill line is stored with 34 values");
  QString sql = QStringLiteral(
      " insert into cqsalebill(FInterID,FEntryID,fbillno,FDate,fcs,\r"
      " fcontractno,faddress,fchepai,fzhidan,fjingshou,fyewuyuan,fmemo,\r"
      " fbianma,Fname,fxinghao,fguige,fqty,funit,fprice,famount,fcolor,fpack,"
      "FC01,FC02,FC03,FC04,FC05,FC06,FC07,FC08,FC09,FC10,ffukuan,fdescription)Values(\r'");
  for (int i = 0; i < values.size(); ++i) {
    if (i > 0) sql += QStringLiteral("',\r'");
    sql += SqlText(values[i]);
  }
  sql += QStringLiteral("'\r)");
  return sql;
}

}  // namespace salebill
