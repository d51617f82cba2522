// Encrypted database files end to end through the database and query
// components, for every cipher id: made, filled by SQL, closed, reopened with
// the right password; the wrong password refused without touching the file;
// a second connection with another password refused; and no stored text,
// in the national code page or in ASCII, readable anywhere in the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxLocale.h"
#include "KrxQuery.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

using Bytes = std::vector<uint8_t>;
using Rows = std::vector<std::vector<std::string>>;

// Markers that only the stored rows carry: neither appears in any SQL
// keyword, table or column name.
constexpr const char* kAsciiMarker = "QZXVELMORSECRETCABLEQZX";
constexpr const char* kChineseMarker = "绝密铜芯电缆型号";
constexpr int kRowCount = 120;

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EKrxException& e) {
    return e.what();
  }
  return "no error";
}

Bytes ReadAllBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Compared as unsigned bytes: national text has its high bit set.
bool Contains(const Bytes& haystack, const std::string& needle) {
  const Bytes bytes(needle.begin(), needle.end());
  return std::search(haystack.begin(), haystack.end(), bytes.begin(), bytes.end()) != haystack.end();
}

// A long note, a quarter of a page, made of both markers.
std::string NoteText() {
  std::string text;
  for (int i = 0; i < 18; ++i) text += std::string(kAsciiMarker) + " " + kChineseMarker + " 第" + std::to_string(i) + "段;";
  return text;
}

std::string NameOf(int row) { return std::string(kChineseMarker) + "-" + std::to_string(row); }
std::string ModelOf(int row) { return std::string(kAsciiMarker) + "-YJV-3*" + std::to_string(row) + " O'Brien"; }

struct CipherCase {
  uint8_t cipherID;
  const char* password;
};

void PrintTo(const CipherCase& c, std::ostream* out) { *out << "cipher " << int(c.cipherID) << ", password " << c.password; }

// Passwords of various lengths, national ones among them.
const CipherCase kCases[] = {
    {0, "开单"}, {1, "Velmor-AES-256"}, {2, "d"}, {3, "三重DES密码"},
    {4, "blowfish with a long password of many words"}, {5, "tw-128"}, {6, "双鱼256"}, {7, "square"},
};

class ClientEncryptedDatabase : public ::testing::TestWithParam<CipherCase> {
 protected:
  test::TempDir dir_;
  std::string file_ = dir_.File("cpbill");

  void Configure(TKrxDatabase& db, const std::string& alias, const std::string& password) {
    db.SetDatabaseName(alias);
    db.SetDatabaseFileName(file_);
    db.SetSilentMode(true);
    db.SetCipherID(GetParam().cipherID);
    db.SetPassword(password);
  }

  void Exec(TKrxQuery& q, const std::string& sql) {
    q.Close();
    q.SetSQLText(sql);
    q.ExecSQL();
  }

  Rows Select(TKrxQuery& q, const std::string& sql) {
    q.Close();
    q.SetSQLText(sql);
    q.Open();
    Rows rows;
    for (; !q.Eof(); q.Next()) {
      std::vector<std::string> row;
      for (int i = 0; i < q.FieldCount(); ++i) row.push_back(q.Fields(i).AsString());
      rows.push_back(row);
    }
    q.Close();
    return rows;
  }

  // Makes the file with the case's cipher and password and fills it by SQL.
  void CreateAndFill(const std::string& password) {
    TKrxDatabase db;
    Configure(db, "ENCMAKE", password);
    db.CreateDataBase();
    db.Connect();
    TKrxQuery q("EncFill");
    q.SetDatabaseName("ENCMAKE");
    Exec(q, "create table cqproduct(fitemid integer, fname varchar(80), fmodel varchar(80), fprice float, "
            "fqty largeint, fnote varchar(1000))");
    std::string script;
    for (int row = 1; row <= kRowCount; ++row) {
      std::string model = ModelOf(row);
      std::string quoted;
      for (char c : model) quoted += c == '\'' ? std::string("''") : std::string(1, c);
      script += "insert into cqproduct(fitemid, fname, fmodel, fprice, fqty) values (" + std::to_string(row) + ", '" +
                NameOf(row) + "', '" + quoted + "', " + std::to_string(row) + ".25, " +
                std::to_string(int64_t{row} * 1000000007) + ");\n";
    }
    Exec(q, script);
    Exec(q, "update cqproduct set fnote = '" + NoteText() + "' where fitemid = 7");
    db.Disconnect();
  }

  void ExpectEveryRow(TKrxQuery& q) {
    Rows rows = Select(q, "select fitemid, fname, fmodel, fprice, fqty from cqproduct order by fitemid");
    ASSERT_EQ(rows.size(), static_cast<size_t>(kRowCount));
    for (int row = 1; row <= kRowCount; ++row) {
      const std::vector<std::string> want = {std::to_string(row), NameOf(row), ModelOf(row),
                                             std::to_string(row) + ".25", std::to_string(int64_t{row} * 1000000007)};
      ASSERT_EQ(rows[row - 1], want) << "row " << row;
    }
    EXPECT_EQ(Select(q, "select fnote from cqproduct where fitemid = 7"), (Rows{{NoteText()}}));
    EXPECT_EQ(Select(q, "select count(*) from cqproduct where fnote is null"), (Rows{{std::to_string(kRowCount - 1)}}));
  }
};

TEST_P(ClientEncryptedDatabase, RightPasswordGivesBackEveryRowAndTheFileHoldsNoPlainText) {
  const std::string password = GetParam().password;
  CreateAndFill(password);

  {
    TKrxDatabase db;
    Configure(db, "ENCREAD", password);
    db.Connect();
    EXPECT_EQ(db.CipherID(), GetParam().cipherID);
    TKrxQuery q("EncRead");
    q.SetDatabaseName("ENCREAD");
    ExpectEveryRow(q);
  }

  // Every file the engine left in the folder, byte by byte.
  const std::string gbMarker = KrxUtf8ToGb(kChineseMarker);
  ASSERT_NE(gbMarker, std::string(kChineseMarker));
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
    Bytes bytes = ReadAllBytes(entry.path());
    EXPECT_FALSE(Contains(bytes, kAsciiMarker)) << entry.path();
    EXPECT_FALSE(Contains(bytes, gbMarker)) << entry.path();
    EXPECT_FALSE(Contains(bytes, kChineseMarker)) << entry.path();
    // A one-byte password would turn up by chance among enciphered bytes.
    if (password.size() >= 6) {
      EXPECT_FALSE(Contains(bytes, KrxUtf8ToGb(password))) << entry.path();
    }
  }
}

TEST_P(ClientEncryptedDatabase, WrongPasswordFailsAndLeavesTheFileAsItWas) {
  const std::string password = GetParam().password;
  CreateAndFill(password);
  const Bytes before = ReadAllBytes(file_);

  for (const std::string& wrong : {std::string(), std::string("wrong"), password + " ", "x" + password}) {
    TKrxDatabase db;
    Configure(db, "ENCWRONG", wrong);
    EXPECT_EQ(MessageOf([&] { db.Connect(); }),
              "Cannot open database because incorrect password - Native error: 30445")
        << "password '" << wrong << "'";
    EXPECT_FALSE(db.Connected());
  }
  EXPECT_EQ(ReadAllBytes(file_), before);

  // The refusal left nothing behind that would spoil a later right open.
  TKrxDatabase db;
  Configure(db, "ENCAFTER", password);
  db.Connect();
  TKrxQuery q("EncAfter");
  q.SetDatabaseName("ENCAFTER");
  ExpectEveryRow(q);
}

TEST_P(ClientEncryptedDatabase, SecondConnectionMustGiveTheSamePassword) {
  const std::string password = GetParam().password;
  CreateAndFill(password);

  TKrxDatabase first;
  Configure(first, "ENCFIRST", password);
  first.Connect();

  TKrxDatabase other;
  Configure(other, "ENCOTHER", password + "x");
  EXPECT_EQ(MessageOf([&] { other.Connect(); }), "Database password is invalid. - Native error: 20298");
  EXPECT_FALSE(other.Connected());

  // The same password shares the open file and sees the first one's change.
  TKrxQuery change("EncChange");
  change.SetDatabaseName("ENCFIRST");
  Exec(change, "insert into cqproduct(fitemid, fname) values (9999, '" + std::string(kChineseMarker) + "')");
  TKrxDatabase same;
  Configure(same, "ENCSAME", password);
  same.Connect();
  TKrxQuery q("EncSame");
  q.SetDatabaseName("ENCSAME");
  EXPECT_EQ(Select(q, "select fname from cqproduct where fitemid = 9999"), (Rows{{kChineseMarker}}));
}

INSTANTIATE_TEST_SUITE_P(EveryCipher, ClientEncryptedDatabase, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CipherCase>& info) {
                           return "Cipher" + std::to_string(info.param.cipherID);
                         });

// The same rows in a file without a password are readable in the file: the
// scan above would find them if they were stored plain.
TEST(ClientUnencryptedDatabase, PlainFileShowsItsTextSoTheScanCanSeeIt) {
  test::TempDir dir;
  TKrxDatabase db;
  db.SetDatabaseName("PLAINSCAN");
  db.SetDatabaseFileName(dir.File("plain"));
  db.CreateDataBase();
  db.Connect();
  TKrxQuery q("PlainScan");
  q.SetDatabaseName("PLAINSCAN");
  q.SetSQLText("create table cqproduct(fitemid integer, fname varchar(80), fnote varchar(1000))");
  q.ExecSQL();
  q.SetSQLText("insert into cqproduct values (1, '" + std::string(kChineseMarker) + " " + kAsciiMarker + "', '" +
               NoteText() + "')");
  q.ExecSQL();
  db.Disconnect();
  Bytes bytes = ReadAllBytes(dir.File("plain"));
  EXPECT_TRUE(Contains(bytes, kAsciiMarker));
  EXPECT_TRUE(Contains(bytes, KrxUtf8ToGb(kChineseMarker)));
}

}  // namespace
}  // namespace krx
