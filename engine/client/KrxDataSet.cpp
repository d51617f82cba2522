#include "KrxDataSet.h"

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxLocale.h"
#include "KrxSession.h"

namespace krx {

namespace {

bool SameNameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::vector<std::string> SplitNames(std::string_view names) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find(';', start);
    if (end == std::string_view::npos) end = names.size();
    std::string_view part = names.substr(start, end - start);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (!part.empty()) out.emplace_back(part);
    start = end + 1;
  }
  return out;
}

}  // namespace

TKrxDataSet::TKrxDataSet(std::string name)
    : name_(std::move(name)), sessionName_(kKrxDefaultSessionName), formatSettings_(KrxDefaultFormatSettings()) {}

TKrxDataSet::~TKrxDataSet() {
  // Derived parts are gone by now; only the cursor and the database use
  // count remain to release.
  cursor_.reset();
  currentRecord_ = nullptr;
  fields_.clear();
  ReleaseDatabase();
}

void TKrxDataSet::SetDatabaseName(std::string name) {
  CheckInactive();
  inMemory_ = SameNameNoCase(name, "MEMORY");
  databaseName_ = std::move(name);
}

void TKrxDataSet::SetSessionName(std::string name) {
  CheckInactive();
  sessionName_ = std::move(name);
}

void TKrxDataSet::SetInMemory(bool inMemory) {
  CheckInactive();
  inMemory_ = inMemory;
  if (inMemory) databaseName_ = "MEMORY";
}

void TKrxDataSet::SetReadOnly(bool readOnly) {
  CheckInactive();
  readOnly_ = readOnly;
}

void TKrxDataSet::CheckInactive() const {
  if (Active()) throw EKrxException(KrxError::CannotPrepareOpenDataset);
}

TKrxDatabase& TKrxDataSet::AcquireDatabase() {
  if (database_ != nullptr) return *database_;
  if (databaseName_.empty()) throw EKrxException(KrxError::DatabaseNameBlank);
  TKrxSession& session = KrxSessions().SessionByName(sessionName_);
  database_ = &session.OpenDatabase(databaseName_);
  database_->AddDataSet(this);
  return *database_;
}

void TKrxDataSet::ReleaseDatabase() {
  TKrxDatabase* database = database_;
  if (database == nullptr) return;
  database_ = nullptr;
  database->RemoveDataSet(this);
  database->Session().CloseDatabase(*database);
}

void TKrxDataSet::Open() {
  if (Active()) return;
  try {
    cursor_ = CreateCursor();
    if (!cursor_) throw EKrxException(KrxError::ErrorCreatingTableHandle);
    BindFields();
    First();
  } catch (...) {
    cursor_.reset();
    fields_.clear();
    currentRecord_ = nullptr;
    ReleaseDatabase();
    throw;
  }
}

void TKrxDataSet::Close() {
  if (!Active()) return;
  currentRecord_ = nullptr;
  fields_.clear();
  cursor_.reset();
  eof_ = bof_ = true;
  AfterClose();
  ReleaseDatabase();
}

void TKrxDataSet::BindFields() {
  fields_.clear();
  const TKrxFieldDefs& defs = cursor_->FieldDefs();
  for (size_t i = 0; i < defs.Count(); ++i) fields_.push_back(std::make_unique<TKrxField>(*this, defs[i]));
  buffer_ = cursor_->NewRecordBuffer();
  scratch_ = cursor_->NewRecordBuffer();
  currentRecord_ = nullptr;
}

const TKrxFieldDefs& TKrxDataSet::FieldDefs() const {
  if (!cursor_) throw EKrxException(KrxError::NilPointer);
  return cursor_->FieldDefs();
}

std::string TKrxDataSet::ReadBlob(int fieldNo) {
  if (!cursor_ || currentRecord_ == nullptr) return {};
  return cursor_->Source().ReadBlob(TKrxLocalCursor::BufferPosition(currentRecord_, cursor_->PositionOffset()),
                                    fieldNo);
}

bool TKrxDataSet::Passes() {
  if (!filter_) return true;
  const uint8_t* saved = currentRecord_;
  currentRecord_ = scratch_.data();
  bool passes = false;
  try {
    passes = filter_(*this);
  } catch (...) {
    currentRecord_ = saved;
    throw;
  }
  currentRecord_ = saved;
  return passes;
}

TKrxFetchResult TKrxDataSet::Fetch(TKrxFetchMode mode) {
  for (;;) {
    TKrxFetchResult result = cursor_->GetRecord(mode, scratch_.data());
    if (result == TKrxFetchResult::Error) throw EKrxException(KrxError::CannotRetrieveRecord);
    if (result != TKrxFetchResult::Ok || Passes()) return result;
  }
}

void TKrxDataSet::Resync() {
  // The cursor ran past the end; bring it back to the row on show.
  if (currentRecord_ == nullptr) return;
  cursor_->GotoBookmark(TKrxLocalCursor::BufferPosition(buffer_.data(), cursor_->PositionOffset()), scratch_.data());
}

void TKrxDataSet::First() {
  if (!Active()) throw EKrxException(KrxError::DatasetClosed);
  cursor_->SetToBegin();
  if (Fetch(TKrxFetchMode::Next) == TKrxFetchResult::Ok) {
    buffer_.swap(scratch_);
    currentRecord_ = buffer_.data();
    eof_ = false;
  } else {
    currentRecord_ = nullptr;
    eof_ = true;
  }
  bof_ = true;
}

void TKrxDataSet::Last() {
  if (!Active()) throw EKrxException(KrxError::DatasetClosed);
  cursor_->SetToEnd();
  if (Fetch(TKrxFetchMode::Prior) == TKrxFetchResult::Ok) {
    buffer_.swap(scratch_);
    currentRecord_ = buffer_.data();
    bof_ = false;
  } else {
    currentRecord_ = nullptr;
    bof_ = true;
  }
  eof_ = true;
}

void TKrxDataSet::Next() {
  if (!Active()) throw EKrxException(KrxError::DatasetClosed);
  if (eof_) return;
  if (Fetch(TKrxFetchMode::Next) == TKrxFetchResult::Ok) {
    buffer_.swap(scratch_);
    currentRecord_ = buffer_.data();
    bof_ = false;
  } else {
    eof_ = true;
    Resync();
  }
}

void TKrxDataSet::Prior() {
  if (!Active()) throw EKrxException(KrxError::DatasetClosed);
  if (bof_) return;
  if (Fetch(TKrxFetchMode::Prior) == TKrxFetchResult::Ok) {
    buffer_.swap(scratch_);
    currentRecord_ = buffer_.data();
    eof_ = false;
  } else {
    bof_ = true;
    Resync();
  }
}

int64_t TKrxDataSet::RecordCount() {
  if (!Active()) return 0;
  if (!filter_) return cursor_->RecordCount();
  int64_t count = 0;
  cursor_->SetToBegin();
  while (Fetch(TKrxFetchMode::Next) == TKrxFetchResult::Ok) ++count;
  if (currentRecord_ == nullptr) cursor_->SetToBegin();
  else Resync();
  return count;
}

TKrxField* TKrxDataSet::FindField(std::string_view name) {
  std::string wanted = KrxUpperString(KrxUtf8ToGb(name));
  for (auto& field : fields_) {
    if (field->LookupName() == wanted) return field.get();
  }
  return nullptr;
}

TKrxField& TKrxDataSet::FieldByName(std::string_view name) {
  TKrxField* field = FindField(name);
  if (field == nullptr) throw EKrxException(KrxError::DataSetFieldNotFound, std::string(name));
  return *field;
}

std::vector<std::string> TKrxDataSet::FieldNames() const {
  std::vector<std::string> names;
  names.reserve(fields_.size());
  for (const auto& field : fields_) names.push_back(field->FieldName());
  return names;
}

void TKrxDataSet::SetFilter(std::function<bool(TKrxDataSet&)> filter) {
  filter_ = std::move(filter);
  if (Active()) First();
}

TKrxRecordID TKrxDataSet::GetBookmark() const {
  if (currentRecord_ == nullptr) return {};
  return TKrxLocalCursor::BufferPosition(currentRecord_, cursor_->PositionOffset());
}

void TKrxDataSet::GotoBookmark(const TKrxRecordID& bookmark) {
  if (!Active()) throw EKrxException(KrxError::DatasetClosed);
  if (!cursor_->GotoBookmark(bookmark, scratch_.data())) throw EKrxException(KrxError::CannotRetrieveRecord);
  buffer_.swap(scratch_);
  currentRecord_ = buffer_.data();
  eof_ = bof_ = false;
}

std::vector<int> TKrxDataSet::FieldNumbers(std::string_view names) {
  std::vector<int> numbers;
  for (const std::string& name : SplitNames(names)) numbers.push_back(FieldByName(name).FieldNo());
  return numbers;
}

bool TKrxDataSet::Matches(const std::vector<int>& fieldNos, const std::vector<TKrxVariant>& values,
                          const TKrxLocateOptions& options) {
  const TKrxFieldDefs& defs = cursor_->FieldDefs();
  for (size_t i = 0; i < fieldNos.size(); ++i) {
    const TKrxVariant& wanted = i < values.size() ? values[i] : TKrxVariant();
    TKrxVariant actual = KrxGetRecordField(defs, scratch_.data(), fieldNos[i]);
    if (wanted.IsNull() || actual.IsNull()) {
      if (wanted.IsNull() != actual.IsNull()) return false;
      continue;
    }
    if (options.partialKey && KrxIsStringType(actual.Type())) {
      std::string prefix = wanted.AsString();
      std::string text = actual.AsString();
      if (text.size() < prefix.size()) return false;
      text.resize(prefix.size());
      if (KrxCompareStrings(text, prefix, options.caseInsensitive) != 0) return false;
      continue;
    }
    if (TKrxVariant::Compare(actual, wanted, options.caseInsensitive) != 0) return false;
  }
  return true;
}

bool TKrxDataSet::Locate(std::string_view fieldNames, const std::vector<TKrxVariant>& values,
                         const TKrxLocateOptions& options) {
  if (!Active()) throw EKrxException(KrxError::DatasetClosed);
  std::vector<int> fieldNos = FieldNumbers(fieldNames);
  cursor_->SetToBegin();
  while (Fetch(TKrxFetchMode::Next) == TKrxFetchResult::Ok) {
    if (Matches(fieldNos, values, options)) {
      buffer_.swap(scratch_);
      currentRecord_ = buffer_.data();
      eof_ = bof_ = false;
      return true;
    }
  }
  if (currentRecord_ == nullptr) cursor_->SetToBegin();
  else Resync();
  return false;
}

std::vector<TKrxVariant> TKrxDataSet::Lookup(std::string_view keyFields, const std::vector<TKrxVariant>& values,
                                             std::string_view resultFields) {
  if (!Active()) throw EKrxException(KrxError::DatasetClosed);
  std::vector<int> keyNos = FieldNumbers(keyFields);
  std::vector<int> resultNos = FieldNumbers(resultFields);
  std::vector<TKrxVariant> found;
  cursor_->SetToBegin();
  while (Fetch(TKrxFetchMode::Next) == TKrxFetchResult::Ok) {
    if (Matches(keyNos, values, {})) {
      for (int fieldNo : resultNos) found.push_back(KrxGetRecordField(cursor_->FieldDefs(), scratch_.data(), fieldNo));
      break;
    }
  }
  if (currentRecord_ == nullptr) cursor_->SetToBegin();
  else Resync();
  return found;
}

}  // namespace krx
