// The base of the query and table components: a named dataset that resolves
// its database through its session, opens a local cursor and walks its rows
// one current record at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KrxField.h"
#include "KrxFormatSettings.h"
#include "KrxLocalCursor.h"

namespace krx {

class TKrxDatabase;

struct TKrxLocateOptions {
  bool caseInsensitive = false;
  // Strings match when the field's text starts with the value.
  bool partialKey = false;
};

class TKrxDataSet {
 public:
  static constexpr int kBookmarkSize = 7;

  explicit TKrxDataSet(std::string name = {});
  virtual ~TKrxDataSet();
  TKrxDataSet(const TKrxDataSet&) = delete;
  TKrxDataSet& operator=(const TKrxDataSet&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& DatabaseName() const { return databaseName_; }
  // Makes InMemory true exactly when the name is "MEMORY" (any case).
  void SetDatabaseName(std::string name);
  const std::string& SessionName() const { return sessionName_; }
  void SetSessionName(std::string name);
  bool InMemory() const { return inMemory_; }
  // True sets DatabaseName to "MEMORY".
  void SetInMemory(bool inMemory);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  const TKrxFormatSettings& FormatSettings() const { return formatSettings_; }
  void SetFormatSettings(const TKrxFormatSettings& settings) { formatSettings_ = settings; }

  void Open();
  void Close();
  bool Active() const { return cursor_ != nullptr; }
  TKrxDatabase* Database() const { return database_; }
  // Queries are closed before other datasets when a database disconnects.
  virtual bool IsQuery() const { return false; }

  void First();
  void Next();
  void Prior();
  void Last();
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const { return currentRecord_ == nullptr; }
  // Rows of the result (visible through the filter); 0 when closed.
  int64_t RecordCount();

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TKrxField& Fields(int index) { return *fields_.at(static_cast<size_t>(index)); }
  // Case-insensitive; null when absent.
  TKrxField* FindField(std::string_view name);
  // As FindField, raising "Field '%s' not found" with the name.
  TKrxField& FieldByName(std::string_view name);
  std::vector<std::string> FieldNames() const;

  // Moves to the first row (in order) whose fields, named by a ';'-separated
  // list, equal the values; stays where it was when none does.
  bool Locate(std::string_view fieldNames, const std::vector<TKrxVariant>& values,
              const TKrxLocateOptions& options = {});
  // The values of resultFields at the row Locate would find, without moving;
  // empty when none matches.
  std::vector<TKrxVariant> Lookup(std::string_view keyFields, const std::vector<TKrxVariant>& values,
                                  std::string_view resultFields);

  // A filter hides the rows for which it answers false.
  void SetFilter(std::function<bool(TKrxDataSet&)> filter);
  bool Filtered() const { return static_cast<bool>(filter_); }

  TKrxRecordID GetBookmark() const;
  void GotoBookmark(const TKrxRecordID& bookmark);

  // For the fields: the current record buffer (null without a current row).
  const uint8_t* CurrentRecord() const { return currentRecord_; }
  const TKrxFieldDefs& FieldDefs() const;
  std::string ReadBlob(int fieldNo);
  TKrxLocalCursor* Cursor() const { return cursor_.get(); }

 protected:
  // Makes the cursor the dataset presents; its database is resolved first.
  virtual std::unique_ptr<TKrxLocalCursor> CreateCursor() = 0;
  virtual void AfterClose() {}

  // The dataset's database, connected, its use count raised.
  TKrxDatabase& AcquireDatabase();
  void ReleaseDatabase();
  void CheckInactive() const;

 private:
  void BindFields();
  // Fetches in a direction until a row passes the filter.
  TKrxFetchResult Fetch(TKrxFetchMode mode);
  bool Passes();
  void Resync();
  std::vector<int> FieldNumbers(std::string_view names);
  bool Matches(const std::vector<int>& fieldNos, const std::vector<TKrxVariant>& values,
               const TKrxLocateOptions& options);

  std::string name_;
  std::string databaseName_;
  std::string sessionName_;
  bool inMemory_ = false;
  bool readOnly_ = false;
  TKrxFormatSettings formatSettings_;
  TKrxDatabase* database_ = nullptr;
  std::unique_ptr<TKrxLocalCursor> cursor_;
  std::vector<std::unique_ptr<TKrxField>> fields_;
  std::vector<uint8_t> buffer_;
  std::vector<uint8_t> scratch_;
  const uint8_t* currentRecord_ = nullptr;
  bool eof_ = true;
  bool bof_ = true;
  std::function<bool(TKrxDataSet&)> filter_;
};

}  // namespace krx
