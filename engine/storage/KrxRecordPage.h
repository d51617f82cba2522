// Record pages (page type 10) and record IDs.
//
// The page header's owner field (offset 22) holds the owning table ID. The
// data part holds
//     slot bitmap : ceil(N/8) bytes, bit s set = slot s occupied (lowest bit
//                   of byte s div 8 first)
//     slots       : N × R bytes, R = the table's disk record size
// with N = trunc((PageDataSize - 1) / (R + 0.125)).
//
// A record ID is {i32 page number, u16 slot}; IDs compare by page, then
// slot. On index pages it is stored as those 6 bytes, little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

#include "KrxBytes.h"

namespace krx {

struct TKrxRecordID {
  int32_t pageNo = -1;
  uint16_t slot = 0;

  bool IsValid() const { return pageNo >= 0; }
  friend bool operator==(const TKrxRecordID&, const TKrxRecordID&) = default;
  friend bool operator<(const TKrxRecordID& a, const TKrxRecordID& b) {
    return a.pageNo != b.pageNo ? a.pageNo < b.pageNo : a.slot < b.slot;
  }
};
inline constexpr size_t kKrxRecordIDSize = 6;

inline int KrxCompareRecordIDs(const TKrxRecordID& a, const TKrxRecordID& b) {
  if (a.pageNo != b.pageNo) return a.pageNo < b.pageNo ? -1 : 1;
  if (a.slot != b.slot) return a.slot < b.slot ? -1 : 1;
  return 0;
}
inline void KrxPutRecordID(uint8_t* p, size_t off, const TKrxRecordID& id) {
  PutI32(p, off, id.pageNo);
  PutU16(p, off + 4, id.slot);
}
inline TKrxRecordID KrxGetRecordID(const uint8_t* p, size_t off) { return {GetI32(p, off), GetU16(p, off + 4)}; }

// N for a page data size and a disk record size (0: the record does not fit).
inline int KrxRecordsPerPage(size_t pageDataSize, size_t recordSize) {
  if (pageDataSize < 1) return 0;
  // trunc((D - 1) / (R + 1/8)) computed exactly as trunc(8(D - 1) / (8R + 1)).
  return static_cast<int>((8 * (pageDataSize - 1)) / (8 * recordSize + 1));
}

// A view of a record page's data part.
class TKrxRecordPageView {
 public:
  TKrxRecordPageView(uint8_t* data, int recordsPerPage, size_t recordSize)
      : data_(data), n_(recordsPerPage), r_(recordSize) {}

  int Capacity() const { return n_; }
  size_t BitmapSize() const { return static_cast<size_t>(n_ + 7) / 8; }
  bool IsOccupied(int slot) const { return (data_[slot / 8] >> (slot % 8)) & 1; }
  void SetOccupied(int slot, bool occupied) {
    uint8_t bit = static_cast<uint8_t>(1u << (slot % 8));
    if (occupied) data_[slot / 8] |= bit;
    else data_[slot / 8] = static_cast<uint8_t>(data_[slot / 8] & ~bit);
  }
  uint8_t* Slot(int slot) { return data_ + BitmapSize() + static_cast<size_t>(slot) * r_; }
  const uint8_t* Slot(int slot) const { return data_ + BitmapSize() + static_cast<size_t>(slot) * r_; }

  // The lowest free slot, -1 when full.
  int FirstFree() const {
    for (size_t b = 0; b < BitmapSize(); ++b) {
      if (data_[b] == 0xFF) continue;
      for (int bit = 0; bit < 8; ++bit) {
        int s = static_cast<int>(b * 8) + bit;
        if (s >= n_) return -1;
        if (!((data_[b] >> bit) & 1)) return s;
      }
    }
    return -1;
  }
  // Next occupied slot after `slot` (-1 for the first), -1 when none.
  int NextOccupied(int slot) const {
    for (int s = slot + 1; s < n_; ++s) {
      if ((s % 8) == 0 && data_[s / 8] == 0) {
        s += 7;
        continue;
      }
      if (IsOccupied(s)) return s;
    }
    return -1;
  }
  // Prior occupied slot before `slot` (N for the last), -1 when none.
  int PriorOccupied(int slot) const {
    for (int s = slot - 1; s >= 0; --s)
      if (IsOccupied(s)) return s;
    return -1;
  }
  int OccupiedCount() const {
    int count = 0;
    for (int s = 0; s < n_; ++s) count += IsOccupied(s);
    return count;
  }
  // Occurrence number (0-based) of an occupied slot among the occupied ones.
  int Occurrence(int slot) const {
    int count = 0;
    for (int s = 0; s < slot; ++s) count += IsOccupied(s);
    return count;
  }
  // The slot of the k-th (0-based) occupied slot, -1 when there is none.
  int SlotOfOccurrence(int k) const {
    for (int s = 0; s < n_; ++s)
      if (IsOccupied(s) && k-- == 0) return s;
    return -1;
  }

 private:
  uint8_t* data_;
  int n_;
  size_t r_;
};

}  // namespace krx
