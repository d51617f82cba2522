#include "SaleBillNumbers.h"

#include <QLocale>
#include <cmath>

namespace salebill {

std::optional<double> ReadCellNumber(const QString& text, const QString& emptyAs) {
  QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) trimmed = emptyAs.trimmed();
  if (trimmed.isEmpty()) return 0.0;
  bool ok = false;
  // The locale's decimal rules first; the program itself writes a point.
  double value = QLocale().toDouble(trimmed, &ok);
  if (!ok) value = QLocale::c().toDouble(trimmed, &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

QString InvalidNumberMessage(const QString& text) {
  return QStringLiteral("'") + text.trimmed() + QStringLiteral("' is not a valid floating point value");
}

QString UpperAZ(const QString& text) {
  QString upper = text;
  for (QChar& c : upper) {
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
  }
  return upper;
}

QString SqlText(const QString& value) {
  QString escaped = value;
  escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
  return escaped;
}

}  // namespace salebill
