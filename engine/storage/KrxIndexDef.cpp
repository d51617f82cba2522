#include "KrxIndexDef.h"

#include <cctype>
#include <cstdio>
#include <random>

#include "KrxException.h"
#include "KrxFieldDef.h"

namespace krx {

void TKrxIndexDef::Write(std::vector<uint8_t>& out) const {
  KrxWriteShortString(out, name);
  KrxAppendI32(out, objectID);
  KrxAppendU8(out, kind);
  KrxAppendU8(out, unique ? 1 : 0);
  KrxAppendU8(out, primary ? 1 : 0);
  KrxAppendI32(out, static_cast<int32_t>(columns.size()));
  KrxAppendI32(out, rootPageNo);
  for (const TKrxIndexColumnDef& c : columns) {
    KrxWriteShortString(out, c.fieldName);
    KrxAppendU8(out, c.descending ? 1 : 0);
    KrxAppendU8(out, c.caseInsensitive ? 1 : 0);
    KrxAppendI32(out, c.keyLength);
  }
}

TKrxIndexDef TKrxIndexDef::Read(const uint8_t* data, size_t size, size_t& offset) {
  TKrxIndexDef def;
  def.name = KrxReadShortString(data, size, offset);
  def.objectID = KrxReadI32(data, size, offset);
  def.kind = KrxReadU8(data, size, offset);
  def.unique = KrxReadU8(data, size, offset) != 0;
  def.primary = KrxReadU8(data, size, offset) != 0;
  int32_t count = KrxReadI32(data, size, offset);
  def.rootPageNo = KrxReadI32(data, size, offset);
  if (count < 0 || count > 1024) throw EKrxException(KrxError::InvalidTableHeaderData);
  for (int32_t i = 0; i < count; ++i) {
    TKrxIndexColumnDef c;
    c.fieldName = KrxReadShortString(data, size, offset);
    c.descending = KrxReadU8(data, size, offset) != 0;
    c.caseInsensitive = KrxReadU8(data, size, offset) != 0;
    c.keyLength = KrxReadI32(data, size, offset);
    def.columns.push_back(std::move(c));
  }
  return def;
}

namespace {

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> items;
  std::string current;
  auto flush = [&] {
    size_t b = 0, e = current.size();
    while (b < e && std::isspace(static_cast<unsigned char>(current[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(current[e - 1]))) --e;
    if (e > b) items.push_back(current.substr(b, e - b));
    current.clear();
  };
  for (char c : text) {
    if (c == ';' || c == ',') flush();
    else current.push_back(c);
  }
  flush();
  return items;
}

}  // namespace

TKrxIndexDef KrxIndexDefFromLists(std::string name, std::string_view fields, std::string_view descending,
                                  std::string_view caseInsensitive, bool unique, bool primary) {
  std::vector<std::string> names = SplitList(fields);
  std::vector<std::string> desc = SplitList(descending);
  std::vector<std::string> nocase = SplitList(caseInsensitive);
  if (!desc.empty() && desc.size() != names.size())
    throw EKrxException(KrxError::DifferentListsLength, static_cast<int64_t>(names.size()),
                        static_cast<int64_t>(desc.size()));
  if (!nocase.empty() && nocase.size() != names.size())
    throw EKrxException(KrxError::DifferentListsLength, static_cast<int64_t>(names.size()),
                        static_cast<int64_t>(nocase.size()));
  TKrxIndexDef def;
  def.name = std::move(name);
  def.unique = unique || primary;
  def.primary = primary;
  for (size_t i = 0; i < names.size(); ++i) {
    TKrxIndexColumnDef c;
    c.fieldName = names[i];
    c.descending = !desc.empty() && KrxSameName(desc[i], "DESC");
    c.caseInsensitive = !nocase.empty() && KrxSameName(nocase[i], "NO_CASE");
    def.columns.push_back(std::move(c));
  }
  return def;
}

std::string KrxNewTemporaryIndexName() {
  static thread_local std::mt19937_64 rng(std::random_device{}());
  uint64_t a = rng(), b = rng();
  char text[64];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>((a & 0x0FFF) | 0x4000),
                static_cast<unsigned>(((b >> 48) & 0x3FFF) | 0x8000),
                static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFULL));
  return std::string("TEMPORARY_INDEX_") + text;
}

}  // namespace krx
