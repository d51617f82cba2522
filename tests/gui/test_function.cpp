// The shared routines of the lists: splitting, totals, capital numerals,
// bill numbers, and writing a grid to a spreadsheet file read back by freexl.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "StringGrid.h"
#include "TestSupport.h"
#include "XlsReader.h"
#include "uniFunction.h"
#include "uniType.h"

namespace {

// A list as LoadGridFromQuery leaves it: row numbers, captions, data rows.
void FillList(velmor::StringGrid& grid, const QStringList& captions, const QList<QStringList>& rows) {
  grid.setColCount(static_cast<int>(captions.size()) + 1);
  grid.setRowCount(static_cast<int>(rows.size()) + 1);
  for (int c = 0; c < captions.size(); ++c) grid.setCell(c + 1, 0, captions[c]);
  for (int r = 0; r < rows.size(); ++r) {
    grid.setCell(0, r + 1, QString::number(r + 1));
    for (int c = 0; c < rows[r].size(); ++c) grid.setCell(c + 1, r + 1, rows[r][c]);
  }
}

// Answers the save dialog with a fixed path and keeps what it was asked.
struct FileAnswer {
  explicit FileAnswer(QString answer) {
    SetSaveFileChooser([this, answer](const SaveFileRequest& request) {
      asked << request;
      return answer;
    });
    SetSpreadsheetOpener([this](const QString& path) { opened << path; });
  }
  ~FileAnswer() {
    SetSaveFileChooser(nullptr);
    SetSpreadsheetOpener(nullptr);
  }
  QList<SaveFileRequest> asked;
  QStringList opened;
};

}  // namespace

class TestFunction : public QObject {
  Q_OBJECT

 private slots:
  void splitByCommas() {
    struct Case {
      const char* text;
      QStringList items;
    };
    const Case kCases[] = {
        {"", {}},
        {"fname", {"fname"}},
        {"FInterID,FEntryID,FName", {"FInterID", "FEntryID", "FName"}},
        {"a,,b", {"a", "", "b"}},
        {"a,b,", {"a", "b"}},
        {",a", {"", "a"}},
        {"名称,宽度", {"名称", "宽度"}},
    };
    for (const Case& c : kCases) QCOMPARE(SplitByCommas(QString::fromUtf8(c.text)), c.items);
  }

  void splitBySpaces() {
    struct Case {
      const char* text;
      QStringList words;
    };
    const Case kCases[] = {
        {"YJV  3*4", {"YJV", "3*4"}},
        {"YJV 3*4 铜芯", {"YJV", "3*4", "铜芯"}},
        {"VV", {"VV"}},
        {"", {""}},
        {" VV", {"", "VV"}},
        {"a    b", {"a", "b"}},
    };
    for (const Case& c : kCases) QCOMPARE(SplitBySpaces(QString::fromUtf8(c.text)), c.words);
  }

  void sumGridColumn() {
    velmor::StringGrid grid;
    FillList(grid, {"数量", "备注"}, {{"1.5", "x"}, {"", ""}, {" 2 ", ""}});
    QCOMPARE(SumGridColumn(&grid, 1), QString("3.50"));
    QCOMPARE(SumGridColumn(&grid, 2), QString("0.00"));  // letters: nothing counts
    grid.setCell(2, 3, "abc");
    QCOMPARE(SumGridColumn(&grid, 2), QString("0.00"));
    grid.setCell(1, 2, "-0.25");
    QCOMPARE(SumGridColumn(&grid, 1), QString("3.25"));
    // The caption row never counts, nor the footer row.
    grid.setCell(1, 0, "100");
    QCOMPARE(SumGridColumn(&grid, 1), QString("3.25"));
    grid.setRowCount(grid.rowCount() + 1);
    grid.setFooterVisible(true);
    grid.setCell(1, grid.footerRow(), "1000");
    QCOMPARE(SumGridColumn(&grid, 1), QString("3.25"));
    // Two header rows: both left out.
    grid.setFixedRows(2);
    QCOMPARE(SumGridColumn(&grid, 1), QString("1.75"));
  }

  void moneyToChinese() {
    struct Case {
      double amount;
      const char* capitals;
    };
    const Case kCases[] = {
        {1234.56, "壹仟贰佰叁拾肆元伍角陆分"},
        {100, "壹佰元整"},
        {10.5, "壹拾元零伍角整"},
        {0.5, "伍角整"},
        {1.05, "壹元零伍分"},
        {0.05, "伍分"},
        {100000, "壹拾万元整"},
        {1000001, "壹佰万零壹元整"},
        {101.01, "壹佰零壹元零壹分"},
        {100000000, "壹亿元整"},
        {9999999999999.99, "玖万玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分"},
        {10000000000000.0, ""},
        {0, "零元"},
        {10.00, "壹拾元整"},
        {100010.30, "壹拾万零壹拾元零叁角整"},
        {1000000000.01, "壹拾亿元零壹分"},
        {37.5, "叁拾柒元伍角整"},
        {20000.07, "贰万元零柒分"},
        {-12.5, "负壹拾贰元伍角整"},
        {-10000000000000.0, ""},
    };
    for (const Case& c : kCases) {
      const QString result = MoneyToChinese(c.amount);
      QVERIFY2(result == QString::fromUtf8(c.capitals), qPrintable(QString::number(c.amount, 'f', 2) + " → " + result));
    }
    QCOMPARE(MoneyToChinese(std::nan("")), QString());
  }

  void billNumbers() {
    struct Case {
      const char* counter;
      int width;
      const char* number;
    };
    const Case kCases[] = {
        {"41", 4, "XS0042"}, {"12345", 4, "XS12346"}, {"9999", 4, "XS10000"},
        {"0", 4, "XS0001"},  {"998", 3, "XS999"},     {" 7", 4, "XS0008"},
    };
    for (const Case& c : kCases) QCOMPARE(FormatBillNumber("XS", c.counter, c.width), QString(c.number));
    QVERIFY_THROWS_EXCEPTION(EConvertError, FormatBillNumber("XS", "4a", 4));
    QVERIFY_THROWS_EXCEPTION(EConvertError, FormatBillNumber("XS", "", 4));
  }

  void systemDir() {
    const QString dir = GetSystemDir();
    QVERIFY(!dir.isEmpty());
    QVERIFY(dir.size() <= 255);
    QVERIFY(QFileInfo(dir).isDir());
    QCOMPARE(GetSystemDir(), dir);
  }

  void cleanFileName() {
    QCOMPARE(CleanFileName(" a*b/c\\d<e>f?g\"h:i|j "), QString("a_b_c_d_e_f_g_h_i_j"));
    QCOMPARE(CleanFileName("销售单"), QString("销售单"));
  }

  void saveGridWritesEveryCellAndLeavesHiddenColumnsOut() {
    QTemporaryDir dir;
    SysParas.AppDir = dir.path();
    velmor::StringGrid grid;
    FillList(grid, {"ID", "产品名称", "数量", "编码", "备注"},
             {{"7", "铜芯电缆", "12.50", "0012", ""}, {"8", "", "3", "YJV-3*4", "整卷"}});
    grid.setColWidth(1, 0);
    const QString target = dir.filePath("产品列表");
    FileAnswer answer(target);
    TSAVEGRID request{QString(), QStringLiteral("产品/列表")};
    QVERIFY(SaveGridToExcel(&grid, request, nullptr));

    QCOMPARE(answer.asked.size(), 1);
    QCOMPARE(answer.asked[0].title, QString("保存"));
    QCOMPARE(answer.asked[0].directory, QDir(dir.path()).filePath("产品_列表"));
    const QString written = target + ".XLS";
    QCOMPARE(answer.opened, QStringList{written});
    QString error;
    QCOMPARE(velmor::XlsSheetNames(written, &error), QStringList{"产品/列表"}.replaceInStrings("/", "_"));
    QList<QStringList> rows;
    QVERIFY2(velmor::XlsLoadSheet(written, velmor::XlsSheetNames(written, &error).value(0), &rows, &error),
             qPrintable(error));
    const QList<QStringList> expected = {
        {"", "产品名称", "数量", "编码", "备注"},
        {"1", "铜芯电缆", "12.5", "0012", ""},  // 12.50 is a number now; "0012" stays text
        {"2", "", "3", "YJV-3*4", "整卷"},
    };
    QCOMPARE(rows, expected);
  }

  void saveGridFileNameRules() {
    QTemporaryDir dir;
    velmor::StringGrid grid;
    FillList(grid, {"名称"}, {{"甲"}});
    struct Case {
      const char* typed;
      const char* written;
    };
    const Case kCases[] = {
        {"a.xls", "a.xls"},
        {"b.Xls", "b.Xls"},
        {"c", "c.XLS"},
        {"d.txt", "d.txt.XLS"},
    };
    for (const Case& c : kCases) {
      FileAnswer answer(dir.filePath(c.typed));
      QVERIFY(SaveGridToExcel(&grid, {QString(), "清单"}, nullptr));
      QVERIFY2(QFileInfo::exists(dir.filePath(c.written)), c.written);
    }
    // A file name given by the caller needs no dialog; the answer says no
    // file was chosen in one.
    FileAnswer answer("unused");
    QVERIFY(!SaveGridToExcel(&grid, {dir.filePath("given"), "清单"}, nullptr));
    QVERIFY(answer.asked.isEmpty());
    QVERIFY(QFileInfo::exists(dir.filePath("given.XLS")));
  }

  void saveGridCancelledOrNotOverwritten() {
    QTemporaryDir dir;
    velmor::StringGrid grid;
    FillList(grid, {"名称"}, {{"甲"}});
    {
      FileAnswer cancelled{QString()};
      QVERIFY(!SaveGridToExcel(&grid, {QString(), "清单"}, nullptr));
      QVERIFY(cancelled.opened.isEmpty());
    }
    const QString path = dir.filePath("old.XLS");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("keep me");
    old.close();
    FileAnswer answer(path);
    {
      velmor::test::MessageAnswers no({QMessageBox::No});
      QVERIFY(SaveGridToExcel(&grid, {QString(), "清单"}, nullptr));
      QCOMPARE(no.Texts(), QStringList{QString("File %1 文件已经存在，是否覆盖文件 ?").arg(path)});
    }
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("keep me"));
    old.close();
    QVERIFY(answer.opened.isEmpty());
    {
      velmor::test::MessageAnswers yes({QMessageBox::Yes});
      QVERIFY(SaveGridToExcel(&grid, {QString(), "清单"}, nullptr));
      QCOMPARE(yes.Asked().size(), 1);
    }
    QString error;
    QCOMPARE(velmor::XlsSheetNames(path, &error), QStringList{"清单"});
  }

  void saveGridFailureReachesTheCaller() {
    velmor::StringGrid grid;
    FillList(grid, {"名称"}, {{"甲"}});
    FileAnswer answer("/nonexistent-folder/x/list");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, SaveGridToExcel(&grid, {QString(), "清单"}, nullptr));
    QVERIFY(answer.opened.isEmpty());
  }
};

QTEST_MAIN(TestFunction)
#include "test_function.moc"
