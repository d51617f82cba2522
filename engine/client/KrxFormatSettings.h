// The format settings the client layer writes values with: the short date
// format, the date separator and the decimal separator. The caller (the
// program's locale layer, the shell's --date-format) gives them; every
// dataset starts from the process default.
//
// The short date format uses the letters of the desktop's date settings:
// d / dd day, M / MM month, yy / yyyy year; '/' stands for the date
// separator; text in single quotes is literal; anything else is copied.
#pragma once

#include <string>
#include <string_view>

#include "KrxVariant.h"

namespace krx {

struct TKrxFormatSettings {
  std::string shortDateFormat = "yyyy/M/d";
  char dateSeparator = '/';
  char decimalSeparator = '.';
};

// The process default; reading and setting it are thread-safe.
TKrxFormatSettings KrxDefaultFormatSettings();
void KrxSetDefaultFormatSettings(const TKrxFormatSettings& settings);

// A day number (0001-01-01 = 1) in the short date format.
std::string KrxFormatShortDate(int32_t dayNumber, const TKrxFormatSettings& settings);
// Milliseconds since midnight as hh:mm:ss.
std::string KrxFormatLongTime(int32_t msOfDay);
// Short date, a blank and hh:mm:ss; the time left out at midnight.
std::string KrxFormatDateTime(const TKrxTimeStamp& ts, const TKrxFormatSettings& settings);
// Shortest form of up to 15 significant digits (37.5, 12, 0.1), with the
// decimal separator of the settings.
std::string KrxFormatFloat(long double value, const TKrxFormatSettings& settings);

// The text of a value as every list shows it, in UTF-8; empty for NULL.
// Integers in decimal, floats and currency as above, dates, times and
// date-times as above, booleans True and False, narrow strings converted
// from the national code page, bytes as they are.
std::string KrxValueToText(const TKrxVariant& value, const TKrxFormatSettings& settings);

}  // namespace krx
