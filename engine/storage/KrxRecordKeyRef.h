// Record index keys. The key is one part per index column, in column order:
//     u8     NULL flag (1 = NULL, 0 = value)
//     bytes  the column value in its record encoding; the whole value when
//            the field's in-memory size is at most the column's key length
//            setting, else its first (setting + 2) bytes (a truncated part).
//            A NULL part's value bytes are zero.
// The reference is the 6-byte record ID. The full key (every part whole)
// decides between keys equal in their truncated parts; the record ID decides
// between equal keys, so every entry has its own place.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "KrxBTreeKeyRef.h"
#include "KrxFieldDef.h"
#include "KrxRecordPage.h"

namespace krx {

struct TKrxIndexColumnSpec {
  int fieldNo = 0;
  bool descending = false;
  bool caseInsensitive = false;
  int32_t keyLength = 20;
};

class TKrxRecordKeyRef : public TKrxBTreeKeyRef {
 public:
  // "Cannot index BLOB field '%s'..." for a BLOB column.
  TKrxRecordKeyRef(const TKrxFieldDefs& fields, const std::vector<TKrxIndexColumnSpec>& columns);

  size_t KeyLength() const override { return keyLength_; }
  size_t RefLength() const override { return kKrxRecordIDSize; }
  size_t FullKeyLength() const { return fullKeyLength_; }
  bool HasTruncatedParts() const { return hasTruncated_; }
  size_t ColumnCount() const { return columns_.size(); }

  // Builds the stored key (KeyLength bytes) and, when fullKey is given, the
  // full key (FullKeyLength bytes) from an in-memory record buffer.
  void BuildKey(const uint8_t* record, uint8_t* key, uint8_t* fullKey) const;
  // Builds keys from values, one per column (missing ones NULL), for
  // lookups by key values; values are converted to the column types.
  void BuildKeyFromValues(const std::vector<TKrxVariant>& values, uint8_t* key, uint8_t* fullKey) const;

  int CompareStored(const uint8_t* a, const uint8_t* b) const override;
  int CompareFull(const uint8_t* a, const uint8_t* b) const;
  // Compares only the first `parts` columns of two stored keys (prefix
  // lookups).
  int CompareStoredPrefix(const uint8_t* a, const uint8_t* b, size_t parts) const;
  int CompareFullPrefix(const uint8_t* a, const uint8_t* b, size_t parts) const;
  bool NeedsTie(const TKrxBTreeSearch& s) const override {
    return s.ref != nullptr || (hasTruncated_ && s.fullKey != nullptr);
  }
  int CompareTie(const TKrxBTreeSearch& s, const uint8_t* entryKey, const uint8_t* entryRef) const override;

  // How the full key of an entry is read back from its record: fills
  // fullKey (FullKeyLength bytes), false when the record cannot be read.
  using FullKeyReader = std::function<bool(const TKrxRecordID& id, uint8_t* fullKey)>;
  void SetFullKeyReader(FullKeyReader reader) { reader_ = std::move(reader); }

 private:
  struct Column {
    int fieldNo;
    TKrxStorageType type;
    size_t memoryOffset;
    size_t memorySize;
    size_t storedLength;  // value bytes in the stored key
    size_t storedOffset;  // of the NULL byte in the stored key
    size_t fullOffset;    // of the NULL byte in the full key
    bool descending;
    bool caseInsensitive;
  };
  int ComparePart(const Column& c, const uint8_t* a, const uint8_t* b, size_t length) const;
  int CompareParts(const uint8_t* a, const uint8_t* b, bool full, size_t parts) const;

  std::vector<Column> columns_;
  size_t keyLength_ = 0;
  size_t fullKeyLength_ = 0;
  bool hasTruncated_ = false;
  FullKeyReader reader_;
  mutable std::vector<uint8_t> entryFull_;
};

}  // namespace krx
