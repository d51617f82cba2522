#include "KrxSqlShell.h"

#include <ostream>

#include "KrxException.h"
#include "KrxQuery.h"

namespace krxsql {

namespace {

constexpr int32_t kNoResultCursor = 20001;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

bool IsGoLine(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line.size() == 2 && (line[0] == 'G' || line[0] == 'g') && (line[1] == 'O' || line[1] == 'o');
}

bool HasContent(std::string_view text) {
  for (char c : text) {
    if (!IsBlank(c) && c != '\n') return true;
  }
  return false;
}

std::string EscapeValue(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

bool RunText(krx::TKrxQuery& query, const std::string& text, std::ostream& out) {
  query.Close();
  query.SetSQLText(text);
  try {
    try {
      query.Open();
    } catch (const krx::EKrxException& e) {
      // The text ran but its last statement gives no rows.
      if (e.NativeError() != kNoResultCursor) throw;
      out << "OK " << query.RowsAffected() << '\n';
      return true;
    }
    std::vector<std::string> names = query.FieldNames();
    for (size_t i = 0; i < names.size(); ++i) out << (i ? "\t" : "") << EscapeValue(names[i]);
    out << '\n';
    int64_t rows = 0;
    std::string line;
    for (query.First(); !query.Eof(); query.Next()) {
      line.clear();
      for (int i = 0; i < query.FieldCount(); ++i) {
        if (i) line += '\t';
        line += EscapeValue(query.Fields(i).AsString());
      }
      out << line << '\n';
      ++rows;
    }
    out << '(' << rows << " rows)\n";
    query.Close();
    return true;
  } catch (const std::exception& e) {
    query.Close();
    out << "ERROR: " << e.what() << '\n';
    return false;
  }
}

}  // namespace krxsql
