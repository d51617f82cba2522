#include "KrxPPMSubAllocator.h"

#include <new>

namespace krx {

// A free block while gluing: stamp u16 (0 = free), units u16, next u32,
// prev u32. A free-list entry keeps only the next reference at offset 0.
namespace {
constexpr uint32_t kNodeStamp = 0;
constexpr uint32_t kNodeUnits = 2;
constexpr uint32_t kNodeNext = 4;
constexpr uint32_t kNodePrev = 8;
}  // namespace

TKrxPPMSubAllocator::TKrxPPMSubAllocator() {
  unsigned k = 0;
  for (unsigned i = 0; i < kIndexCount; ++i) {
    unsigned step = i >= 12 ? 4 : (i >> 2) + 1;
    do {
      unitsToIndex_[k++] = static_cast<uint8_t>(i);
    } while (--step);
    indexToUnits_[i] = static_cast<uint8_t>(k);
  }
}

bool TKrxPPMSubAllocator::Start(uint32_t size) {
  alignOffset_ = 4 - (size & 3);
  // The memory is written before it is read; a model of 100 MB then costs
  // only the pages it touches.
  base_.reset(new (std::nothrow) uint8_t[alignOffset_ + size + kUnitSize]);
  if (!base_) return false;
  size_ = size;
  Restart();
  return true;
}

void TKrxPPMSubAllocator::Restart() {
  freeList_.fill(0);
  text_ = alignOffset_;
  hiUnit_ = text_ + size_;
  loUnit_ = unitsStart_ = hiUnit_ - size_ / 8 / kUnitSize * 7 * kUnitSize;
  glueCount_ = 0;
}

void TKrxPPMSubAllocator::InsertNode(uint32_t node, unsigned index) {
  PutU32At(node, freeList_[index]);
  freeList_[index] = node;
}

uint32_t TKrxPPMSubAllocator::RemoveNode(unsigned index) {
  uint32_t node = freeList_[index];
  freeList_[index] = GetU32At(node);
  return node;
}

void TKrxPPMSubAllocator::SplitBlock(uint32_t block, unsigned oldIndex, unsigned newIndex) {
  unsigned units = IndexToUnits(oldIndex) - IndexToUnits(newIndex);
  uint32_t rest = block + IndexToUnits(newIndex) * kUnitSize;
  unsigned i = UnitsToIndex(units);
  if (IndexToUnits(i) != units) {
    unsigned k = IndexToUnits(--i);
    InsertNode(rest + k * kUnitSize, units - k - 1);
  }
  InsertNode(rest, i);
}

void TKrxPPMSubAllocator::GlueFreeBlocks() {
  // The spare unit behind the end serves as list head and end stamp.
  const uint32_t head = alignOffset_ + size_;
  uint32_t n = head;
  glueCount_ = 255;

  // One doubly linked list of all free blocks.
  for (unsigned i = 0; i < kIndexCount; ++i) {
    const uint16_t units = IndexToUnits(i);
    uint32_t next = freeList_[i];
    freeList_[i] = 0;
    while (next != 0) {
      const uint32_t node = next;
      PutU32At(node + kNodeNext, n);
      PutU32At(n + kNodePrev, node);
      n = node;
      next = GetU32At(node);
      PutU16At(node + kNodeStamp, 0);
      PutU16At(node + kNodeUnits, units);
    }
  }
  PutU16At(head + kNodeStamp, 1);
  PutU32At(head + kNodeNext, n);
  PutU32At(n + kNodePrev, head);
  if (loUnit_ != hiUnit_) PutU16At(loUnit_ + kNodeStamp, 1);

  // Merge each free block with the free blocks right behind it. Blocks in
  // use never start with a zero u16 (a context's stat count, a state's
  // symbol and non-zero frequency), so the stamp tells them apart.
  while (n != head) {
    uint32_t units = GetU16At(n + kNodeUnits);
    for (;;) {
      const uint32_t node2 = n + units * kUnitSize;
      units += GetU16At(node2 + kNodeUnits);
      if (GetU16At(node2 + kNodeStamp) != 0 || units >= 0x10000) break;
      const uint32_t prev2 = GetU32At(node2 + kNodePrev);
      const uint32_t next2 = GetU32At(node2 + kNodeNext);
      PutU32At(prev2 + kNodeNext, next2);
      PutU32At(next2 + kNodePrev, prev2);
      PutU16At(n + kNodeUnits, static_cast<uint16_t>(units));
    }
    n = GetU32At(n + kNodeNext);
  }

  // Back into the free lists, cut to the size classes.
  for (n = GetU32At(head + kNodeNext); n != head;) {
    const uint32_t next = GetU32At(n + kNodeNext);
    uint32_t node = n;
    unsigned units = GetU16At(node + kNodeUnits);
    for (; units > 128; units -= 128, node += 128 * kUnitSize) InsertNode(node, kIndexCount - 1);
    unsigned i = UnitsToIndex(units);
    if (IndexToUnits(i) != units) {
      unsigned k = IndexToUnits(--i);
      InsertNode(node + k * kUnitSize, units - k - 1);
    }
    InsertNode(node, i);
    n = next;
  }
}

uint32_t TKrxPPMSubAllocator::AllocUnitsRare(unsigned index) {
  if (glueCount_ == 0) {
    GlueFreeBlocks();
    if (freeList_[index] != 0) return RemoveNode(index);
  }
  unsigned i = index;
  do {
    if (++i == kIndexCount) {
      const uint32_t bytes = IndexToUnits(index) * kUnitSize;
      --glueCount_;
      if (unitsStart_ - text_ > bytes) {
        unitsStart_ -= bytes;
        return unitsStart_;
      }
      return 0;
    }
  } while (freeList_[i] == 0);
  uint32_t block = RemoveNode(i);
  SplitBlock(block, i, index);
  return block;
}

uint32_t TKrxPPMSubAllocator::AllocUnits(unsigned index) {
  if (freeList_[index] != 0) return RemoveNode(index);
  const uint32_t bytes = IndexToUnits(index) * kUnitSize;
  if (bytes <= hiUnit_ - loUnit_) {
    uint32_t block = loUnit_;
    loUnit_ += bytes;
    return block;
  }
  return AllocUnitsRare(index);
}

uint32_t TKrxPPMSubAllocator::AllocContext() {
  if (hiUnit_ != loUnit_) return hiUnit_ -= kUnitSize;
  if (freeList_[0] != 0) return RemoveNode(0);
  return AllocUnitsRare(0);
}

uint32_t TKrxPPMSubAllocator::ExpandUnits(uint32_t block, unsigned oldUnits) {
  const unsigned i = UnitsToIndex(oldUnits);
  if (i == UnitsToIndex(oldUnits + 1)) return block;
  uint32_t moved = AllocUnits(i + 1);
  if (moved == 0) return 0;
  std::memmove(base_.get() + moved, base_.get() + block, oldUnits * kUnitSize);
  InsertNode(block, i);
  return moved;
}

uint32_t TKrxPPMSubAllocator::ShrinkUnits(uint32_t block, unsigned oldUnits, unsigned newUnits) {
  const unsigned i0 = UnitsToIndex(oldUnits);
  const unsigned i1 = UnitsToIndex(newUnits);
  if (i0 == i1) return block;
  if (freeList_[i1] != 0) {
    uint32_t moved = RemoveNode(i1);
    std::memmove(base_.get() + moved, base_.get() + block, newUnits * kUnitSize);
    InsertNode(block, i0);
    return moved;
  }
  SplitBlock(block, i0, i1);
  return block;
}

}  // namespace krx
