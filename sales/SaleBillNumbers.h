// Reading and writing the numbers and texts of bill lines.
#pragma once

#include <QString>
#include <optional>

namespace salebill {

// A quantity or price cell as a number: the trimmed text, where an empty
// cell reads as `emptyAs` (the number pattern, so 0). Nothing when the text
// is not a number.
std::optional<double> ReadCellNumber(const QString& text, const QString& emptyAs);

// The message shown for a cell text that is not a number.
QString InvalidNumberMessage(const QString& text);

// Upper-cases only the letters a–z, as the bill's lookups compare models.
QString UpperAZ(const QString& text);

// A value ready to go between single quotes in SQL text: quotes doubled.
QString SqlText(const QString& value);

}  // namespace salebill
