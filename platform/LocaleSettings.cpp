#include "LocaleSettings.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace velmor {

namespace {

constexpr int kMaxFormatLength = 80;
const QString kKey = QStringLiteral("ShortDateFormat");

bool IsUsableFormat(const QString& format) {
  if (format.isEmpty() || format.size() > kMaxFormatLength) return false;
  bool namesDatePart = false;
  for (QChar c : format) {
    if (c.category() == QChar::Other_Control) return false;
    if (c == u'd' || c == u'M' || c == u'y') namesDatePart = true;
  }
  return namesDatePart;
}

}  // namespace

QString LocaleSettingsPath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(QStringLiteral("Velmor/locale.ini"));
}

QString GetShortDateFormat() {
  QSettings settings(LocaleSettingsPath(), QSettings::IniFormat);
  const QString stored = settings.value(kKey).toString();
  // A hand-edited file with nonsense in it must not break every date.
  return IsUsableFormat(stored) ? stored : QString::fromLatin1(kDefaultShortDateFormat);
}

bool SetShortDateFormat(const QString& format) {
  if (!IsUsableFormat(format)) return false;
  const QString path = LocaleSettingsPath();
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  QSettings settings(path, QSettings::IniFormat);
  settings.setValue(kKey, format);
  settings.sync();
  return settings.status() == QSettings::NoError;
}

QString FormatShortDate(const QDate& date) { return date.toString(GetShortDateFormat()); }

}  // namespace velmor
