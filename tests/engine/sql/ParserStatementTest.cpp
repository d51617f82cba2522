// Parsing statements: what each statement keeps of its text, and the parse
// messages with their native codes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "KrxDDLStatements.h"
#include "KrxException.h"
#include "KrxProcessor.h"
#include "KrxSQLModify.h"
#include "KrxSQLUnion.h"
#include "KrxStatement.h"

namespace krx {
namespace {

// Parses a text of one command and keeps lexer and statement together.
struct Parsed {
  explicit Parsed(const std::string& sql) : lexer(sql, nullptr) {
    EXPECT_TRUE(lexer.NextCommand());
    statement = KrxParseStatement(lexer, nullptr);
  }
  template <typename T>
  T& As() {
    T* typed = dynamic_cast<T*>(statement.get());
    EXPECT_NE(typed, nullptr);
    return *typed;
  }
  TKrxLexer lexer;
  std::unique_ptr<TKrxSQLCommand> statement;
};

std::string ErrorOf(const std::string& sql) {
  try {
    TKrxSQLProcessor processor(nullptr);
    processor.SetSQL(sql);
    processor.Parse();
  } catch (const EKrxException& e) {
    return e.what();
  }
  return "no error";
}

const TKrxSQLSelect& OnlyBlock(Parsed& parsed) {
  const TKrxSQLUnion& query = parsed.As<TKrxSQLUnion>();
  EXPECT_EQ(query.BlockCount(), 1);
  return *query.Root().select;
}

struct ErrorCase {
  const char* sql;
  const char* message;
};

TEST(ParserErrors, MessagesAndCodes) {
  const ErrorCase cases[] = {
      {"", "Blank SQL command - Native error: 30145"},
      {" ; ", "Blank SQL command - Native error: 30145"},
      {"fetch all", "SQL token expected, but 'fetch' found at line 1, column 1 - Native error: 30153"},
      {"hello world", "SQL token expected, but 'hello' found at line 1, column 1 - Native error: 30154"},
      {"create view v", "Object type keyword expected, but 'view' found at line 1, column 8 - Native error: 30147"},
      {"create", "Unexpected end of SQL command found at line 1, column 1 - Native error: 30148"},
      {"drop", "Unexpected end of SQL command found at line 1, column 1 - Native error: 30150"},
      {"alter index x", "Object type keyword expected, but 'index' found at line 1, column 7 - Native error: 30151"},
      {"rename", "Unexpected end of SQL command found at line 1, column 1 - Native error: 30353"},
      {"select * from t where 1=1 x",
       "End of SQL command expected, but 'x' found at line 1, column 27 - Native error: 20260"},
      {"select * where 1=1", "Token 'FROM' expected, but 'where' found at line 1, column 10 - Native error: 30184"},
      {"select * from ,", "Table name expected, but ',' found at line 1, column 15 - Native error: 30180"},
      {"select * from a, ,", "Table name expected, but ',' found at line 1, column 18 - Native error: 30181"},
      {"select top x from t", "Integer expected, but 'x' found at line 1, column 12 - Native error: 30158"},
      {"select top 1, x from t", "Integer expected, but 'x' found at line 1, column 15 - Native error: 30159"},
      {"select a as from t", "Field pseudonym expected, but 'from' found at line 1, column 13 - Native error: 30162"},
      {"select from t", "Expression expected, but 'from' found at line 1, column 8 - Native error: 30160"},
      {"select * from t order fname", "Token 'BY' expected, but 'fname' found at line 1, column 23 - Native error: 30188"},
      {"select * from t order by ,", "Field name expected, but ',' found at line 1, column 26 - Native error: 30187"},
      {"select * from t group fname", "Token 'BY' expected, but 'fname' found at line 1, column 23 - Native error: 30185"},
      {"select * from a left x b", "Unexpected token 'x' found at line 1, column 22 - Native error: 30171"},
      {"select * from a left outer b", "Unexpected token 'b' found at line 1, column 28 - Native error: 30174"},
      {"select * from a left outer where b",
       "Token 'JOIN' expected, but 'where' found at line 1, column 28 - Native error: 30175"},
      {"select * from a join b using x",
       "Token '(' expected, but 'x' found at line 1, column 30 - Native error: 30167"},
      {"select * from t password x",
       "Quoted password expected (for PASSWORD \"passwordData\"), but 'x' found at line 1, column 26 - Native error: 30178"},
      {"select * into a from t union select * from u",
       "UNION subselect cannot contain INTO caluse. Use SELECT * INTO table FROM (select ... union select ...) "
       "instead - Native error: 20272"},
      {"delete", "Unexpected end of SQL command found at line 1, column 1 - Native error: 30224"},
      {"delete cqproduct", "Token 'FROM' expected, but 'cqproduct' found at line 1, column 8 - Native error: 30184"},
      {"insert t values (1)", "Token 'INTO' expected, but 't' found at line 1, column 8 - Native error: 30206"},
      {"insert into t (a, b) values (1)",
       "Number of field names doesn't equal to the number of field values: 2 <> 1. Found at line 1, column 22 - "
       "Native error: 20259"},
      {"insert into t (a b) values (1)",
       "')' or ',' symbol expected, but 'b' found at line 1, column 18 - Native error: 30212"},
      {"insert into t (1) values (1)", "Field name expected, but '1' found at line 1, column 16 - Native error: 02156"},
      {"insert into t values 1", "'(' symbol expected, but '1' found at line 1, column 22 - Native error: 30214"},
      {"insert into t where", "Unexpected end of SQL command found at line 1, column 15 - Native error: 30213"},
      {"update t fname = 1", "Token 'SET' expected, but '=' found at line 1, column 16 - Native error: 30220"},
      {"update t set fname 1", "Token '=' expected, but '1' found at line 1, column 20 - Native error: 30221"},
      {"update t set a = 1 b = 2", "Token ',' expected, but 'b' found at line 1, column 20 - Native error: 30222"},
      {"update t set a = 1,", "Unexpected end of SQL command found at line 1, column 19 - Native error: 30223"},
      {"start work", "Token 'TRANSACTION' expected, but 'work' found at line 1, column 7 - Native error: 30460"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.sql), c.message) << c.sql;
}

TEST(ParserSelect, DistinctParenthesisedColumnWithAlias) {
  Parsed parsed("select distinct(fzhidan) as fzhidan from cqsalebill order by FInterID");
  const TKrxSQLSelect& block = OnlyBlock(parsed);
  EXPECT_TRUE(block.Distinct());
  ASSERT_EQ(block.SelectList().size(), 1u);
  const TKrxSelectListItem& item = block.SelectList()[0];
  EXPECT_FALSE(item.isExpression);
  EXPECT_EQ(item.fieldName, "fzhidan");
  EXPECT_EQ(item.alias, "fzhidan");
  ASSERT_EQ(block.From().size(), 1u);
  EXPECT_EQ(block.From()[0].tableName, "cqsalebill");
  ASSERT_EQ(block.SortSpecifications().size(), 1u);
  EXPECT_EQ(block.SortSpecifications()[0].columnName, "FInterID");
  EXPECT_FALSE(block.SortSpecifications()[0].descending);
}

TEST(ParserSelect, RepeatedColumnsGetAliasesOfTheirOwn) {
  Parsed parsed("select fname, t.fname, fname, fname_1, FNAME from t");
  const auto& items = OnlyBlock(parsed).SelectList();
  ASSERT_EQ(items.size(), 5u);
  EXPECT_FALSE(items[0].duplicate);
  EXPECT_FALSE(items[1].duplicate);  // another qualifier
  EXPECT_TRUE(items[2].duplicate);
  EXPECT_TRUE(items[2].isExpression);
  EXPECT_EQ(items[2].alias, "fname_2");  // fname_1 is taken by a later item
  EXPECT_TRUE(items[4].duplicate);
  EXPECT_EQ(items[4].alias, "FNAME_3");
}

TEST(ParserSelect, ClausesTopIntoJoinsAndOrder) {
  Parsed parsed(
      "select top 5, 2 a.fcode x, b.* into memory immediate db.res "
      "from cqproduct a left outer join memory cqclass as b on a.fclassid = b.fid "
      "natural join \"other.dat\".t3 c password 'pw' "
      "order by 2 desc, a.fcode asc");
  const TKrxSQLSelect& block = OnlyBlock(parsed);
  EXPECT_EQ(block.TopRowCount(), 5);
  EXPECT_EQ(block.TopFirstRow(), 2);
  ASSERT_EQ(block.SelectList().size(), 2u);
  EXPECT_EQ(block.SelectList()[0].qualifier, "a");
  EXPECT_EQ(block.SelectList()[0].fieldName, "fcode");
  EXPECT_EQ(block.SelectList()[0].alias, "x");
  EXPECT_TRUE(block.SelectList()[1].isAllFields);
  EXPECT_EQ(block.SelectList()[1].qualifier, "b");
  EXPECT_TRUE(block.Into().present);
  EXPECT_TRUE(block.Into().inMemory);
  EXPECT_TRUE(block.Into().immediate);
  EXPECT_EQ(block.Into().databaseName, "db");
  EXPECT_EQ(block.Into().tableName, "res");

  ASSERT_EQ(block.From().size(), 1u);
  const TKrxTableReference& outer = block.From()[0];  // (a LEFT JOIN b) NATURAL JOIN c
  ASSERT_EQ(outer.kind, trJoin);
  EXPECT_TRUE(outer.natural);
  EXPECT_EQ(outer.joinType, jtInner);
  EXPECT_EQ(outer.right->databaseName, "other.dat");
  EXPECT_EQ(outer.right->tableName, "t3");
  EXPECT_EQ(outer.right->alias, "c");
  EXPECT_EQ(outer.right->password, "pw");
  const TKrxTableReference& inner = *outer.left;
  ASSERT_EQ(inner.kind, trJoin);
  EXPECT_EQ(inner.joinType, jtLeft);
  EXPECT_NE(inner.on, nullptr);
  EXPECT_EQ(inner.left->tableName, "cqproduct");
  EXPECT_EQ(inner.left->alias, "a");
  EXPECT_TRUE(inner.right->inMemory);
  EXPECT_EQ(inner.right->alias, "b");

  const auto& order = block.SortSpecifications();
  ASSERT_EQ(order.size(), 2u);
  EXPECT_TRUE(order[0].isNumber);
  EXPECT_EQ(order[0].columnName, "2");
  EXPECT_TRUE(order[0].descending);
  EXPECT_EQ(order[1].qualifier, "a");
  EXPECT_EQ(order[1].columnName, "fcode");
}

TEST(ParserSelect, KeywordsAsNamesOnlyWhenQuoted) {
  Parsed parsed("select [select], `from` from [order]");
  const TKrxSQLSelect& block = OnlyBlock(parsed);
  ASSERT_EQ(block.SelectList().size(), 2u);
  EXPECT_EQ(block.SelectList()[0].fieldName, "select");
  EXPECT_EQ(block.SelectList()[1].fieldName, "from");
  EXPECT_EQ(block.From()[0].tableName, "order");
  EXPECT_EQ(ErrorOf("select absolute from t"),
            "Expression expected, but 'absolute' found at line 1, column 8 - Native error: 30160");
}

TEST(ParserUnion, OrderByOfUnparenthesisedBlocksSortsTheLastBlock) {
  Parsed plain("select a from t union all select a from u order by a");
  const TKrxSQLUnion& query = plain.As<TKrxSQLUnion>();
  ASSERT_EQ(query.Root().operation, qoUnion);
  EXPECT_TRUE(query.Root().all);
  EXPECT_TRUE(query.SortSpecifications().empty());
  EXPECT_TRUE(query.Root().left->select->SortSpecifications().empty());
  EXPECT_EQ(query.Root().right->select->SortSpecifications().size(), 1u);

  Parsed whole("(select a from t union select a from u) order by a desc");
  const TKrxSQLUnion& sorted = whole.As<TKrxSQLUnion>();
  ASSERT_EQ(sorted.SortSpecifications().size(), 1u);
  EXPECT_TRUE(sorted.SortSpecifications()[0].descending);
}

TEST(ParserUnion, IntersectBindsTighterThanUnionAndExcept) {
  Parsed parsed(
      "select a from t union select a from u intersect corresponding by (a) select a from v "
      "minus select a from w");
  const TKrxQueryExprNode& root = parsed.As<TKrxSQLUnion>().Root();
  // ((t UNION (u INTERSECT v)) EXCEPT w)
  ASSERT_EQ(root.operation, qoExcept);
  ASSERT_EQ(root.left->operation, qoUnion);
  const TKrxQueryExprNode& intersect = *root.left->right;
  ASSERT_EQ(intersect.operation, qoIntersect);
  EXPECT_TRUE(intersect.corresponding);
  ASSERT_EQ(intersect.correspondingColumns.size(), 1u);
  EXPECT_EQ(parsed.As<TKrxSQLUnion>().BlockCount(), 4);
}

TEST(ParserDelete, ReadsAsSelectStarFrom) {
  Parsed parsed("delete from cqsalebill where FInterID=5");
  const TKrxSQLSelect& rows = parsed.As<TKrxSQLDelete>().RowSelect();
  EXPECT_TRUE(rows.SelectAll());
  EXPECT_EQ(rows.From()[0].tableName, "cqsalebill");
  EXPECT_NE(rows.Where(), nullptr);
  const auto& tokens = parsed.lexer.Command().tokens;
  EXPECT_TRUE(tokens[0].IsKeyword(kwSELECT));
  EXPECT_EQ(tokens[0].text, "select");
  EXPECT_EQ(tokens[1].text, "*");
}

TEST(ParserUpdate, AssignmentsAndTheRowSelectingBlock) {
  Parsed parsed("update memory \"d.dat\".cqproduct p password 'x' set cqproduct.fname = 'a', fqty = fqty + 1 "
                "where fid = 3");
  const TKrxSQLUpdate& update = parsed.As<TKrxSQLUpdate>();
  EXPECT_TRUE(update.Target().inMemory);
  EXPECT_EQ(update.Target().databaseName, "d.dat");
  EXPECT_EQ(update.Target().tableName, "cqproduct");
  EXPECT_EQ(update.Target().alias, "p");
  ASSERT_EQ(update.Assignments().size(), 2u);
  EXPECT_EQ(update.Assignments()[0].columnName, "fname");
  EXPECT_EQ(update.Assignments()[1].columnName, "fqty");
  const TKrxSQLSelect& rows = update.RowSelect();
  EXPECT_TRUE(rows.SelectAll());
  ASSERT_EQ(rows.From().size(), 1u);
  EXPECT_TRUE(rows.From()[0].inMemory);
  EXPECT_EQ(rows.From()[0].databaseName, "d.dat");
  EXPECT_EQ(rows.From()[0].tableName, "cqproduct");
  EXPECT_EQ(rows.From()[0].alias, "p");
  EXPECT_EQ(rows.From()[0].password, "x");
  EXPECT_NE(rows.Where(), nullptr);

  // The alias is no qualifier of an assignment.
  EXPECT_EQ(ErrorOf("update cqproduct p set p.fname = 1"),
            "Token '=' expected, but '.' found at line 1, column 25 - Native error: 30221");
}

TEST(ParserInsert, ValuesRowsAndQueries) {
  Parsed values("insert into cqhint (fid, fhint) values (1, 'a'), (2, 'b')");
  const TKrxSQLInsert& insert = values.As<TKrxSQLInsert>();
  EXPECT_EQ(insert.Target().tableName, "cqhint");
  ASSERT_EQ(insert.Columns().size(), 2u);
  ASSERT_EQ(insert.Rows().size(), 2u);
  EXPECT_EQ(insert.Rows()[1].size(), 2u);

  Parsed query("insert into t (select * from u)");
  EXPECT_NE(query.As<TKrxSQLInsert>().SourceQuery(), nullptr);
  Parsed bare("insert into t select a from u union select b from v");
  EXPECT_EQ(bare.As<TKrxSQLInsert>().SourceQuery()->BlockCount(), 2);
}

TEST(ParserTransactions, CommitFlushAnywhereAfterCommit) {
  Parsed flush("commit work flush");
  EXPECT_TRUE(flush.As<TKrxSQLCommit>().Flush());
  Parsed plain("commit");
  EXPECT_FALSE(plain.As<TKrxSQLCommit>().Flush());
  Parsed start("start transaction");
  EXPECT_NE(dynamic_cast<TKrxSQLStartTransaction*>(start.statement.get()), nullptr);
  Parsed rollback("rollback");
  EXPECT_NE(dynamic_cast<TKrxSQLRollback*>(rollback.statement.get()), nullptr);
}

TEST(ParserProcessor, SeveralCommandsParseInOrder) {
  TKrxSQLProcessor processor(nullptr);
  processor.SetSQL("create table a (x integer);; insert into a values (1); select * from a");
  processor.Parse();
  ASSERT_EQ(processor.Statements().size(), 3u);
  EXPECT_NE(dynamic_cast<TKrxDDLCreateTable*>(processor.Statements()[0].get()), nullptr);
  EXPECT_NE(dynamic_cast<TKrxSQLInsert*>(processor.Statements()[1].get()), nullptr);
  EXPECT_NE(dynamic_cast<TKrxSQLUnion*>(processor.Statements()[2].get()), nullptr);
}

}  // namespace
}  // namespace krx
