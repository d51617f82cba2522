#include "KrxTemporaryPageManager.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "KrxException.h"

namespace krx {

namespace {

int32_t DefaultMemoryLimit() {
  size_t pages = TKrxMemoryManager::Instance().AvailableMemory() / 10 / TKrxTemporaryPageManager::kPageSize;
  return static_cast<int32_t>(std::min<size_t>(pages, 0x7FFFFFFF));
}

}  // namespace

TKrxTemporaryPageManager::TKrxTemporaryPageManager(bool inMemory)
    : TKrxTemporaryPageManager(inMemory, DefaultMemoryLimit()) {}

TKrxTemporaryPageManager::TKrxTemporaryPageManager(bool inMemory, int32_t memoryPageLimit)
    : TKrxPageManager(kPageSize, 0), inMemory_(inMemory), memoryLimit_(memoryPageLimit) {}

TKrxTemporaryPageManager::~TKrxTemporaryPageManager() {
  DropAllPages(false);
  if (file_.IsOpen()) {
    try {
      file_.CloseFile();
    } catch (...) {
    }
  }
  if (!fileName_.empty()) ::unlink(fileName_.c_str());
}

bool TKrxTemporaryPageManager::IsPageInUse(int32_t pageNo) const {
  return pageNo >= 0 && pageNo < static_cast<int32_t>(inUse_.size()) && inUse_[static_cast<size_t>(pageNo)];
}

void TKrxTemporaryPageManager::CheckInUse(int32_t pageNo) const {
  if (!IsPageInUse(pageNo)) throw EKrxException(KrxError::NotReleasedPageAllocated);
}

void TKrxTemporaryPageManager::EnsureFile(int64_t neededSize) {
  if (!file_.IsOpen()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "KrxXXXXXX").string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) throw EKrxException(KrxError::CannotCreateFile, pattern, errno, std::strerror(errno));
    ::close(fd);
    fileName_ = pattern;
    file_.OpenFile(fileName_, TKrxDatabaseFile::kAccessReadWrite, TKrxDatabaseFile::kShareNone);
    fileSize_ = 0;
  }
  if (neededSize > fileSize_) {
    fileSize_ = neededSize + neededSize / 2;
    file_.SetSize(fileSize_);
  }
}

int32_t TKrxTemporaryPageManager::AllocatePageNo() {
  int32_t pageNo = 0;
  while (pageNo < static_cast<int32_t>(inUse_.size()) && inUse_[static_cast<size_t>(pageNo)]) ++pageNo;
  if (InMemory(pageNo)) {
    memory_.TakePageNo(pageNo);
  } else {
    EnsureFile((static_cast<int64_t>(pageNo) + 1) * static_cast<int64_t>(kPageSize));
  }
  if (pageNo >= static_cast<int32_t>(inUse_.size())) inUse_.resize(static_cast<size_t>(pageNo) + 1, false);
  inUse_[static_cast<size_t>(pageNo)] = true;
  return pageNo;
}

void TKrxTemporaryPageManager::FreePageNo(int32_t pageNo) {
  CheckInUse(pageNo);
  if (InMemory(pageNo)) memory_.FreePageNo(pageNo);
  inUse_[static_cast<size_t>(pageNo)] = false;
}

std::unique_ptr<TKrxPage> TKrxTemporaryPageManager::NewPage(int32_t pageNo) {
  CheckInUse(pageNo);
  if (InMemory(pageNo)) return std::make_unique<TKrxPage>(this, pageNo, memory_.Block(pageNo), kPageSize, 0);
  return std::make_unique<TKrxPage>(this, pageNo, kPageSize, 0);
}

void TKrxTemporaryPageManager::ReadPageFromStore(TKrxPage& page) {
  CheckInUse(page.PageNo());
  if (InMemory(page.PageNo())) return;  // the page works on its block
  if (!file_.ReadBuffer(page.Buffer(), static_cast<int64_t>(page.PageNo()) * static_cast<int64_t>(kPageSize),
                        static_cast<int64_t>(kPageSize)))
    std::memset(page.Buffer(), 0, kPageSize);
}

void TKrxTemporaryPageManager::WritePageToStore(TKrxPage& page) {
  CheckInUse(page.PageNo());
  if (InMemory(page.PageNo())) return;
  int64_t position = static_cast<int64_t>(page.PageNo()) * static_cast<int64_t>(kPageSize);
  EnsureFile(position + static_cast<int64_t>(kPageSize));
  file_.WriteBuffer(page.Buffer(), position, static_cast<int64_t>(kPageSize));
}

}  // namespace krx
