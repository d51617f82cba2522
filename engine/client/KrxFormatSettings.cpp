#include "KrxFormatSettings.h"

#include <cstdio>
#include <mutex>

#include "KrxLocale.h"

namespace krx {

namespace {

std::mutex& DefaultLock() {
  static std::mutex lock;
  return lock;
}

TKrxFormatSettings& DefaultSettings() {
  static TKrxFormatSettings settings;
  return settings;
}

void AppendNumber(std::string& out, int value, int minDigits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", minDigits, value);
  out += buffer;
}

}  // namespace

TKrxFormatSettings KrxDefaultFormatSettings() {
  std::lock_guard<std::mutex> guard(DefaultLock());
  return DefaultSettings();
}

void KrxSetDefaultFormatSettings(const TKrxFormatSettings& settings) {
  std::lock_guard<std::mutex> guard(DefaultLock());
  DefaultSettings() = settings;
}

std::string KrxFormatShortDate(int32_t dayNumber, const TKrxFormatSettings& settings) {
  int year = 0, month = 0, day = 0;
  if (!KrxDecodeDate(dayNumber, &year, &month, &day)) return {};
  const std::string& format = settings.shortDateFormat;
  std::string out;
  size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    if (c == '\'') {
      size_t close = format.find('\'', i + 1);
      if (close == std::string::npos) close = format.size();
      out.append(format, i + 1, close - i - 1);
      i = close + 1;
      continue;
    }
    if (c == 'y') {
      if (run >= 3) AppendNumber(out, year, 4);
      else AppendNumber(out, year % 100, 2);
    } else if (c == 'M') {
      AppendNumber(out, month, run >= 2 ? 2 : 1);
    } else if (c == 'd') {
      AppendNumber(out, day, run >= 2 ? 2 : 1);
    } else if (c == '/') {
      out.append(run, settings.dateSeparator);
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

std::string KrxFormatLongTime(int32_t msOfDay) {
  int hour = 0, minute = 0, second = 0, ms = 0;
  KrxDecodeTime(msOfDay, &hour, &minute, &second, &ms);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", hour, minute, second);
  return buffer;
}

std::string KrxFormatDateTime(const TKrxTimeStamp& ts, const TKrxFormatSettings& settings) {
  std::string out = KrxFormatShortDate(ts.date, settings);
  if (ts.time != 0) {
    out += ' ';
    out += KrxFormatLongTime(ts.time);
  }
  return out;
}

std::string KrxFormatFloat(long double value, const TKrxFormatSettings& settings) {
  std::string text = KrxFloatToString(value, 15);
  if (settings.decimalSeparator != '.') {
    for (char& c : text) {
      if (c == '.') c = settings.decimalSeparator;
    }
  }
  return text;
}

std::string KrxValueToText(const TKrxVariant& value, const TKrxFormatSettings& settings) {
  if (value.IsNull()) return {};
  TKrxStorageType type = value.Type();
  switch (type) {
    case TKrxStorageType::FixedString:
    case TKrxStorageType::String:
    case TKrxStorageType::TextBlob:
      return KrxGbToUtf8(value.StringValue());
    case TKrxStorageType::FixedWideString:
    case TKrxStorageType::WideString:
      return KrxUtf16ToUtf8(value.WideValue());
    case TKrxStorageType::WideTextBlob: {
      // The BLOB's bytes are UTF-16 little-endian.
      const std::string& bytes = value.StringValue();
      std::u16string text;
      text.reserve(bytes.size() / 2);
      for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                             (static_cast<uint8_t>(bytes[i + 1]) << 8)));
      }
      return KrxUtf16ToUtf8(text);
    }
    case TKrxStorageType::Boolean:
      return value.AsBoolean() ? "True" : "False";
    case TKrxStorageType::Single:
    case TKrxStorageType::Double:
    case TKrxStorageType::Currency:
      return KrxFormatFloat(value.DoubleValue(), settings);
    case TKrxStorageType::Extended:
      return KrxFormatFloat(value.ExtendedValue(), settings);
    case TKrxStorageType::Date:
      return KrxFormatShortDate(value.AsDate(), settings);
    case TKrxStorageType::Time:
      return KrxFormatLongTime(value.AsTime());
    case TKrxStorageType::DateTime:
      return KrxFormatDateTime(value.AsTimeStamp(), settings);
    case TKrxStorageType::Bytes:
    case TKrxStorageType::VarBytes:
    case TKrxStorageType::Blob:
      return value.AsBytes();
    default:
      break;
  }
  if (KrxIsIntegerType(type)) return std::to_string(value.AsInt64());
  return KrxGbToUtf8(value.AsString());
}

}  // namespace krx
