#include "KrxMemoryManager.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "KrxBytes.h"
#include "KrxException.h"

namespace krx {

namespace {

constexpr uint32_t kHeadGuard = 0x4B52584Du;  // "MXRK"
constexpr uint32_t kTailGuard = 0x454E4421u;
enum Method : uint8_t { kHeap = 1, kGlobalHeap = 2, kPageAllocator = 3 };

}  // namespace

TKrxMemoryManager& TKrxMemoryManager::Instance() {
  static TKrxMemoryManager manager;
  return manager;
}

uint8_t* TKrxMemoryManager::Allocate(size_t size) {
  if (size == 0) throw EKrxException(KrxError::CannotAllocateZeroBytes);
  if (size > 0xFFFFFFFFu - kHeaderSize - kTrailerSize) throw std::bad_alloc();
  if (limit_ != 0 && allocated_.load() + size > limit_)
    throw EKrxException(KrxError::MemoryLimitExceeded, static_cast<int64_t>(limit_));
  size_t total = size + kHeaderSize + kTrailerSize;
  uint8_t* raw = nullptr;
  Method method;
  if (size >= kPageAllocatorThreshold) {
    method = kPageAllocator;
    void* p = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    raw = static_cast<uint8_t*>(p);
  } else if (size >= kGlobalHeapThreshold) {
    method = kGlobalHeap;
    raw = static_cast<uint8_t*>(::operator new(total));
  } else {
    method = kHeap;
    raw = static_cast<uint8_t*>(std::malloc(total));
    if (!raw) throw std::bad_alloc();
  }
  PutU32(raw, 0, static_cast<uint32_t>(size));
  PutU8(raw, 4, method);
  PutU32(raw, 5, kHeadGuard);
  PutU32(raw, kHeaderSize + size, kTailGuard);
  allocated_ += size;
  return raw + kHeaderSize;
}

uint8_t* TKrxMemoryManager::AllocateZeroed(size_t size) {
  uint8_t* block = Allocate(size);
  std::memset(block, 0, size);
  return block;
}

size_t TKrxMemoryManager::BlockSize(const uint8_t* block) { return GetU32(block - kHeaderSize, 0); }

void TKrxMemoryManager::Free(uint8_t* block) {
  if (block == nullptr) return;
  uint8_t* raw = block - kHeaderSize;
  uint8_t method = GetU8(raw, 4);
  if (GetU32(raw, 5) != kHeadGuard || method < kHeap || method > kPageAllocator)
    throw EKrxException(KrxError::InvalidPointer);
  size_t size = GetU32(raw, 0);
  if (GetU32(raw, kHeaderSize + size) != kTailGuard) throw EKrxException(KrxError::MemoryOverrun);
  PutU32(raw, 5, 0);  // a second free of the same block is caught
  allocated_ -= size;
  size_t total = size + kHeaderSize + kTrailerSize;
  switch (method) {
    case kPageAllocator:
      munmap(raw, total);
      break;
    case kGlobalHeap:
      ::operator delete(raw);
      break;
    default:
      std::free(raw);
      break;
  }
}

size_t TKrxMemoryManager::AvailableMemory() const {
  long pages = sysconf(_SC_AVPHYS_PAGES);
  long pageSize = sysconf(_SC_PAGESIZE);
  size_t available = (pages > 0 && pageSize > 0) ? static_cast<size_t>(pages) * static_cast<size_t>(pageSize)
                                                 : size_t{256} * 1024 * 1024;
  if (limit_ != 0 && available > limit_) available = limit_;
  return available;
}

}  // namespace krx
