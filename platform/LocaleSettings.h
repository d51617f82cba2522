// The short date format the program writes dates in (into SQL text and on
// screen). It is a small setting of the program's own, kept in the user's
// configuration folder, so changing it never touches the desktop's locale.
// The format uses Qt's date letters: "yyyy-MM-dd", "yyyy/M/d", "dd.MM.yyyy".
#pragma once

#include <QString>

class QDate;

namespace velmor {

// The Chinese locale's own short date, until the user chooses another.
inline constexpr const char* kDefaultShortDateFormat = "yyyy/M/d";

// The stored format, or "yyyy/M/d" when none was stored.
QString GetShortDateFormat();

// Stores the format. Returns false, and keeps the old one, when the format is
// empty, longer than 80 characters, holds a control character, names none of
// day, month or year, or the setting cannot be written.
bool SetShortDateFormat(const QString& format);

// A date written in the current short date format.
QString FormatShortDate(const QDate& date);

// Where the setting lives (for the curious and for tests).
QString LocaleSettingsPath();

}  // namespace velmor
