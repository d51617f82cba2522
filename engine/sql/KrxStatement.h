// The statement dispatcher: the first token(s) of a command choose the
// statement class, which then parses the whole command.
#pragma once

#include <memory>

#include "KrxLexer.h"
#include "KrxSQLCommand.h"

namespace krx {

class TKrxSQLQuery;

// Parses the lexer's current command (from its first token) into a
// statement; raises the parse error when the command does not parse.
std::unique_ptr<TKrxSQLCommand> KrxParseStatement(TKrxLexer& lexer, TKrxSQLQuery* query);

}  // namespace krx
