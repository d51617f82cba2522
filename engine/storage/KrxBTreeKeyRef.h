// What a B-tree knows about its keys: the stored key length K, the
// reference length V of leaf entries, and the order of entries.
//
// Entries are ordered by their stored keys; a key object may refine equal
// stored keys (full values of truncated parts, then the reference) so that
// every entry of a tree has its own place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "KrxBytes.h"

namespace krx {

// A key to look for or to insert: its stored form, optionally its full form
// (every part with its whole value) and optionally the reference (record ID)
// that makes it unique. Without a reference, equal keys compare equal.
struct TKrxBTreeSearch {
  const uint8_t* key = nullptr;
  const uint8_t* fullKey = nullptr;
  const uint8_t* ref = nullptr;
};

class TKrxBTreeKeyRef {
 public:
  virtual ~TKrxBTreeKeyRef() = default;
  virtual size_t KeyLength() const = 0;
  virtual size_t RefLength() const = 0;
  // Three-way order of two stored keys.
  virtual int CompareStored(const uint8_t* a, const uint8_t* b) const = 0;
  // Whether equal stored keys need the tie-break for this search.
  virtual bool NeedsTie(const TKrxBTreeSearch& s) const { return s.ref != nullptr; }
  // Order of a search against a leaf entry whose stored key equals the
  // search's: full values, then references.
  virtual int CompareTie(const TKrxBTreeSearch& s, const uint8_t* entryKey, const uint8_t* entryRef) const = 0;
};

// Page index keys: the page number as i32 (K = 4), a u16 count (V = 2);
// entries compare by page number as signed integers.
class TKrxPageKeyRef : public TKrxBTreeKeyRef {
 public:
  size_t KeyLength() const override { return 4; }
  size_t RefLength() const override { return 2; }
  int CompareStored(const uint8_t* a, const uint8_t* b) const override {
    int32_t x = GetI32(a, 0), y = GetI32(b, 0);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  bool NeedsTie(const TKrxBTreeSearch&) const override { return false; }
  int CompareTie(const TKrxBTreeSearch&, const uint8_t*, const uint8_t*) const override { return 0; }
};

}  // namespace krx
