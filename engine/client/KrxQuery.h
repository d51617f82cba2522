// The query component: SQL text in lines (UTF-8), parameters parsed from
// it, and the runs of that text through an SQL processor. Opening presents
// the rows of the last statement; executing runs the text for its changes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KrxDataSet.h"
#include "KrxParams.h"
#include "KrxSQLQuery.h"

namespace krx {

class TKrxSQLProcessor;

class TKrxQuery : public TKrxDataSet, public TKrxSQLQuery {
 public:
  explicit TKrxQuery(std::string name = {});
  ~TKrxQuery() override;

  // The SQL lines. Any change closes and unprepares the query first and,
  // with ParamCheck on, parses the parameters anew (values of parameters
  // that stay are kept).
  const std::vector<std::string>& SQL() const { return sql_; }
  void SQLClear();
  void SQLAdd(std::string_view line);
  void SetSQLText(std::string_view text);
  // The lines joined by line breaks.
  std::string SQLText() const;

  bool ParamCheck() const { return paramCheck_; }
  void SetParamCheck(bool check) { paramCheck_ = check; }
  TKrxParams& Params() { return params_; }
  TKrxParam& ParamByName(std::string_view name) { return params_.ParamByName(name); }
  bool RequestLive() const { return requestLive_; }
  void SetRequestLive(bool live);
  // A master dataset whose fields fill the parameters left unbound.
  TKrxDataSet* DataSource() const { return dataSource_; }
  void SetDataSource(TKrxDataSet* master);

  // "No SQL statement available" without lines (20034) or for text under
  // two characters (30142); "Cannot perform this operation on an open
  // dataset" while open.
  void Prepare();
  void UnPrepare();
  bool Prepared() const { return processor_ != nullptr; }

  // Runs the text without presenting rows; the query stays closed.
  void ExecSQL();
  int64_t RowsAffected() const { return rowsAffected_; }

  bool IsQuery() const override { return true; }
  bool InMemory() const override { return TKrxDataSet::InMemory(); }

 protected:
  std::unique_ptr<TKrxLocalCursor> CreateCursor() override;

 private:
  void TextChanged();
  void FillParamsFromDataSource();
  void CopyParamsToProcessor();

  std::vector<std::string> sql_;
  bool paramCheck_ = true;
  bool requestLive_ = false;
  TKrxDataSet* dataSource_ = nullptr;
  TKrxParams params_;
  std::unique_ptr<TKrxSQLProcessor> processor_;
  int64_t rowsAffected_ = 0;
  bool resultReadOnly_ = true;
};

}  // namespace krx
