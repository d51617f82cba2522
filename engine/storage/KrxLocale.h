// The engine's national text: narrow strings are bytes of the GB18030 code
// page (a Chinese character of GBK takes two bytes), wide strings UTF-16.
// Text is ordered as the Chinese locale orders it: symbols, digits and Latin
// letters before Chinese characters, Chinese characters by pinyin, lower case
// before the upper case of the same letter. One collator per strength is made
// once and shared (comparison through it is thread-safe); code page
// converters are per thread.
#pragma once

#include <string>
#include <string_view>

namespace krx {

// Code page conversions. Invalid input bytes become substitution characters.
std::u16string KrxGbToUtf16(std::string_view gb);
std::string KrxUtf16ToGb(std::u16string_view text);
std::string KrxGbToUtf8(std::string_view gb);
std::string KrxUtf8ToGb(std::string_view utf8);
std::u16string KrxUtf8ToUtf16(std::string_view utf8);
std::string KrxUtf16ToUtf8(std::u16string_view text);

// Locale-aware three-way comparison (<0, 0, >0). Case-insensitive comparison
// treats "abc" and "ABC" as equal.
int KrxCompareStrings(std::string_view a, std::string_view b, bool caseInsensitive = false);
int KrxCompareWideStrings(std::u16string_view a, std::u16string_view b, bool caseInsensitive = false);

// Locale-aware case mapping (national and accented letters included;
// Chinese characters are unchanged).
std::string KrxUpperString(std::string_view gb);
std::string KrxLowerString(std::string_view gb);
std::u16string KrxUpperWideString(std::u16string_view text);
std::u16string KrxLowerWideString(std::u16string_view text);

// Length in bytes of the GB18030 character starting at text[pos] (1, 2 or 4;
// 1 for a stray byte), so that callers never cut a character in half.
size_t KrxGbCharLength(std::string_view text, size_t pos);

}  // namespace krx
