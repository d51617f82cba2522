// The engine's memory manager. Every block carries guards so that a write
// past its end or a foreign pointer is caught when the block is freed:
//     header  : u32 size, u8 allocation method, u32 guard   (9 bytes)
//     payload : size bytes (the pointer handed out)
//     trailer : u32 guard                                   (4 bytes)
// Small blocks come from the C heap, mid-sized ones from the global heap
// (operator new), large ones straight from the kernel's page allocator.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace krx {

class TKrxMemoryManager {
 public:
  static constexpr size_t kHeaderSize = 9;
  static constexpr size_t kTrailerSize = 4;
  static constexpr size_t kGlobalHeapThreshold = 64 * 1024;
  static constexpr size_t kPageAllocatorThreshold = 1024 * 1024;

  // The one manager of the process.
  static TKrxMemoryManager& Instance();

  // A block of size bytes (not initialised). Raises "Cannot allocate 0
  // bytes" for 0 and "Memory limit exceeded (Limit = %d bytes)" past the
  // limit.
  uint8_t* Allocate(size_t size);
  // Like Allocate, zero-filled.
  uint8_t* AllocateZeroed(size_t size);
  // Frees a block of Allocate; raises "Invalid pointer" when the header
  // guard is wrong and "Memory overrun detected" when the trailer is.
  // nullptr is ignored.
  void Free(uint8_t* block);
  // Size of a block of Allocate.
  static size_t BlockSize(const uint8_t* block);

  // 0 = no limit.
  void SetLimit(size_t bytes) { limit_ = bytes; }
  size_t Limit() const { return limit_; }
  size_t AllocatedBytes() const { return allocated_; }

  // Physical memory available now, capped by the limit when one is set.
  size_t AvailableMemory() const;

 private:
  std::atomic<size_t> allocated_{0};
  size_t limit_ = 0;
};

// Deleter so that blocks of the manager can live in a std::unique_ptr.
struct TKrxMemoryBlockDeleter {
  void operator()(uint8_t* block) const { TKrxMemoryManager::Instance().Free(block); }
};
using TKrxMemoryBlock = std::unique_ptr<uint8_t[], TKrxMemoryBlockDeleter>;

inline TKrxMemoryBlock KrxAllocateBlock(size_t size) {
  return TKrxMemoryBlock(TKrxMemoryManager::Instance().AllocateZeroed(size));
}

}  // namespace krx
