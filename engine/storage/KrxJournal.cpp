// The journal file, all little-endian, P = page size, H = header image size:
//
//   header record, 44 + H bytes
//      0 16 chars "KRXJOURNALFORMT1"
//     16 u16 P                       18 u16 H (76, the main header)
//     20 i64 image start of the database in its file
//     28 i64 size of the database file before the commit, in bytes
//     36 i32 N, the number of page records that follow
//     40 H bytes the main header as it was on disk
//     40+H u32 CRC-32 of bytes 0 .. 39+H
//   page record, N times, P + 8 bytes
//      0 i32 page number
//      4 P bytes the page as it was on disk (enciphered where the file is)
//    4+P u32 CRC-32 of bytes 0 .. 3+P
//   closing record, 12 bytes
//      0 4 chars "JEND"               4 i32 N again
//      8 u32 CRC-32 of bytes 0 .. 7
//
// A journal is complete when its length is exactly that of these records and
// the closing record is present; it is sound when every CRC holds too.
#include "KrxJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "KrxBytes.h"
#include "KrxCRC32.h"
#include "KrxException.h"

namespace krx {

namespace {

constexpr char kSignature[] = "KRXJOURNALFORMT1";
constexpr size_t kSignatureSize = 16;
constexpr size_t kHeaderFixedSize = 40;
constexpr char kClosingMarker[] = "JEND";
constexpr size_t kClosingSize = 12;

std::string ErrnoText(int error) { return std::strerror(error); }

bool ReadWholeFile(const std::string& name, std::vector<uint8_t>& bytes, int& error) {
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return false;
  }
  struct stat st{};
  if (::fstat(fd, &st) != 0) {
    error = errno;
    ::close(fd);
    return false;
  }
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t got = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = errno;
      ::close(fd);
      return false;
    }
    if (got == 0) break;  // shrank meanwhile: what is there counts
    done += static_cast<size_t>(got);
  }
  bytes.resize(done);
  ::close(fd);
  return true;
}

bool CrcHolds(const uint8_t* bytes, size_t count) {
  return KrxCRC32(0, bytes, count) == GetU32(bytes, count);
}

}  // namespace

namespace KrxJournal {

std::string NameFor(const std::string& databaseFileName) { return databaseFileName + "-journal"; }

bool Exists(const std::string& journalName) {
  struct stat st{};
  return ::lstat(journalName.c_str(), &st) == 0;
}

void SyncDirectoryOf(const std::string& fileName) {
  std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
  if (folder.empty()) folder = ".";
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // a folder that cannot be opened cannot be synced either
  ::fsync(fd);
  ::close(fd);
}

TKrxJournalState Read(const std::string& journalName, uint16_t pageSize, int64_t imageStart,
                      TKrxJournalContents& contents) {
  contents = TKrxJournalContents{};
  std::vector<uint8_t> bytes;
  int error = 0;
  if (!ReadWholeFile(journalName, bytes, error)) {
    if (error == ENOENT) return TKrxJournalState::Absent;
    throw EKrxException(KrxError::JournalCannotRead, journalName, ErrnoText(error));
  }
  // Cut off inside the signature: written by us and interrupted at once.
  if (bytes.empty()) return TKrxJournalState::Incomplete;
  if (bytes.size() < kSignatureSize)
    return std::memcmp(bytes.data(), kSignature, bytes.size()) == 0 ? TKrxJournalState::Incomplete
                                                                     : TKrxJournalState::OtherFile;
  if (std::memcmp(bytes.data(), kSignature, kSignatureSize) != 0) return TKrxJournalState::OtherFile;
  if (bytes.size() < kHeaderFixedSize) return TKrxJournalState::Incomplete;

  const uint8_t* head = bytes.data();
  uint16_t journalPageSize = GetU16(head, 16);
  size_t headerImageSize = GetU16(head, 18);
  int64_t journalImageStart = GetI64(head, 20);
  int64_t oldFileSize = GetI64(head, 28);
  int32_t pageCount = GetI32(head, 36);
  size_t headerRecordSize = kHeaderFixedSize + headerImageSize + 4;
  bool headerSound = bytes.size() >= headerRecordSize && CrcHolds(head, headerRecordSize - 4);
  if (headerSound && (journalPageSize != pageSize || journalImageStart != imageStart))
    return TKrxJournalState::OtherFile;
  if (!headerSound) {
    // Without a sound header its sizes cannot be trusted: a short file is
    // one cut off, a long one is damaged.
    return bytes.size() < headerRecordSize ? TKrxJournalState::Incomplete : TKrxJournalState::Damaged;
  }
  if (pageCount < 0) return TKrxJournalState::Damaged;

  size_t pageRecordSize = static_cast<size_t>(pageSize) + 8;
  size_t expected = headerRecordSize + static_cast<size_t>(pageCount) * pageRecordSize + kClosingSize;
  if (bytes.size() < expected) return TKrxJournalState::Incomplete;
  if (bytes.size() > expected) return TKrxJournalState::Damaged;
  const uint8_t* closing = bytes.data() + expected - kClosingSize;
  if (std::memcmp(closing, kClosingMarker, 4) != 0 || GetI32(closing, 4) != pageCount ||
      !CrcHolds(closing, kClosingSize - 4))
    return TKrxJournalState::Damaged;

  contents.pageSize = journalPageSize;
  contents.imageStart = journalImageStart;
  contents.oldFileSize = oldFileSize;
  contents.headerImage.assign(head + kHeaderFixedSize, head + kHeaderFixedSize + headerImageSize);
  const uint8_t* record = bytes.data() + headerRecordSize;
  for (int32_t i = 0; i < pageCount; ++i, record += pageRecordSize) {
    if (!CrcHolds(record, pageRecordSize - 4)) {
      contents = TKrxJournalContents{};
      return TKrxJournalState::Damaged;
    }
    int32_t pageNo = GetI32(record, 0);
    contents.pages[pageNo].assign(record + 4, record + 4 + pageSize);
  }
  return TKrxJournalState::Complete;
}

void Remove(const std::string& journalName, bool flush) {
  if (::unlink(journalName.c_str()) != 0 && errno != ENOENT)
    throw EKrxException(KrxError::JournalCannotDelete, journalName, ErrnoText(errno));
  if (flush) SyncDirectoryOf(journalName);
}

}  // namespace KrxJournal

TKrxJournalWriter::TKrxJournalWriter(std::string journalName, const TKrxCommitStepHook* hook)
    : name_(std::move(journalName)), hook_(hook) {}

TKrxJournalWriter::~TKrxJournalWriter() { Close(); }

void TKrxJournalWriter::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void TKrxJournalWriter::WriteRecord(const uint8_t* bytes, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t put = ::write(fd_, bytes + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw EKrxException(KrxError::JournalCannotWrite, name_, ErrnoText(put < 0 ? errno : ENOSPC));
    done += static_cast<size_t>(put);
  }
  ++records_;
  if (hook_ != nullptr && *hook_) (*hook_)(TKrxCommitStep::JournalRecordWritten, records_);
}

void TKrxJournalWriter::Begin(uint16_t pageSize, int64_t imageStart, int64_t oldFileSize, int32_t pageCount,
                              const uint8_t* headerImage, size_t headerImageSize) {
  // O_EXCL: a journal already there belongs to a commit not yet played back
  // and must never be overwritten.
  fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    if (errno == EEXIST) throw EKrxException(KrxError::JournalAlreadyExists, name_);
    throw EKrxException(KrxError::JournalCannotWrite, name_, ErrnoText(errno));
  }
  pageSize_ = pageSize;
  pageCount_ = pageCount;
  pagesWritten_ = 0;
  records_ = 0;
  record_.assign(kHeaderFixedSize + headerImageSize + 4, 0);
  std::memcpy(record_.data(), kSignature, kSignatureSize);
  PutU16(record_.data(), 16, pageSize);
  PutU16(record_.data(), 18, static_cast<uint16_t>(headerImageSize));
  PutI64(record_.data(), 20, imageStart);
  PutI64(record_.data(), 28, oldFileSize);
  PutI32(record_.data(), 36, pageCount);
  std::memcpy(record_.data() + kHeaderFixedSize, headerImage, headerImageSize);
  size_t crcAt = kHeaderFixedSize + headerImageSize;
  PutU32(record_.data(), crcAt, KrxCRC32(0, record_.data(), crcAt));
  WriteRecord(record_.data(), record_.size());
}

void TKrxJournalWriter::AddPage(int32_t pageNo, const uint8_t* image) {
  if (pagesWritten_ >= pageCount_) throw EKrxException(KrxError::JournalCannotWrite, name_, "more pages than announced");
  record_.resize(static_cast<size_t>(pageSize_) + 8);
  PutI32(record_.data(), 0, pageNo);
  std::memcpy(record_.data() + 4, image, pageSize_);
  PutU32(record_.data(), 4 + pageSize_, KrxCRC32(0, record_.data(), 4 + static_cast<size_t>(pageSize_)));
  WriteRecord(record_.data(), record_.size());
  ++pagesWritten_;
}

void TKrxJournalWriter::Complete(bool flush) {
  if (pagesWritten_ != pageCount_) throw EKrxException(KrxError::JournalCannotWrite, name_, "fewer pages than announced");
  uint8_t closing[kClosingSize];
  std::memcpy(closing, kClosingMarker, 4);
  PutI32(closing, 4, pageCount_);
  PutU32(closing, 8, KrxCRC32(0, closing, 8));
  WriteRecord(closing, kClosingSize);
  if (flush) {
    if (::fsync(fd_) != 0) throw EKrxException(KrxError::JournalCannotWrite, name_, ErrnoText(errno));
    KrxJournal::SyncDirectoryOf(name_);
  }
  Close();
  if (hook_ != nullptr && *hook_) (*hook_)(TKrxCommitStep::JournalComplete, 1);
}

}  // namespace krx
