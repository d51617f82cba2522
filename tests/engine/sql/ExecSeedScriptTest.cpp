// The seed script of the program's initial database runs through the engine
// and the windows' own statements then read what it wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ExecTestDatabase.h"

namespace krx {
namespace {

std::string SeedScript() {
  const auto path = std::filesystem::path(__FILE__).parent_path() / "../../../data/cpbill.sql";
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ExecSeedScriptTest, SeedScriptBuildsTheDatabase) {
  const std::string script = SeedScript();
  ASSERT_FALSE(script.empty());
  test::ExecDatabase db;
  const int64_t inserted = db.Run(script);
  EXPECT_GT(inserted, 300);
  std::vector<std::string> names = db.Data().TableList().TableNames();
  EXPECT_EQ(names.size(), 19u);

  // Statements of the windows, with their carriage returns.
  EXPECT_EQ(db.Rows("select * from cqsalebill where FInterID=1").size(), 0u);
  EXPECT_EQ(db.Rows("select max(FInterID) as FInterID from cqsalebill"), (std::vector<std::string>{"NULL"}));
  EXPECT_EQ(db.Rows("select fparameter from pisysparameter where fname='用户名'"), (std::vector<std::string>{"管理员"}));
  EXPECT_FALSE(db.Rows("select FClassID, FName from cqproductclass where FParentID=0 and FHide=0 \r order by FIndex").empty());
  const int64_t products = db.Query("select * from cqproduct")->RowCount();
  EXPECT_GT(products, 0);
  EXPECT_EQ(db.Query("select FModelID from cqproduct where FClassID in (select FClassID from cqproductclass)")->RowCount(),
            products);
}

}  // namespace
}  // namespace krx
