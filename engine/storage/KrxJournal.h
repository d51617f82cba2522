// The rollback journal of a database file: before a commit overwrites pages
// in place, the original images of those pages and of the main header go to
// a file beside the database (its name + "-journal"). While the journal
// exists, the commit it belongs to is not durable; a journal found later
// (the commit was cut off) is played back, giving the state before it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace krx {

// The points of a commit at which a test hook is called.
enum class TKrxCommitStep {
  JournalRecordWritten,  // count = records written so far (1 = the header)
  JournalComplete,       // count 1: the closing record is written (and synced with flush)
  DatabaseWritten,       // count = writes to the database file so far
};
using TKrxCommitStepHook = std::function<void(TKrxCommitStep step, int count)>;

// What a journal found beside a database file is.
enum class TKrxJournalState {
  Absent,
  OtherFile,   // another signature, page size or image start
  Incomplete,  // cut off before its closing record: no page was written
  Damaged,     // complete, but a checksum does not hold
  Complete,
};

// The contents of a journal read back.
struct TKrxJournalContents {
  uint16_t pageSize = 0;
  int64_t imageStart = 0;
  int64_t oldFileSize = 0;
  std::vector<uint8_t> headerImage;
  std::map<int32_t, std::vector<uint8_t>> pages;  // page number -> image as on disk

  const std::vector<uint8_t>* FindPage(int32_t pageNo) const {
    auto it = pages.find(pageNo);
    return it == pages.end() ? nullptr : &it->second;
  }
};

namespace KrxJournal {
std::string NameFor(const std::string& databaseFileName);
bool Exists(const std::string& journalName);
// Reads the journal and says what it is; contents are filled for a complete
// journal. pageSize and imageStart are those of the database file.
TKrxJournalState Read(const std::string& journalName, uint16_t pageSize, int64_t imageStart,
                      TKrxJournalContents& contents);
// Deletes the journal; with flush the deletion itself is made durable.
void Remove(const std::string& journalName, bool flush);
// Makes the directory entry changes of the folder holding the file durable.
void SyncDirectoryOf(const std::string& fileName);
}  // namespace KrxJournal

// Writes one journal, record by record. The file is created anew and must
// not exist yet; the writer never deletes it (the commit decides that).
class TKrxJournalWriter {
 public:
  TKrxJournalWriter(std::string journalName, const TKrxCommitStepHook* hook);
  ~TKrxJournalWriter();
  TKrxJournalWriter(const TKrxJournalWriter&) = delete;
  TKrxJournalWriter& operator=(const TKrxJournalWriter&) = delete;

  void Begin(uint16_t pageSize, int64_t imageStart, int64_t oldFileSize, int32_t pageCount,
             const uint8_t* headerImage, size_t headerImageSize);
  void AddPage(int32_t pageNo, const uint8_t* image);
  // The closing record; with flush the journal and its directory entry are
  // on the disk when this returns.
  void Complete(bool flush);

 private:
  void WriteRecord(const uint8_t* bytes, size_t count);
  void Close();

  std::string name_;
  const TKrxCommitStepHook* hook_;
  int fd_ = -1;
  uint16_t pageSize_ = 0;
  int32_t pageCount_ = 0;
  int32_t pagesWritten_ = 0;
  int records_ = 0;
  std::vector<uint8_t> record_;
};

}  // namespace krx
