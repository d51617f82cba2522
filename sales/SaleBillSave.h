// The rules and statement texts of storing a bill: which lines are product
// lines, whether quantities equal their colour quantities, and the INSERT
// of one line.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace salebill {

// Whether a line counts as a product line under the parameter 名称型号规格:
// "1" model or specification filled, "2" both, "3" name, model or
// specification; any other value counts no line. Fields are trimmed.
bool IsProductLine(const QString& mode, const QString& name, const QString& model, const QString& spec);

// Compares a line's quantity with the sum of its ten colour quantities, all
// read with the quantity pattern (empty is 0) and compared unrounded
// (only binary noise far below the last decimal is ignored).
// Nothing when a text is not a number.
std::optional<bool> QuantityMatchesColours(const QString& qty, const QStringList& colours, const QString& qtyPattern);

// The columns of one stored line in the order of the INSERT.
inline constexpr int kInsertValueCount = 34;

// The INSERT of one line of cqsalebill from its 34 values in column order;
// each value is quoted with its quotes doubled, values are separated by a
// comma and a carriage return. Fewer or more values throw std::logic_error.
QString InsertLineSql(const QStringList& values);

}  // namespace salebill
