// Page managers without a database file: memory pages (written to a stream
// and read back) and temporary pages spilling into a temporary file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "KrxException.h"
#include "KrxMemoryDatabaseData.h"
#include "KrxTemporaryDatabaseData.h"

namespace krx {
namespace {

int32_t PutText(TKrxPageManager& pm, const char* text) {
  TKrxHeldPage page(pm.AllocatePage(0, 10));
  std::strcpy(reinterpret_cast<char*>(page->Data()), text);
  page->MarkDirty();
  return page->PageNo();
}

std::string Text(TKrxPageManager& pm, int32_t pageNo) {
  TKrxHeldPage page(pm.GetPage(0, pageNo));
  return reinterpret_cast<const char*>(page->Data());
}

TEST(PageCacheMemoryTest, LowestFreeNumberFirstAndStreamRoundTrip) {
  TKrxMemoryDatabaseData data;
  TKrxMemoryPageManager& pm = data.MemoryPageManager();
  EXPECT_EQ(data.Name(), "MEMORY");
  EXPECT_EQ(pm.PageDataSize(), 4096u);
  EXPECT_EQ(PutText(pm, "zero"), 0);
  EXPECT_EQ(PutText(pm, "one"), 1);
  EXPECT_EQ(PutText(pm, "two"), 2);
  data.Commit(0, false);
  pm.DeletePage(0, 1);
  data.Commit(0, false);
  EXPECT_EQ(pm.Capacity(), 50);
  EXPECT_EQ(PutText(pm, "one again"), 1);
  data.Commit(0, false);

  TKrxMemoryStream stream;
  pm.SaveToStream(stream);
  EXPECT_EQ(stream.GetSize(), 24 + 7 + 3 * 4096);
  EXPECT_EQ(stream.Bytes()[24], 0x07);  // pages 0, 1, 2 in use

  TKrxMemoryPageManager copy;
  stream.SetPosition(0);
  copy.LoadFromStream(stream);
  EXPECT_EQ(copy.PagesInUse(), 3);
  EXPECT_EQ(copy.HighestPageNo(), 2);
  EXPECT_EQ(Text(copy, 1), "one again");
  EXPECT_EQ(Text(copy, 2), "two");
  try {
    copy.GetPage(0, 3);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Not released page is allocated");
  }
}

TEST(PageCacheMemoryTest, TemporaryPagesAboveTheLimitGoToATemporaryFile) {
  TKrxTemporaryPageManager pm(false, 2);
  EXPECT_EQ(PutText(pm, "a"), 0);
  EXPECT_EQ(PutText(pm, "b"), 1);
  EXPECT_TRUE(pm.TemporaryFileName().empty());
  EXPECT_EQ(PutText(pm, "c"), 2);
  EXPECT_EQ(PutText(pm, "d"), 3);
  std::string fileName = pm.TemporaryFileName();
  ASSERT_FALSE(fileName.empty());
  EXPECT_EQ(std::filesystem::path(fileName).filename().string().substr(0, 3), "Krx");
  pm.Commit(0);
  pm.SetCacheCapacity(0);  // the next reads come from the file
  pm.SetCacheCapacity(10);
  EXPECT_EQ(Text(pm, 3), "d");
  EXPECT_EQ(Text(pm, 0), "a");
  EXPECT_GE(std::filesystem::file_size(fileName), 4u * 4096u);
  {
    TKrxTemporaryPageManager gone(false, 0);
    PutText(gone, "x");
    fileName = gone.TemporaryFileName();
    EXPECT_TRUE(std::filesystem::exists(fileName));
  }
  EXPECT_FALSE(std::filesystem::exists(fileName));  // removed with its manager

  TKrxTemporaryDatabaseData temp(true);
  EXPECT_EQ(temp.Name(), "TEMP");
  for (int i = 0; i < 5; ++i) PutText(temp.PageManager(), "m");
  EXPECT_TRUE(temp.TemporaryPageManager().TemporaryFileName().empty());
}

}  // namespace
}  // namespace krx
