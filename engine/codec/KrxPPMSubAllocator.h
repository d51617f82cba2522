// The memory of one PPM model: a single block of the model's size, handed
// out in units of 12 bytes.
//
//     [start ........ text ->      <- units start ... lo unit   hi unit ... end][head]
//      symbols seen so far grow     state lists and contexts    contexts from
//      upwards from the start       from lo unit upwards        hi unit down
//
// Freed blocks go to 38 free lists by size (1, 2, 3, 4, 6, 8, ... 128 units);
// when the lists run dry, neighbouring free blocks are glued together. A
// reference is a 32-bit offset into the block; 0 means none.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace krx {

class TKrxPPMSubAllocator {
 public:
  static constexpr uint32_t kUnitSize = 12;
  static constexpr unsigned kIndexCount = 38;

  TKrxPPMSubAllocator();

  // Takes size bytes of memory; false when they cannot be had.
  bool Start(uint32_t size);
  // Forgets everything: empty text, empty unit area, empty free lists.
  void Restart();

  uint8_t* Base() { return base_.get(); }
  const uint8_t* Base() const { return base_.get(); }

  // Units of size class index (U2I/I2U translate).
  unsigned IndexToUnits(unsigned index) const { return indexToUnits_[index]; }
  unsigned UnitsToIndex(unsigned units) const { return unitsToIndex_[units - 1]; }

  // A block of the size class, or 0 when memory is exhausted.
  uint32_t AllocUnits(unsigned index);
  // One unit for a context: from the top of the free gap, the free list or
  // the rare path; 0 when memory is exhausted.
  uint32_t AllocContext();
  // Moves a block of oldUnits to one of oldUnits + 1 units when the size
  // class changes; 0 when memory is exhausted (the old block stays).
  uint32_t ExpandUnits(uint32_t block, unsigned oldUnits);
  // Returns the tail of a block that shrinks from oldUnits to newUnits.
  uint32_t ShrinkUnits(uint32_t block, unsigned oldUnits, unsigned newUnits);
  void FreeUnits(uint32_t block, unsigned units) { InsertNode(block, UnitsToIndex(units)); }

  // The text area: symbols written one after the other from the start.
  uint32_t Text() const { return text_; }
  void PutText(uint8_t symbol) { base_[text_++] = symbol; }
  void UnputText() { --text_; }
  uint32_t UnitsStart() const { return unitsStart_; }

 private:
  void InsertNode(uint32_t node, unsigned index);
  uint32_t RemoveNode(unsigned index);
  void SplitBlock(uint32_t block, unsigned oldIndex, unsigned newIndex);
  void GlueFreeBlocks();
  uint32_t AllocUnitsRare(unsigned index);

  uint32_t GetU32At(uint32_t offset) const {
    uint32_t v;
    std::memcpy(&v, base_.get() + offset, 4);
    return v;
  }
  void PutU32At(uint32_t offset, uint32_t v) { std::memcpy(base_.get() + offset, &v, 4); }
  uint16_t GetU16At(uint32_t offset) const {
    uint16_t v;
    std::memcpy(&v, base_.get() + offset, 2);
    return v;
  }
  void PutU16At(uint32_t offset, uint16_t v) { std::memcpy(base_.get() + offset, &v, 2); }

  std::unique_ptr<uint8_t[]> base_;
  uint32_t size_ = 0;
  uint32_t alignOffset_ = 0;
  uint32_t text_ = 0;
  uint32_t unitsStart_ = 0;
  uint32_t loUnit_ = 0;
  uint32_t hiUnit_ = 0;
  uint32_t glueCount_ = 0;
  std::array<uint32_t, kIndexCount> freeList_{};
  std::array<uint8_t, kIndexCount> indexToUnits_{};
  std::array<uint8_t, 128> unitsToIndex_{};
};

}  // namespace krx
