// A database file with a password: pages enciphered with their checksum,
// map pages and direct-file pages plain, the password check on opening.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "KrxBytes.h"
#include "KrxCRC32.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

std::vector<uint8_t> ReadAllBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

size_t PageAt(int32_t pageNo) { return 380 + static_cast<size_t>(pageNo) * 4096; }

class StorageEncryptionTest : public ::testing::TestWithParam<uint8_t> {
 protected:
  test::TempDir dir_;
  std::string path_ = dir_.File("secret.krx");
};

TEST_P(StorageEncryptionTest, PagesAreEncipheredAndTheRightPasswordReadsThem) {
  const uint8_t cipher = GetParam();
  int32_t recordPage;
  {
    auto data = TKrxDiskDatabaseData::Acquire(path_);
    data->CreateDatabase({"s3cret", cipher}, 8, 4096, 20);
    TKrxHeldPage page(data->PageManager().AllocatePage(0, 10));
    recordPage = page->PageNo();
    std::memcpy(page->Data(), "plain text of a record", 22);
    page->MarkDirty();
    page.Reset();
    data->Commit(0, false);
    data->Close();
  }
  std::vector<uint8_t> b = ReadAllBytes(path_);
  EXPECT_EQ(b[43], 0xFF);
  EXPECT_EQ(b[78], cipher);
  const uint8_t* page = b.data() + PageAt(recordPage);
  EXPECT_EQ(page[20], cipher);
  EXPECT_NE(std::memcmp(page + 40, "plain text of a record", 22), 0);
  EXPECT_EQ(b[PageAt(0) + 40], 0x3F);     // PFS stays plain: pages 0..5
  EXPECT_EQ(b[PageAt(3) + 40], 10);       // sessions file (direct) stays plain
  EXPECT_EQ(GetI32(b.data(), PageAt(3) + 41), 20);

  auto data = TKrxDiskDatabaseData::Acquire(path_);
  bool multiUser = false, readOnly = false;
  data->Open({"s3cret", cipher}, multiUser, false, readOnly);
  TKrxHeldPage back(data->PageManager().GetPage(0, recordPage, false, 10));
  EXPECT_EQ(std::memcmp(back->Data(), "plain text of a record", 22), 0);
  EXPECT_EQ(back->GetDataCRC(), KrxCRC32(0, back->Data(), back->DataSize()));
  back.Reset();
  data->Close();

  try {
    data->Open({"wrong", cipher}, multiUser, false, readOnly);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open database because incorrect password - Native error: 30445");
  }
  EXPECT_FALSE(data->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Ciphers, StorageEncryptionTest, ::testing::Values(0, 3, 4, 7));

TEST(StorageEncryptionPageTest, AlteredEncipheredPageFailsItsChecksum) {
  test::TempDir dir;
  std::string path = dir.File("tampered.krx");
  auto data = TKrxDiskDatabaseData::Acquire(path);
  data->CreateDatabase({"pw", 0}, 8, 4096, 10);
  data->Close();
  {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(PageAt(4) + 100));
    f.put('\x55');
  }
  bool multiUser = false, readOnly = false;
  try {
    data->Open({"pw", 0}, multiUser, false, readOnly);  // reads the table list on page 4
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(std::string(e.what()), "Decrypt page error. Check CRC failed. PageNo: 4 - Native error: 30446");
  }
}

TEST(StorageEncryptionPageTest, UnencryptedFileIgnoresThePassword) {
  test::TempDir dir;
  auto data = TKrxDiskDatabaseData::Acquire(dir.File("open.krx"));
  data->CreateDatabase({}, 8, 4096, 10);
  data->Close();
  bool multiUser = false, readOnly = false;
  EXPECT_NO_THROW(data->Open({"anything", 2}, multiUser, false, readOnly));
  data->Close();
}

}  // namespace
}  // namespace krx
