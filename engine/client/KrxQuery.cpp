#include "KrxQuery.h"

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxLocale.h"
#include "KrxProcessor.h"
#include "KrxStatementRunner.h"

namespace krx {

namespace {

size_t CharacterCount(std::string_view utf8) {
  size_t count = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

TKrxQuery::TKrxQuery(std::string name) : TKrxDataSet(std::move(name)) {}

TKrxQuery::~TKrxQuery() {
  try {
    Close();
  } catch (...) {
  }
  processor_.reset();
}

void TKrxQuery::SQLClear() {
  sql_.clear();
  TextChanged();
}

void TKrxQuery::SQLAdd(std::string_view line) {
  sql_.emplace_back(line);
  TextChanged();
}

void TKrxQuery::SetSQLText(std::string_view text) {
  sql_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    sql_.emplace_back(line);
    start = end + 1;
  }
  TextChanged();
}

std::string TKrxQuery::SQLText() const {
  std::string text;
  for (size_t i = 0; i < sql_.size(); ++i) {
    if (i > 0) text += '\n';
    text += sql_[i];
  }
  return text;
}

void TKrxQuery::TextChanged() {
  Close();
  UnPrepare();
  if (!paramCheck_) return;
  TKrxParams fresh;
  for (const std::string& name : TKrxParams::ParseNames(SQLText())) {
    TKrxParam& param = fresh.Add(name);
    if (TKrxParam* old = params_.FindParam(name)) {
      param.value = old->value;
      param.bound = old->bound;
    }
  }
  params_ = std::move(fresh);
}

void TKrxQuery::SetRequestLive(bool live) {
  if (live == requestLive_) return;
  Close();
  UnPrepare();
  requestLive_ = live;
}

void TKrxQuery::SetDataSource(TKrxDataSet* master) {
  for (TKrxDataSet* link = master; link != nullptr;) {
    if (link == this) throw EKrxException(KrxError::CircularDataLink);
    auto* query = dynamic_cast<TKrxQuery*>(link);
    link = query != nullptr ? query->DataSource() : nullptr;
  }
  dataSource_ = master;
}

void TKrxQuery::Prepare() {
  if (Active()) throw EKrxException(KrxError::CannotPrepareOpenDataset);
  if (Prepared()) return;
  if (sql_.empty()) throw EKrxException(KrxError::NoSQLStatementNoLines);
  std::string text = SQLText();
  if (CharacterCount(text) < 2) throw EKrxException(KrxError::NoSQLStatementTooShort);
  auto processor = std::make_unique<TKrxSQLProcessor>(this);
  // The engine core reads its text in the national code page.
  processor->SetSQL(KrxUtf8ToGb(text));
  processor_ = std::move(processor);
}

void TKrxQuery::UnPrepare() {
  if (Active()) Close();
  processor_.reset();
}

void TKrxQuery::FillParamsFromDataSource() {
  if (dataSource_ == nullptr || !dataSource_->Active()) return;
  for (int i = 0; i < params_.Count(); ++i) {
    TKrxParam& param = params_.Items(i);
    if (param.bound) continue;
    TKrxField* field = dataSource_->FindField(param.name);
    if (field == nullptr) continue;
    TKrxVariant value = field->Value();
    if (value.IsNull()) value = TKrxVariant::Null(TKrxStorageType::Int32);
    // Taken for this run only: the next run reads the master again.
    param.value = value;
  }
}

void TKrxQuery::CopyParamsToProcessor() {
  TKrxSQLParams& target = processor_->Params();
  target.Clear();
  for (int i = 0; i < params_.Count(); ++i) {
    const TKrxParam& param = params_.Items(i);
    bool fromMaster = dataSource_ != nullptr && !param.bound;
    if (!param.bound && !fromMaster) continue;  // the lexer reports it by name
    target.Add(KrxUtf8ToGb(param.name)).SetValue(param.value);
  }
}

std::unique_ptr<TKrxLocalCursor> TKrxQuery::CreateCursor() {
  Prepare();
  TKrxDatabase& database = AcquireDatabase();
  FillParamsFromDataSource();
  CopyParamsToProcessor();
  TKrxRunResult result = KrxRunStatements(*processor_, database, requestLive_);
  rowsAffected_ = result.rowsAffected;
  if (!result.rows) throw EKrxException(KrxError::ErrorCreatingTableHandle);
  resultReadOnly_ = result.readOnly || database.ReadOnly();
  return std::make_unique<TKrxLocalCursor>(std::string(), std::move(result.rows));
}

void TKrxQuery::ExecSQL() {
  if (Active()) throw EKrxException(KrxError::CannotPrepareOpenDataset);
  Prepare();
  TKrxDatabase& database = AcquireDatabase();
  try {
    FillParamsFromDataSource();
    CopyParamsToProcessor();
    rowsAffected_ = 0;
    TKrxRunResult result = KrxRunStatements(*processor_, database, requestLive_);
    rowsAffected_ = result.rowsAffected;
  } catch (...) {
    ReleaseDatabase();
    throw;
  }
  ReleaseDatabase();
}

}  // namespace krx
