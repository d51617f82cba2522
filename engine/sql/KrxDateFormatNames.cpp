#include "KrxDateFormatNames.h"

#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>

#include "KrxLocale.h"

namespace krx {

namespace {

std::string ToNarrow(const icu::UnicodeString& text) {
  return KrxUtf16ToGb(std::u16string_view(reinterpret_cast<const char16_t*>(text.getBuffer()),
                                          static_cast<size_t>(text.length())));
}

TKrxDateNames LoadNames() {
  TKrxDateNames names = KrxEnglishDateNames();
  UErrorCode status = U_ZERO_ERROR;
  icu::DateFormatSymbols symbols(icu::Locale("zh", "CN"), status);
  if (U_FAILURE(status)) return names;
  int32_t count = 0;
  const icu::UnicodeString* longMonths = symbols.getMonths(count);
  for (int32_t i = 0; i < count && i < 12; ++i) names.longMonths[i] = ToNarrow(longMonths[i]);
  const icu::UnicodeString* shortMonths = symbols.getShortMonths(count);
  for (int32_t i = 0; i < count && i < 12; ++i) names.shortMonths[i] = ToNarrow(shortMonths[i]);
  // ICU numbers weekdays from Sunday = 1; the names here start on Monday.
  const icu::UnicodeString* longDays = symbols.getWeekdays(count);
  for (int32_t d = 0; d < 7 && d + 2 <= count; ++d) names.longDays[d] = ToNarrow(longDays[d == 6 ? 1 : d + 2]);
  const icu::UnicodeString* shortDays = symbols.getShortWeekdays(count);
  for (int32_t d = 0; d < 7 && d + 2 <= count; ++d) names.shortDays[d] = ToNarrow(shortDays[d == 6 ? 1 : d + 2]);
  return names;
}

}  // namespace

const TKrxDateNames& KrxLocaleDateNames() {
  static const TKrxDateNames names = LoadNames();
  return names;
}

}  // namespace krx
