// A position in a B-tree: for every level from the root down to a leaf the
// page, the entry number and the entry count of that page.
#pragma once

#include <array>
#include <cstdint>

#include "KrxException.h"

namespace krx {

struct TKrxKeyPathLevel {
  int32_t pageNo = -1;
  int32_t entry = 0;
  int32_t count = 0;
};

struct TKrxKeyPath {
  static constexpr int kMaxLevels = 32;
  std::array<TKrxKeyPathLevel, kMaxLevels> levels{};
  int levelCount = 0;
  const void* index = nullptr;  // the tree the path belongs to

  bool IsValid() const {
    return levelCount > 0 && levels[levelCount - 1].entry >= 0 &&
           levels[levelCount - 1].entry < levels[levelCount - 1].count;
  }
  TKrxKeyPathLevel& Leaf() { return levels[levelCount - 1]; }
  const TKrxKeyPathLevel& Leaf() const { return levels[levelCount - 1]; }

  // The fraction of the tree before the position:
  // sum over levels of entry / product of the counts down to that level.
  double Fraction() const {
    double fraction = 0, scale = 1;
    for (int i = 0; i < levelCount; ++i) {
      if (levels[i].count <= 0) break;
      scale /= levels[i].count;
      fraction += levels[i].entry * scale;
    }
    return fraction;
  }

  // Compares two paths of the same tree level by level ("Invalid index key
  // path" when they belong to different trees or the pages differ where the
  // entries are equal).
  static int Compare(const TKrxKeyPath& a, const TKrxKeyPath& b) {
    if (a.index != b.index || a.levelCount != b.levelCount) throw EKrxException(KrxError::InvalidIndexKeyPath);
    for (int i = 0; i < a.levelCount; ++i) {
      if (a.levels[i].pageNo != b.levels[i].pageNo) throw EKrxException(KrxError::InvalidIndexKeyPath);
      if (a.levels[i].entry != b.levels[i].entry) return a.levels[i].entry < b.levels[i].entry ? -1 : 1;
    }
    return 0;
  }
};

}  // namespace krx
