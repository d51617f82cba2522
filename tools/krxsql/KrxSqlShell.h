// The work of the krxsql shell once its database is connected: cutting
// input into texts at GO lines, running each text through one query and
// printing what it gave.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace krx {
class TKrxQuery;
}

namespace krxsql {

// A line that ends a text: only GO (any case), blanks around it ignored.
bool IsGoLine(std::string_view line);
// Whether a text holds more than blanks (texts of blanks only are skipped).
bool HasContent(std::string_view text);

// A value as the shell prints it: tabs and line breaks as \t, \n, \r.
std::string EscapeValue(std::string_view text);

// Runs one text and prints its result rows, "OK N" or "ERROR: " and the
// engine's message. Returns false when the run failed.
bool RunText(krx::TKrxQuery& query, const std::string& text, std::ostream& out);

}  // namespace krxsql
