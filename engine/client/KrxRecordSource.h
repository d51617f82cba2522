// What a local cursor walks: the records of a table or the rows of a query
// result. A source reads one record at a time into a record buffer in the
// in-memory record layout of its field definitions, relative to a position.
#pragma once

#include <cstdint>
#include <string>

#include "KrxFieldDef.h"
#include "KrxRecordPage.h"

namespace krx {

// A record's place in its table or result (TKrxRecordID) is the dataset's
// 6-byte bookmark.
// Bookmarks compare by their 32-bit part first, then their 16-bit part.
int KrxCompareBookmarks(const TKrxRecordID& a, const TKrxRecordID& b);

enum class TKrxFetchMode : uint8_t { Current, Next, Prior, First, Last };

// The answer of a row fetch.
enum class TKrxFetchResult : uint8_t { Ok = 0, BeforeFirst = 1, AfterLast = 2, Error = 3 };

class TKrxRecordSource {
 public:
  virtual ~TKrxRecordSource() = default;

  virtual const TKrxFieldDefs& FieldDefs() const = 0;
  // Reads the record that `mode` names: the one at position (Current), after
  // or before it (Next, Prior), or the first or last one (position ignored).
  // On Ok the record is in `record` and position is its place. Next past
  // the last record answers AfterLast, Prior before the first BeforeFirst.
  virtual TKrxFetchResult Read(TKrxFetchMode mode, TKrxRecordID& position, uint8_t* record) = 0;
  virtual int64_t RecordCount() = 0;
  // The bytes of BLOB field fieldNo of the record at position.
  virtual std::string ReadBlob(const TKrxRecordID& position, int fieldNo) = 0;
};

}  // namespace krx
