#include "KrxLocale.h"

#include <unicode/ucasemap.h>
#include <unicode/ucnv.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <memory>
#include <mutex>

#include "KrxException.h"

namespace krx {
namespace {

constexpr const char* kLocaleName = "zh_CN";

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
struct CollatorCloser {
  void operator()(UCollator* c) const { ucol_close(c); }
};

// One GB18030 converter per thread: ICU converters keep state and must not
// be shared between threads.
UConverter* GbConverter() {
  thread_local std::unique_ptr<UConverter, ConverterCloser> converter;
  if (!converter) {
    UErrorCode status = U_ZERO_ERROR;
    converter.reset(ucnv_open("GB18030", &status));
    if (U_FAILURE(status) || !converter)
      throw EKrxException(KrxError::CodePageConversionFailed, u_errorName(status));
  }
  return converter.get();
}

// The Chinese collation with its script reordering switched off, so Latin
// letters and digits sort before Chinese characters; tertiary strength keeps
// case apart (lower first), secondary ignores it.
UCollator* MakeCollator(UCollationStrength strength) {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open(kLocaleName, &status);
  if (U_FAILURE(status) || !collator)
    throw EKrxException(KrxError::UnicodeNotSupported);
  int32_t none = UCOL_REORDER_CODE_NONE;
  ucol_setReorderCodes(collator, &none, 1, &status);
  ucol_setStrength(collator, strength);
  if (U_FAILURE(status)) {
    ucol_close(collator);
    throw EKrxException(KrxError::UnicodeNotSupported);
  }
  return collator;
}

const UCollator* Collator(bool caseInsensitive) {
  static std::unique_ptr<UCollator, CollatorCloser> caseSensitive(MakeCollator(UCOL_TERTIARY));
  static std::unique_ptr<UCollator, CollatorCloser> ignoreCase(MakeCollator(UCOL_SECONDARY));
  return caseInsensitive ? ignoreCase.get() : caseSensitive.get();
}

void GbToUtf16Into(std::string_view gb, std::u16string& out) {
  out.resize(gb.size() + 1);
  UErrorCode status = U_ZERO_ERROR;
  UConverter* cnv = GbConverter();
  ucnv_reset(cnv);
  int32_t n = ucnv_toUChars(cnv, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                            gb.data(), static_cast<int32_t>(gb.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(n + 1);
    status = U_ZERO_ERROR;
    ucnv_reset(cnv);
    n = ucnv_toUChars(cnv, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), gb.data(),
                      static_cast<int32_t>(gb.size()), &status);
  }
  if (U_FAILURE(status)) throw EKrxException(KrxError::CodePageConversionFailed, u_errorName(status));
  out.resize(n);
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

int Sign(UCollationResult r) { return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0); }

}  // namespace

std::u16string KrxGbToUtf16(std::string_view gb) {
  std::u16string out;
  GbToUtf16Into(gb, out);
  return out;
}

std::string KrxUtf16ToGb(std::u16string_view text) {
  std::string out(text.size() * 4 + 1, '\0');
  UErrorCode status = U_ZERO_ERROR;
  UConverter* cnv = GbConverter();
  ucnv_reset(cnv);
  int32_t n = ucnv_fromUChars(cnv, out.data(), static_cast<int32_t>(out.size()),
                              reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) throw EKrxException(KrxError::CodePageConversionFailed, u_errorName(status));
  out.resize(n);
  return out;
}

std::u16string KrxUtf8ToUtf16(std::string_view utf8) {
  std::u16string out(utf8.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = 0;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &n, utf8.data(),
                       static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) throw EKrxException(KrxError::CodePageConversionFailed, u_errorName(status));
  out.resize(n);
  return out;
}

std::string KrxUtf16ToUtf8(std::u16string_view text) {
  std::string out(text.size() * 3 + 1, '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = 0;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &n, reinterpret_cast<const UChar*>(text.data()),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) throw EKrxException(KrxError::CodePageConversionFailed, u_errorName(status));
  out.resize(n);
  return out;
}

std::string KrxGbToUtf8(std::string_view gb) {
  if (IsAscii(gb)) return std::string(gb);
  return KrxUtf16ToUtf8(KrxGbToUtf16(gb));
}

std::string KrxUtf8ToGb(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return KrxUtf16ToGb(KrxUtf8ToUtf16(utf8));
}

int KrxCompareStrings(std::string_view a, std::string_view b, bool caseInsensitive) {
  const UCollator* collator = Collator(caseInsensitive);
  UErrorCode status = U_ZERO_ERROR;
  // ASCII is the same in GB18030 and UTF-8: compare it without conversion.
  if (IsAscii(a) && IsAscii(b)) {
    UCollationResult r = ucol_strcollUTF8(collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                          static_cast<int32_t>(b.size()), &status);
    if (U_FAILURE(status)) throw EKrxException(KrxError::UnicodeNotSupported);
    return Sign(r);
  }
  thread_local std::u16string wa, wb;
  GbToUtf16Into(a, wa);
  GbToUtf16Into(b, wb);
  return KrxCompareWideStrings(wa, wb, caseInsensitive);
}

int KrxCompareWideStrings(std::u16string_view a, std::u16string_view b, bool caseInsensitive) {
  UCollationResult r = ucol_strcoll(Collator(caseInsensitive), reinterpret_cast<const UChar*>(a.data()),
                                    static_cast<int32_t>(a.size()), reinterpret_cast<const UChar*>(b.data()),
                                    static_cast<int32_t>(b.size()));
  return Sign(r);
}

namespace {

std::u16string MapCase(std::u16string_view text, bool upper) {
  std::u16string out(text.size() + 8, u'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = upper ? u_strToUpper(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                     reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                                     kLocaleName, &status)
                      : u_strToLower(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                     reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                                     kLocaleName, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(n + 1);
      continue;
    }
    if (U_FAILURE(status)) throw EKrxException(KrxError::CodePageConversionFailed, u_errorName(status));
    out.resize(n);
    return out;
  }
  throw EKrxException(KrxError::CodePageConversionFailed, "case mapping");
}

}  // namespace

std::u16string KrxUpperWideString(std::u16string_view text) { return MapCase(text, true); }
std::u16string KrxLowerWideString(std::u16string_view text) { return MapCase(text, false); }

std::string KrxUpperString(std::string_view gb) {
  if (IsAscii(gb)) {
    std::string out(gb);
    for (char& c : out)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
  }
  return KrxUtf16ToGb(MapCase(KrxGbToUtf16(gb), true));
}

std::string KrxLowerString(std::string_view gb) {
  if (IsAscii(gb)) {
    std::string out(gb);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
  }
  return KrxUtf16ToGb(MapCase(KrxGbToUtf16(gb), false));
}

size_t KrxGbCharLength(std::string_view text, size_t pos) {
  if (pos >= text.size()) return 0;
  auto b0 = static_cast<unsigned char>(text[pos]);
  if (b0 < 0x81 || b0 == 0xFF || pos + 1 >= text.size()) return 1;
  auto b1 = static_cast<unsigned char>(text[pos + 1]);
  if (b1 >= 0x30 && b1 <= 0x39) {
    if (pos + 3 < text.size()) return 4;
    return 1;
  }
  if (b1 >= 0x40 && b1 != 0x7F && b1 != 0xFF) return 2;
  return 1;
}

}  // namespace krx
