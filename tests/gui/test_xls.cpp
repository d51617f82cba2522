// .XLS files written by our writer and read back through freexl, an
// independent reader; plus a look at the file's own structure (compound
// document, records) where freexl cannot tell (styles, widths, padding).
#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../../engine/KrxBytes.h"
#include "XlsReader.h"
#include "XlsWriter.h"

using velmor::XlsLoadSheet;
using velmor::XlsSheetNames;
using velmor::XlsWriter;

namespace {

using Grid = QList<QStringList>;

// The compound document's header fields and one of its streams, found by
// following the FAT the way any reader does.
struct Compound {
  uint32_t fatSectors = 0;
  uint32_t difatSectors = 0;
  uint32_t rootSize = 0;
  QByteArray workbook;
  bool ok = false;
};

Compound ReadCompound(const QString& path) {
  Compound result;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return result;
  const QByteArray file = f.readAll();
  const auto* b = reinterpret_cast<const uint8_t*>(file.constData());
  if (file.size() < 512 || file.size() % 512 != 0) return result;
  const uint32_t sectors = static_cast<uint32_t>(file.size() / 512 - 1);
  auto sector = [&](uint32_t n) { return b + 512 * (static_cast<size_t>(n) + 1); };
  result.fatSectors = krx::GetU32(b, 0x2C);
  result.difatSectors = krx::GetU32(b, 0x48);

  QList<uint32_t> fatSectorNumbers;
  for (uint32_t i = 0; i < 109 && i < result.fatSectors; ++i) fatSectorNumbers << krx::GetU32(b, 0x4C + 4 * i);
  uint32_t difat = krx::GetU32(b, 0x44);
  for (uint32_t d = 0; d < result.difatSectors; ++d) {
    if (difat >= sectors) return result;
    for (uint32_t i = 0; i < 127 && fatSectorNumbers.size() < static_cast<qsizetype>(result.fatSectors); ++i)
      fatSectorNumbers << krx::GetU32(sector(difat), 4 * i);
    difat = krx::GetU32(sector(difat), 4 * 127);
  }
  if (fatSectorNumbers.size() != static_cast<qsizetype>(result.fatSectors)) return result;
  auto next = [&](uint32_t n) -> uint32_t {
    const uint32_t fs = fatSectorNumbers.value(n / 128, 0xFFFFFFFF);
    return fs < sectors ? krx::GetU32(sector(fs), 4 * (n % 128)) : 0xFFFFFFFF;
  };
  auto chain = [&](uint32_t start, uint32_t size) {
    QByteArray data;
    for (uint32_t s = start; s < sectors && static_cast<uint32_t>(data.size()) < size; s = next(s))
      data.append(reinterpret_cast<const char*>(sector(s)), 512);
    return data.left(size);
  };
  const QByteArray directory = chain(krx::GetU32(b, 0x30), 512 * 64);
  for (qsizetype e = 0; e + 128 <= directory.size(); e += 128) {
    const auto* entry = reinterpret_cast<const uint8_t*>(directory.constData() + e);
    const int nameBytes = krx::GetU16(entry, 0x40);
    QString name;
    for (int i = 0; i + 2 < nameBytes; i += 2) name += QChar(krx::GetU16(entry, i));
    if (entry[0x42] == 5) result.rootSize = krx::GetU32(entry, 0x78);
    if (entry[0x42] == 2 && name == QLatin1String("Workbook")) {
      const uint32_t size = krx::GetU32(entry, 0x78);
      result.workbook = chain(krx::GetU32(entry, 0x74), size);
      result.ok = static_cast<uint32_t>(result.workbook.size()) == size;
    }
  }
  return result;
}

struct Record {
  uint16_t type;
  QByteArray data;
};

QList<Record> Records(const QByteArray& stream) {
  QList<Record> records;
  const auto* b = reinterpret_cast<const uint8_t*>(stream.constData());
  for (qsizetype pos = 0; pos + 4 <= stream.size();) {
    const uint16_t length = krx::GetU16(b, pos + 2);
    records.append({krx::GetU16(b, pos), stream.mid(pos + 4, length)});
    pos += 4 + length;
  }
  return records;
}

const uint8_t* Bytes(const QByteArray& data) { return reinterpret_cast<const uint8_t*>(data.constData()); }

Grid Load(const QString& path, const QString& sheet) {
  Grid rows;
  QString error;
  if (!XlsLoadSheet(path, sheet, &rows, &error)) qWarning() << "load failed:" << error;
  return rows;
}

// Compares cell by cell so that a failure names the first wrong cell.
void CompareGrids(const Grid& actual, const Grid& expected) {
  QCOMPARE(actual.size(), expected.size());
  for (qsizetype r = 0; r < expected.size(); ++r) {
    if (actual[r] == expected[r]) continue;
    QCOMPARE(actual[r].size(), expected[r].size());
    for (qsizetype c = 0; c < expected[r].size(); ++c) {
      if (actual[r][c] != expected[r][c])
        QFAIL(qPrintable(QStringLiteral("cell (%1,%2): got \"%3\", expected \"%4\"")
                             .arg(r)
                             .arg(c)
                             .arg(actual[r][c].left(80), expected[r][c].left(80))));
    }
  }
}

// Writes a grid of texts where a cell starting with '#' is the number after it.
void PutGrid(XlsWriter& xls, int sheet, const Grid& cells) {
  for (int r = 0; r < cells.size(); ++r)
    for (int c = 0; c < cells[r].size(); ++c) {
      const QString& v = cells[r][c];
      if (v.startsWith(u'#')) xls.setNumber(sheet, r, c, v.mid(1).toDouble());
      else xls.setCell(sheet, r, c, v);
    }
}

}  // namespace

class TestXls : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString file(const QString& name) const { return dir_.filePath(name); }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void roundTripKeepsTextsNumbersAndEmptyCells() {
    const Grid written = {
        {"产品名称", "型号", "规格", "数量", "单价", "备注"},
        {"电力电缆", "YJV", "3*95+1*50", "#42", "#12.5", ""},
        {"控制电缆", "KVV", "", "#-3", "#0.1", "急用，送到工地"},
        {"", "BV", "2.5", "#1234567.89", "#536870911", "007"},
        {"Ω特殊", "", "", "#536870912", "#-536870912", "#1e20"},
        {"", "", "", "", "", "末行"},
    };
    const Grid expected = {
        {"产品名称", "型号", "规格", "数量", "单价", "备注"},
        {"电力电缆", "YJV", "3*95+1*50", "42", "12.5", ""},
        {"控制电缆", "KVV", "", "-3", "0.1", "急用，送到工地"},
        {"", "BV", "2.5", "1234567.89", "536870911", "007"},
        {"Ω特殊", "", "", "536870912", "-536870912", "1e+20"},
        {"", "", "", "", "", "末行"},
    };
    XlsWriter xls;
    const int sheet = xls.addSheet("销售明细");
    PutGrid(xls, sheet, written);
    QString error;
    QVERIFY2(xls.save(file("basic.xls"), &error), qPrintable(error));

    QCOMPARE(XlsSheetNames(file("basic.xls"), &error), QStringList{"销售明细"});
    CompareGrids(Load(file("basic.xls"), "销售明细"), expected);
  }

  void laterValuesReplaceEarlierOnes() {
    XlsWriter xls;
    const int s = xls.addSheet("改写");
    xls.setCell(s, 0, 0, "左上");
    xls.setCell(s, 0, 1, "文本");
    xls.setNumber(s, 0, 1, 7);       // text becomes a number
    xls.setNumber(s, 1, 0, 3.5);
    xls.setCell(s, 1, 0, "三点五");  // number becomes a text
    xls.setCell(s, 1, 1, "将被清空");
    xls.setCell(s, 1, 1, "");
    xls.setCell(s, 2, 2, "角");
    QString error;
    QVERIFY2(xls.save(file("overwrite.xls"), &error), qPrintable(error));
    CompareGrids(Load(file("overwrite.xls"), "改写"), {{"左上", "7", ""}, {"三点五", "", ""}, {"", "", "角"}});
  }

  void usedRangeStartsAtTheFirstFilledCell() {
    XlsWriter xls;
    const int s = xls.addSheet("偏移");
    xls.setCell(s, 3, 2, "首");
    xls.setNumber(s, 5, 4, 9);
    xls.setBold(s, 8, 8, true);  // styled but empty: not part of the values
    QString error;
    QVERIFY2(xls.save(file("offset.xls"), &error), qPrintable(error));
    CompareGrids(Load(file("offset.xls"), "偏移"), {{"首", "", ""}, {"", "", ""}, {"", "", "9"}});
  }

  void datesReadBackAsIsoDates() {
    struct Case {
      QDate date;
      const char* text;
    };
    const Case cases[] = {
        {QDate(2024, 3, 5), "2024-03-05"},
        {QDate(2000, 2, 29), "2000-02-29"},
        {QDate(1900, 3, 1), "1900-03-01"},
        {QDate(2099, 12, 31), "2099-12-31"},
        {QDate(1899, 12, 31), "1899-12-31"},  // before the format's first day: kept as text
    };
    XlsWriter xls;
    const int s = xls.addSheet("日期");
    for (int i = 0; i < int(std::size(cases)); ++i) xls.setDate(s, i, 0, cases[i].date);
    xls.setDate(s, 0, 1, QDate(2024, 1, 1));
    xls.setNumber(s, 0, 1, 45);  // a number put over a date is a plain number again
    QString error;
    QVERIFY2(xls.save(file("dates.xls"), &error), qPrintable(error));
    const Grid rows = Load(file("dates.xls"), "日期");
    QCOMPARE(rows.size(), qsizetype(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) QCOMPARE(rows[i][0], QString::fromUtf8(cases[i].text));
    QCOMPARE(rows[0][1], QStringLiteral("45"));
  }

  void twentyThousandRowsNeedContinuedStringTable() {
    constexpr int kRows = 20000, kCols = 10;
    Grid expected;
    XlsWriter xls;
    const int s = xls.addSheet("大表");
    for (int r = 0; r < kRows; ++r) {
      QStringList row;
      for (int c = 0; c < kCols; ++c) {
        switch (c % 5) {
          case 0: xls.setNumber(s, r, c, r * 10 + c); row << QString::number(r * 10 + c); break;
          case 1: row << QStringLiteral("铜芯电缆%1-%2").arg(r).arg(c); xls.setCell(s, r, c, row.last()); break;
          case 2: row << QStringLiteral("米"); xls.setCell(s, r, c, row.last()); break;  // one shared string
          case 3: xls.setNumber(s, r, c, r + 0.25); row << QString::number(r + 0.25, 'g', 15); break;
          default: row << QString(); break;                                              // empty column
        }
      }
      expected << row;
    }
    QString error;
    QVERIFY2(xls.save(file("big.xls"), &error), qPrintable(error));

    const Compound doc = ReadCompound(file("big.xls"));
    QVERIFY(doc.ok);
    int continues = 0;
    for (const Record& rec : Records(doc.workbook)) {
      QVERIFY(rec.data.size() <= 8224);
      if (rec.type == 0x003C) ++continues;
    }
    QVERIFY(continues > 10);
    // The last column is empty everywhere, so the used range ends one earlier.
    for (QStringList& row : expected) row.removeLast();
    CompareGrids(Load(file("big.xls"), "大表"), expected);
  }

  void longStringsCrossIntoContinueRecords_data() {
    // Each text alone in its workbook: the SST record has 8213 bytes left
    // after its counts and the string's header, a CONTINUE 8223 after its
    // flags byte; a UTF-16 character takes two bytes.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("continues");
    QString pairs = QStringLiteral("缆");
    for (int i = 0; i < 3000; ++i) pairs += QString::fromUtf8("\xF0\x9F\x94\x8C");  // U+1F50C
    QTest::newRow("ascii filling the record") << QString(8213, u'a') << 0;
    QTest::newRow("ascii one past") << QString(8214, u'b') << 1;
    QTest::newRow("ascii filling two records") << QString(8213 + 8223, u'c') << 1;
    QTest::newRow("chinese filling the record") << QString(4106, u'线') << 0;
    QTest::newRow("chinese one past") << QString(4107, u'线') << 1;
    QTest::newRow("chinese filling two records") << QString(4106 + 4111, u'缆') << 1;
    QTest::newRow("surrogate pair at the boundary") << pairs << 1;
    QTest::newRow("latin then chinese") << QString(4200, u'x') + QStringLiteral("混合中文结尾") << 1;
  }
  void longStringsCrossIntoContinueRecords() {
    QFETCH(QString, text);
    QFETCH(int, continues);
    XlsWriter xls;
    const int s = xls.addSheet("长文本");
    xls.setCell(s, 0, 0, text);
    xls.setNumber(s, 1, 0, 7);  // a number after it, so the text is the table's only string
    QString error;
    QVERIFY2(xls.save(file("long.xls"), &error), qPrintable(error));
    const Compound doc = ReadCompound(file("long.xls"));
    QVERIFY(doc.ok);
    int found = 0;
    for (const Record& rec : Records(doc.workbook)) found += rec.type == 0x003C;
    QCOMPARE(found, continues);
    CompareGrids(Load(file("long.xls"), "长文本"), {{text}, {"7"}});
  }

  void stringsSpanningManyRecordsAreWrittenWhole() {
    // freexl 1.0.6 misreads a text spread over more than two records, so
    // these are decoded from the records directly.
    QString pairs;
    for (int i = 0; i < 5000; ++i) pairs += QString::fromUtf8("\xF0\x9F\x94\x8C");
    const QStringList texts = {QString(20000, u'a'), QString(9000, u'缆'), pairs, QStringLiteral("短"),
                               QString(XlsWriter::kMaxCellTextLength, u'满'), QString(8300, u'x') + QStringLiteral("尾")};
    XlsWriter xls;
    const int s = xls.addSheet("长文本");
    for (int i = 0; i < texts.size(); ++i) xls.setCell(s, i, 0, texts[i]);
    QString error;
    QVERIFY2(xls.save(file("longer.xls"), &error), qPrintable(error));
    const Compound doc = ReadCompound(file("longer.xls"));
    QVERIFY(doc.ok);

    QList<QByteArray> pieces;  // the SST record and its CONTINUE records
    for (const Record& rec : Records(doc.workbook)) {
      if (rec.type == 0x00FC) pieces = {rec.data};
      else if (rec.type == 0x003C && !pieces.isEmpty()) pieces << rec.data;
      else if (!pieces.isEmpty() && rec.type != 0x003C) break;
    }
    QVERIFY(pieces.size() > 5);
    for (const QByteArray& piece : pieces) QVERIFY(piece.size() <= 8224);
    int p = 0;
    qsizetype pos = 8;
    const uint32_t unique = krx::GetU32(Bytes(pieces[0]), 4);
    QStringList decoded;
    for (uint32_t i = 0; i < unique; ++i) {
      if (pos == pieces[p].size()) ++p, pos = 0;
      QVERIFY2(pieces[p].size() - pos >= 3, "string header split");
      const int length = krx::GetU16(Bytes(pieces[p]), pos);
      uint8_t flags = Bytes(pieces[p])[pos + 2];
      QCOMPARE(flags & ~1, 0);
      pos += 3;
      QString text;
      while (text.size() < length) {
        if (pos == pieces[p].size()) {
          if (!text.isEmpty()) QVERIFY2(!text.back().isHighSurrogate(), "surrogate pair torn apart");
          ++p;
          QVERIFY(p < pieces.size());
          flags = Bytes(pieces[p])[0];
          pos = 1;
        }
        const int size = (flags & 1) ? 2 : 1;
        while (text.size() < length && pos + size <= pieces[p].size()) {
          text += QChar(size == 2 ? krx::GetU16(Bytes(pieces[p]), pos) : Bytes(pieces[p])[pos]);
          pos += size;
        }
      }
      decoded << text;
    }
    QCOMPARE(decoded.size(), texts.size());
    for (int i = 0; i < texts.size(); ++i) QVERIFY2(decoded[i] == texts[i], qPrintable(QString::number(i)));
  }

  void manySheetsKeepOrderAndGetAcceptableNames() {
    struct Case {
      const char* asked;
      const char* written;
    };
    const Case cases[] = {
        {"客户", "客户"},
        {"客户", "客户 (2)"},
        {"a/b:c*d?e[f]g\\h", "a_b_c_d_e_f_g_h"},
        {"", "Sheet4"},
        {"'引号'", "_引号_"},
        {"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五", "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一"},
        {"Sheet", "Sheet"},
        {"SHEET", "SHEET (2)"},
    };
    XlsWriter xls;
    QStringList expectedNames;
    for (const Case& c : cases) {
      const int s = xls.addSheet(QString::fromUtf8(c.asked));
      QCOMPARE(xls.sheetName(s), QString::fromUtf8(c.written));
      expectedNames << QString::fromUtf8(c.written);
    }
    for (int i = int(std::size(cases)); i < 40; ++i) expectedNames << xls.sheetName(xls.addSheet(QStringLiteral("分表%1").arg(i)));
    for (int s = 0; s < xls.sheetCount(); ++s) {
      xls.setCell(s, 0, 0, xls.sheetName(s));
      xls.setNumber(s, 1, 0, s);
    }
    QString error;
    QVERIFY2(xls.save(file("sheets.xls"), &error), qPrintable(error));
    QCOMPARE(XlsSheetNames(file("sheets.xls"), &error), expectedNames);
    for (int s = 0; s < expectedNames.size(); ++s)
      CompareGrids(Load(file("sheets.xls"), expectedNames[s]), {{expectedNames[s]}, {QString::number(s)}});
  }

  void cellsBeyondTheFormatLimitsAreRefused_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("message");
    QTest::newRow("row 65537") << 65536 << 0 << "行数上限（65536 行）";
    QTest::newRow("column 257") << 0 << 256 << "列数上限（256 列）";
    QTest::newRow("negative row") << -1 << 0 << "单元格位置无效";
    QTest::newRow("negative column") << 0 << -1 << "单元格位置无效";
  }
  void cellsBeyondTheFormatLimitsAreRefused() {
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, message);
    const QString path = file("refused.xls");
    QFile::remove(path);
    XlsWriter xls;
    const int s = xls.addSheet("超限");
    xls.setCell(s, 0, 0, "正常");
    QVERIFY(!xls.setNumber(s, row, col, 1));
    xls.setCell(s, 1, 0, "之后的正常单元格");
    QString error;
    QVERIFY(!xls.save(path, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!QFile::exists(path));
  }

  void otherRefusals() {
    XlsWriter xls;
    const int s = xls.addSheet("表");
    QVERIFY(!xls.setCell(s, 0, 0, QString(XlsWriter::kMaxCellTextLength + 1, u'长')));
    QVERIFY(!xls.setCell(s + 1, 0, 0, "无此表"));
    QVERIFY(!xls.setColumnWidth(s, 256, 80));
    QString error;
    QVERIFY(!xls.save(file("refused2.xls"), &error));
    QVERIFY2(error.contains("32767"), qPrintable(error));  // the first refusal is reported

    XlsWriter fine;
    fine.setCell(fine.addSheet("表"), 0, 0, "内容");
    QVERIFY(!fine.save(file("no such folder/x.xls"), &error));
    QVERIFY2(error.startsWith("无法写入文件"), qPrintable(error));
  }

  void lastRowAndColumnAreAccepted() {
    XlsWriter xls;
    const int s = xls.addSheet("边界");
    QVERIFY(xls.setCell(s, 65535, 254, "倒数第二列"));
    QVERIFY(xls.setNumber(s, 65535, 255, 65536));
    QString error;
    QVERIFY2(xls.save(file("edge.xls"), &error), qPrintable(error));
    CompareGrids(Load(file("edge.xls"), "边界"), {{"倒数第二列", "65536"}});
  }

  void bigWorkbookNeedsDifatSectors() {
    // 60 000 rows of 16 fractional numbers are about 17 MB of records: more
    // FAT sectors than the header's 109 entries can list.
    constexpr int kRows = 60000, kCols = 16;
    XlsWriter xls;
    const int s = xls.addSheet("数值");
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) xls.setNumber(s, r, c, r * 100.0 + c + 0.5);
    QString error;
    QVERIFY2(xls.save(file("difat.xls"), &error), qPrintable(error));
    const Compound doc = ReadCompound(file("difat.xls"));
    QVERIFY(doc.ok);
    QVERIFY(doc.fatSectors > 109);
    QVERIFY(doc.difatSectors >= 1);

    const Grid rows = Load(file("difat.xls"), "数值");
    QCOMPARE(rows.size(), qsizetype(kRows));
    for (int r = 0; r < kRows; ++r) {
      QCOMPARE(rows[r].size(), qsizetype(kCols));
      for (int c = 0; c < kCols; ++c)
        if (rows[r][c] != QString::number(r * 100.0 + c + 0.5, 'g', 15))
          QFAIL(qPrintable(QStringLiteral("cell (%1,%2): %3").arg(r).arg(c).arg(rows[r][c])));
    }
  }

  void smallWorkbookStaysOutOfTheMiniStream() {
    XlsWriter xls;
    xls.setCell(xls.addSheet("小"), 0, 0, "一");
    QString error;
    QVERIFY2(xls.save(file("small.xls"), &error), qPrintable(error));
    const Compound doc = ReadCompound(file("small.xls"));
    QVERIFY(doc.ok);
    QVERIFY(doc.workbook.size() >= 4096);
    QCOMPARE(doc.rootSize, 0u);  // no mini stream at all
    CompareGrids(Load(file("small.xls"), "小"), {{"一"}});
  }

  void workbookWithoutSheetsGetsOneEmptySheet() {
    XlsWriter xls;
    QString error;
    QVERIFY2(xls.save(file("empty.xls"), &error), qPrintable(error));
    QCOMPARE(XlsSheetNames(file("empty.xls"), &error), QStringList{"Sheet1"});
    Grid rows{{"left over"}};
    QVERIFY2(XlsLoadSheet(file("empty.xls"), "Sheet1", &rows, &error), qPrintable(error));
    QVERIFY(rows.isEmpty());
  }

  void boldBorderAndWidthsReachTheFile() {
    XlsWriter xls;
    const int s = xls.addSheet("样式");
    xls.setCell(s, 0, 0, "标题");
    xls.setBold(s, 0, 0, true);
    xls.setBorder(s, 0, 0, true);
    xls.setAlignment(s, 0, 0, XlsWriter::Align::Center);
    xls.setCell(s, 1, 0, "普通");
    xls.setBorder(s, 1, 1, true);  // empty cell with a border: a BLANK record
    xls.setColumnWidth(s, 0, 64);
    xls.setColumnWidth(s, 1, 0);
    QString error;
    QVERIFY2(xls.save(file("styles.xls"), &error), qPrintable(error));

    const Compound doc = ReadCompound(file("styles.xls"));
    QVERIFY(doc.ok);
    QList<QByteArray> fonts, xfs;
    QMap<QPair<int, int>, int> cellXf;
    QMap<int, QPair<int, int>> widths;  // col -> (width units, options)
    for (const Record& rec : Records(doc.workbook)) {
      const uint8_t* d = Bytes(rec.data);
      if (rec.type == 0x0031) fonts << rec.data;
      if (rec.type == 0x00E0) xfs << rec.data;
      if (rec.type == 0x00FD || rec.type == 0x0201) cellXf[{krx::GetU16(d, 0), krx::GetU16(d, 2)}] = krx::GetU16(d, 4);
      if (rec.type == 0x007D) widths[krx::GetU16(d, 0)] = {krx::GetU16(d, 4), krx::GetU16(d, 8)};
    }
    auto fontOf = [&](int xf) {
      const int index = krx::GetU16(Bytes(xfs.value(xf)), 0);
      return fonts.value(index > 4 ? index - 1 : index);  // there is no font 4
    };
    auto weightOf = [&](int row, int col) { return krx::GetU16(Bytes(fontOf(cellXf.value({row, col}))), 6); };
    auto bordersOf = [&](int row, int col) { return krx::GetU32(Bytes(xfs.value(cellXf.value({row, col}))), 10) & 0xFFFF; };
    auto alignOf = [&](int row, int col) { return Bytes(xfs.value(cellXf.value({row, col})))[6] & 0x07; };
    QVERIFY(cellXf.contains({1, 1}));
    QCOMPARE(weightOf(0, 0), 700);
    QCOMPARE(weightOf(1, 0), 400);
    QCOMPARE(bordersOf(0, 0), 0x1111u);
    QCOMPARE(bordersOf(1, 0), 0u);
    QCOMPARE(bordersOf(1, 1), 0x1111u);
    QCOMPARE(alignOf(0, 0), 2);
    QCOMPARE(alignOf(1, 0), 0);
    QCOMPARE(widths.value(0).first, 2158);  // 64 pixels: 8.43 characters, the usual default
    QCOMPARE(widths.value(0).second & 1, 0);
    QCOMPARE(widths.value(1).second & 1, 1);  // width 0: hidden
    // Values are unaffected by the styles.
    CompareGrids(Load(file("styles.xls"), "样式"), {{"标题"}, {"普通"}});
  }

  void readingFailuresAreReported() {
    QString error;
    QVERIFY(XlsSheetNames(file("missing.xls"), &error).isEmpty());
    QVERIFY2(error.contains("missing.xls"), qPrintable(error));

    QFile junk(file("junk.xls"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(5000, 'z'));
    junk.close();
    error.clear();
    QVERIFY(XlsSheetNames(file("junk.xls"), &error).isEmpty());
    QVERIFY2(error.contains("junk.xls"), qPrintable(error));

    XlsWriter xls;
    xls.setCell(xls.addSheet("Data"), 0, 0, "x");
    QVERIFY(xls.save(file("named.xls"), &error));
    Grid rows;
    QVERIFY(!XlsLoadSheet(file("named.xls"), "其他", &rows, &error));
    QVERIFY2(error.contains("其他"), qPrintable(error));
    QVERIFY2(XlsLoadSheet(file("named.xls"), "data", &rows, &error), qPrintable(error));  // case ignored
    CompareGrids(rows, {{"x"}});
  }
};

QTEST_MAIN(TestXls)
#include "test_xls.moc"
