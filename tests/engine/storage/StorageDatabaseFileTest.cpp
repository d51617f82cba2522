// The database file: its headers as bytes, the pages of a new database, the
// image scan, read-only opening and the OS failure messages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "KrxBytes.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxDatabaseFile.h"
#include "KrxDiskPageManager.h"
#include "KrxException.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

std::vector<uint8_t> ReadAllBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAllBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void CreateEmptyDatabase(const std::string& path, int32_t maxConnections = 500) {
  auto data = TKrxDiskDatabaseData::Acquire(path);
  data->CreateDatabase({}, 8, 4096, maxConnections);
  data->Close();
}

size_t PageAt(int32_t pageNo) { return 380 + static_cast<size_t>(pageNo) * 4096; }

class StorageDatabaseFileTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  std::string path_ = dir_.File("db.krx");
};

TEST_F(StorageDatabaseFileTest, NewDatabaseHasHeadersAndSixPagesByTheByte) {
  CreateEmptyDatabase(path_);
  std::vector<uint8_t> b = ReadAllBytes(path_);
  ASSERT_EQ(b.size(), 380u + 6 * 4096u);

  EXPECT_EQ(std::string(reinterpret_cast<char*>(b.data()), 16), "KRXVOLUMEFORMAT1");
  EXPECT_EQ(GetU16(b.data(), 16), 76);
  EXPECT_DOUBLE_EQ(GetF64(b.data(), 18), 5.16);
  EXPECT_EQ(GetU16(b.data(), 26), 4096);
  EXPECT_EQ(GetU16(b.data(), 28), 8);
  EXPECT_EQ(GetI32(b.data(), 30), 6);   // TotalPageCount
  EXPECT_EQ(GetI32(b.data(), 34), 4);   // LastUsedPageNo: directory 2, sessions 3, table list 4
  EXPECT_EQ(GetI32(b.data(), 38), 1);   // one committed batch
  EXPECT_EQ(b[42], 2);                  // FileState
  EXPECT_EQ(b[43], 0);                  // not encrypted
  EXPECT_EQ(GetU16(b.data(), 76), 280);
  EXPECT_EQ(GetU16(b.data(), 356), 20);
  EXPECT_EQ(GetI32(b.data(), 376), 0);  // NextObjectID

  auto type = [&](int32_t p) { return GetU16(b.data(), PageAt(p) + 8); };
  EXPECT_EQ(type(0), 3);  // PFS
  EXPECT_EQ(type(1), 2);  // EAM
  EXPECT_EQ(type(2), 4);  // system directory
  EXPECT_EQ(type(3), 5);  // active sessions
  EXPECT_EQ(type(4), 6);  // table list
  for (int32_t p = 0; p < 5; ++p) EXPECT_EQ(std::memcmp(b.data() + PageAt(p), "KRXP", 4), 0) << p;

  // PFS: pages 0..4 in use; EAM: extent 0 in use with free pages.
  EXPECT_EQ(b[PageAt(0) + 40], 0x1F);
  EXPECT_EQ(b[PageAt(0) + 41], 0);
  EXPECT_EQ(b[PageAt(1) + 40], 1);

  // The system directory: (2, sessions start page) then (1, table list).
  const uint8_t* dir = b.data() + PageAt(2) + 40;
  EXPECT_EQ(dir[0], 10);
  EXPECT_EQ(GetI32(dir, 1), 10);  // stored size: two 5-byte entries
  EXPECT_EQ(GetI32(dir, 5), 10);
  EXPECT_EQ(dir[9], 0);
  EXPECT_EQ(dir[10], 2);
  EXPECT_EQ(GetI32(dir, 11), 3);
  EXPECT_EQ(dir[15], 1);
  EXPECT_EQ(GetI32(dir, 16), 4);

  // Active sessions file: 500 bytes of content, no chain.
  const uint8_t* sessions = b.data() + PageAt(3);
  EXPECT_EQ(GetI32(sessions, 10), -1);
  EXPECT_EQ(GetI32(sessions, 40 + 1), 500);
  // Table list: empty.
  EXPECT_EQ(GetI32(b.data() + PageAt(4), 40 + 1), 0);
}

TEST_F(StorageDatabaseFileTest, OpenReadsBackTheDirectoryAndTableList) {
  CreateEmptyDatabase(path_, 1200);  // sessions file needs a second page
  auto data = TKrxDiskDatabaseData::Acquire(path_);
  bool multiUser = false, readOnly = false;
  EXPECT_FALSE(data->Open({}, multiUser, false, readOnly));
  EXPECT_FALSE(readOnly);
  EXPECT_EQ(data->MaxConnections(), 1200);
  EXPECT_EQ(data->ActiveSessions().File().PageNumbers().size(), 1u);
  EXPECT_TRUE(data->TableList().TableNames().empty());
  EXPECT_EQ(data->SystemDirectory().Find(2), data->ActiveSessions().StartPageNo());
  EXPECT_EQ(data->SystemDirectory().Find(1), data->TableList().StartPageNo());
  EXPECT_EQ(data->GetNextObjectID(), 1);
  EXPECT_EQ(data->GetNextObjectID(), 2);
  data->Close();
  EXPECT_EQ(GetI32(ReadAllBytes(path_).data(), 376), 2);
}

TEST_F(StorageDatabaseFileTest, ImageBehindOtherDataIsFoundByTheScan) {
  CreateEmptyDatabase(path_);
  std::vector<uint8_t> image = ReadAllBytes(path_);
  // 10000 + 5 bytes in front put the signature across the first window edge.
  for (size_t prefix : {size_t{777}, size_t{9990}, size_t{25000}}) {
    std::vector<uint8_t> shifted(prefix, 0x5A);
    shifted.insert(shifted.end(), image.begin(), image.end());
    std::string shiftedPath = dir_.File("shifted" + std::to_string(prefix));
    WriteAllBytes(shiftedPath, shifted);

    TKrxDiskPageManager pm;
    bool multiUser = false, readOnly = false;
    EXPECT_FALSE(pm.OpenDatabaseFile(shiftedPath, {}, multiUser, false, readOnly));
    EXPECT_EQ(pm.ImageStart(), static_cast<int64_t>(prefix));
    EXPECT_EQ(pm.MainHeader().totalPageCount, 6);
    TKrxHeldPage page(pm.GetPage(0, 2, false, 4));
    EXPECT_EQ(page->Data()[10], 2);  // first directory entry
    page.Reset();
    EXPECT_EQ(pm.GetNextObjectID(), 1);
    pm.CloseDatabaseFile();
    EXPECT_EQ(GetI32(ReadAllBytes(shiftedPath).data(), prefix + 376), 1);
  }
}

TEST_F(StorageDatabaseFileTest, WrongSignatureIsRefusedAndNothingStaysOpen) {
  WriteAllBytes(path_, std::vector<uint8_t>(2000, 'x'));
  TKrxDiskPageManager pm;
  bool multiUser = false, readOnly = false;
  try {
    pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Invalid file format. Found signature: 'xxxxxxxxxxxxxxxx', expected: 'KRXVOLUMEFORMAT1'");
  }
  EXPECT_FALSE(pm.IsOpen());
}

TEST_F(StorageDatabaseFileTest, BadSecurityHeaderLengthIsInvalidFormat) {
  CreateEmptyDatabase(path_);
  std::vector<uint8_t> b = ReadAllBytes(path_);
  PutU16(b.data(), 76, 279);
  WriteAllBytes(path_, b);
  TKrxDiskPageManager pm;
  bool multiUser = false, readOnly = false;
  EXPECT_THROW(
      {
        try {
          pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
        } catch (const EKrxException& e) {
          EXPECT_EQ(e.Message(), "Invalid database format");
          throw;
        }
      },
      EKrxException);
}

TEST_F(StorageDatabaseFileTest, ReadOnlyFileOpensSingleUserAndLeavesTheCounterUnwritten) {
  CreateEmptyDatabase(path_);
  ASSERT_EQ(chmod(path_.c_str(), S_IRUSR), 0);
  {
    TKrxDiskPageManager pm;
    bool multiUser = true, readOnly = false;
    pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
    EXPECT_TRUE(readOnly);
    EXPECT_FALSE(multiUser);
    int32_t id = pm.GetNextObjectID();
    EXPECT_GE(id, 1);
    EXPECT_LE(id, 10000);
    pm.CloseDatabaseFile();
  }
  EXPECT_EQ(GetI32(ReadAllBytes(path_).data(), 376), 0);
  chmod(path_.c_str(), S_IRUSR | S_IWUSR);
}

TEST_F(StorageDatabaseFileTest, OperatingSystemFailuresNameTheFileAndTheErrno) {
  TKrxDatabaseFile file;
  std::string missing = dir_.File("nope/missing.krx");
  try {
    file.OpenFile(missing, 1, 1);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot open file:'" + missing + "' Error code: 2. ErrorMessage: No such file or directory");
    EXPECT_NE(std::string(e.what()).find(" - Native error: "), std::string::npos);
  }
  try {
    file.CreateFile(missing);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot create file: '" + missing + "' Error code: 2. ErrorMessage: No such file or directory");
  }
  try {
    file.CreateFile("");
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot create file with blank FileName");
  }
  try {
    file.GetSize();
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot perform this operation (GetSize) on a closed file");
  }
  EXPECT_THROW(file.OpenFile(path_, 7, 0), EKrxException);

  // Writing through a read-only descriptor fails with the OS reason.
  CreateEmptyDatabase(path_);
  file.OpenFile(path_, 0, 1);
  uint8_t byte = 0;
  try {
    file.WriteBuffer(&byte, 3, 1);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot Write to file: '" + path_ + "' Position = 3, Count = 1, FilePosition = 0, FileSize = " +
                               std::to_string(380 + 6 * 4096) + ", ErrorCode:9. ErrorMessage: Bad file descriptor");
  }
  try {
    file.OpenFile(path_, 0, 1);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot perform this operation (OpenFile) on a opened file");
  }
  file.CloseFile();
}

TEST_F(StorageDatabaseFileTest, ByteLocksExcludeOtherDescriptorsOfTheSameProcess) {
  CreateEmptyDatabase(path_);
  TKrxDatabaseFile a, b;
  a.OpenFile(path_, 1, 1);
  b.OpenFile(path_, 1, 1);
  EXPECT_TRUE(a.LockByte(360));
  EXPECT_FALSE(a.LockByte(360));  // a held byte is not granted twice
  EXPECT_FALSE(b.LockByte(360));
  EXPECT_TRUE(b.IsByteLocked(360));
  EXPECT_TRUE(b.IsRegionLocked(355, 10));
  EXPECT_FALSE(b.IsRegionLocked(361, 10));
  // Closing another descriptor of the file keeps a's lock (unlike POSIX
  // process locks).
  {
    TKrxDatabaseFile c;
    c.OpenFile(path_, 0, 1);
    c.CloseFile();
  }
  EXPECT_FALSE(b.LockByte(360));
  EXPECT_TRUE(a.UnlockByte(360));
  EXPECT_TRUE(b.LockByte(360));
  b.CloseFile();
  a.CloseFile();
}

TEST_F(StorageDatabaseFileTest, UnsharedOpenKeepsOthersOut) {
  CreateEmptyDatabase(path_);
  TKrxDatabaseFile a, b;
  a.OpenFile(path_, 1, 0);
  EXPECT_THROW(b.OpenFile(path_, 1, 1), EKrxException);
  a.CloseFile();
  b.OpenFile(path_, 1, 1);
  EXPECT_THROW(a.OpenFile(path_, 1, 0), EKrxException);
  b.CloseFile();
}

TEST_F(StorageDatabaseFileTest, CreatingAnOpenDatabaseIsRefused) {
  CreateEmptyDatabase(path_);
  auto data = TKrxDiskDatabaseData::Acquire(path_);
  bool multiUser = false, readOnly = false;
  data->Open({}, multiUser, false, readOnly);
  EXPECT_EQ(TKrxDiskDatabaseData::Acquire(path_).get(), data.get());  // one object per file
  try {
    data->CreateDatabase({}, 8, 4096, 10);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Error - database file " + path_ + " is in use.");
  }
  TKrxDiskDatabaseData other(path_);
  try {
    other.CreateDatabase({}, 8, 4096, 10);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot create database. Database is already open");
  }
  data->Close();
}

}  // namespace
}  // namespace krx
