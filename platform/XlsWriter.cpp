// An .XLS file is a compound document (a small FAT file system in one file)
// holding one stream, "Workbook", made of BIFF8 records. Everything below is
// little-endian.
//
// Compound document, 512-byte sectors, sector n at file offset 512 * (n + 1):
//     header (512)      : signature D0 CF 11 E0 A1 B1 1A E1, minor 0x003E,
//                         major 3, byte order FFFE, sector shift 9, mini
//                         shift 6, FAT sector count, first directory sector,
//                         mini cutoff 4096, first mini FAT (none), first
//                         DIFAT sector and count, then the first 109 FAT
//                         sector numbers (DIFAT)
//     sectors 0..S-1    : the Workbook stream, zero padded to a whole sector
//     sector S          : directory, 4 entries of 128 bytes: "Root Entry"
//                         (child 1), "Workbook" (start 0, size), 2 unused
//     next F sectors    : FAT, 128 next-sector numbers each
//                         (FFFFFFFE end of chain, FFFFFFFD FAT, FFFFFFFC
//                         DIFAT sector, FFFFFFFF free)
//     next D sectors    : DIFAT, when F > 109: 127 more FAT sector numbers
//                         and the number of the next DIFAT sector
// The stream is kept at 4096 bytes or more, so it never belongs in the mini
// stream; a small workbook is padded with one unused shared string.
//
// Workbook stream, each record: type u16, length u16 (at most 8224), data.
//     globals   : BOF(dt 5) CODEPAGE(1200 = UTF-16) WINDOW1 DATEMODE
//                 FONT x5 (the fifth, index 5, bold) XF x(16 + styles)
//                 STYLE(Normal) BOUNDSHEET per sheet (stream offset of the
//                 sheet's BOF, name) SST [CONTINUE...] EXTSST EOF
//     per sheet : BOF(dt 0x10) DEFCOLWIDTH COLINFO per sized column
//                 DIMENSION, per block of 32 rows: ROW records then the
//                 cells (LABELSST, RK, NUMBER, BLANK, BOOLERR), WINDOW2 EOF
// Shared strings: cch u16, flags u8 (bit 0: UTF-16, else one byte per
// character), characters. A string whose characters do not fit its record
// goes on in a CONTINUE record that starts with a fresh flags byte; the
// three header bytes are never split, nor is a UTF-16 character.
#include "XlsWriter.h"

#include <QDate>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "../engine/KrxBytes.h"

namespace velmor {

namespace {

constexpr size_t kMaxRecordData = 8224;
constexpr uint32_t kSectorSize = 512;
constexpr uint32_t kFatEntriesPerSector = kSectorSize / 4;
constexpr uint32_t kHeaderDifatEntries = 109;
constexpr uint32_t kMiniStreamCutoff = 4096;
constexpr uint32_t kFreeSector = 0xFFFFFFFFu;
constexpr uint32_t kEndOfChain = 0xFFFFFFFEu;
constexpr uint32_t kFatSector = 0xFFFFFFFDu;
constexpr uint32_t kDifatSector = 0xFFFFFFFCu;
constexpr uint32_t kNoStream = 0xFFFFFFFFu;

// Record types.
constexpr uint16_t kBof = 0x0809;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kCodepage = 0x0042;
constexpr uint16_t kWindow1 = 0x003D;
constexpr uint16_t kDateMode = 0x0022;
constexpr uint16_t kFont = 0x0031;
constexpr uint16_t kXf = 0x00E0;
constexpr uint16_t kStyle = 0x0293;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kExtSst = 0x00FF;
constexpr uint16_t kDefColWidth = 0x0055;
constexpr uint16_t kColInfo = 0x007D;
constexpr uint16_t kDimension = 0x0200;
constexpr uint16_t kRow = 0x0208;
constexpr uint16_t kLabelSst = 0x00FD;
constexpr uint16_t kRk = 0x027E;
constexpr uint16_t kNumber = 0x0203;
constexpr uint16_t kBlank = 0x0201;
constexpr uint16_t kBoolErr = 0x0205;
constexpr uint16_t kWindow2 = 0x023E;

constexpr uint16_t kDefaultCellXf = 15;
constexpr uint16_t kFirstOwnXf = 16;
constexpr uint16_t kBoldFontIndex = 5;
constexpr uint8_t kErrorNum = 0x24;  // #NUM!
constexpr int kRowsPerBlock = 32;

// A cell's style packed in one byte: bit 0 bold, bit 1 border, bits 2-3
// align, bit 4 shown as a date.
constexpr uint8_t kStyleBold = 0x01;
constexpr uint8_t kStyleBorder = 0x02;
constexpr uint8_t kStyleAlignShift = 2;
constexpr uint8_t kStyleAlignMask = 0x0C;
constexpr uint8_t kStyleDate = 0x10;
constexpr uint16_t kShortDateFormat = 14;  // built-in number format: the short date

enum class CellKind : uint8_t { Empty, Text, Number };

struct Cell {
  CellKind kind = CellKind::Empty;
  uint8_t style = 0;
  uint32_t text = 0;  // index into the writer's string pool
  double number = 0;
};

struct Sheet {
  QString name;
  std::map<uint32_t, Cell> cells;      // key row << 8 | col: row-major order
  std::map<int, int> columnPixels;     // col -> width in pixels
};

uint32_t CellKey(int row, int col) { return (static_cast<uint32_t>(row) << 8) | static_cast<uint32_t>(col); }
int KeyRow(uint32_t key) { return static_cast<int>(key >> 8); }
int KeyCol(uint32_t key) { return static_cast<int>(key & 0xFF); }

// Appends BIFF records to a byte buffer; a record's length is filled in when
// it ends.
class RecordBuffer {
 public:
  std::vector<uint8_t>& bytes() { return bytes_; }
  size_t size() const { return bytes_.size(); }
  // Bytes already in the open record's data part.
  size_t recordDataSize() const { return bytes_.size() - recordStart_ - 4; }
  size_t recordOffset() const { return bytes_.size() - recordStart_; }

  void begin(uint16_t type) {
    recordStart_ = bytes_.size();
    u16(type);
    u16(0);
  }
  void end() { krx::PutU16(bytes_.data(), recordStart_ + 2, static_cast<uint16_t>(recordDataSize())); }
  void empty(uint16_t type) {
    begin(type);
    end();
  }

  void u8(uint8_t v) { bytes_.push_back(v); }
  void u16(uint16_t v) { krx::PutU16(grow(2), 0, v); }
  void u32(uint32_t v) { krx::PutU32(grow(4), 0, v); }
  void f64(double v) { krx::PutF64(grow(8), 0, v); }
  void zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  void append(const std::vector<uint8_t>& other) { bytes_.insert(bytes_.end(), other.begin(), other.end()); }
  void patchU32(size_t offset, uint32_t v) { krx::PutU32(bytes_.data(), offset, v); }

 private:
  uint8_t* grow(size_t n) {
    bytes_.resize(bytes_.size() + n);
    return bytes_.data() + bytes_.size() - n;
  }
  std::vector<uint8_t> bytes_;
  size_t recordStart_ = 0;
};

bool FitsOneByte(const QString& s) {
  for (QChar c : s)
    if (c.unicode() > 0xFF) return false;
  return true;
}

void PutChars(RecordBuffer& out, const QString& s, int from, int count, bool wide) {
  for (int i = from; i < from + count; ++i) {
    const uint16_t c = s.at(i).unicode();
    if (wide) out.u16(c);
    else out.u8(static_cast<uint8_t>(c));
  }
}

// Name with an 8-bit length, never continued (sheet and font names).
void PutShortString(RecordBuffer& out, const QString& s) {
  const bool wide = !FitsOneByte(s);
  out.u8(static_cast<uint8_t>(s.size()));
  out.u8(wide ? 1 : 0);
  PutChars(out, s, 0, static_cast<int>(s.size()), wide);
}

// The shared string table with its CONTINUE records, noting for EXTSST where
// every bucket's first string starts.
void PutSharedStrings(RecordBuffer& out, const std::vector<const QString*>& strings, uint32_t totalRefs) {
  const uint32_t unique = static_cast<uint32_t>(strings.size());
  const uint32_t perBucket = std::max<uint32_t>(8, (unique + 127) / 128);
  std::vector<std::pair<uint32_t, uint16_t>> buckets;

  out.begin(kSst);
  out.u32(totalRefs);
  out.u32(unique);
  for (uint32_t i = 0; i < unique; ++i) {
    const QString& s = *strings[i];
    const bool wide = !FitsOneByte(s);
    const size_t charSize = wide ? 2 : 1;
    const size_t headerNeed = 3 + (s.isEmpty() ? 0 : charSize);
    if (out.recordDataSize() + headerNeed > kMaxRecordData) {
      out.end();
      out.begin(kContinue);
    }
    if (i % perBucket == 0)
      buckets.emplace_back(static_cast<uint32_t>(out.size()), static_cast<uint16_t>(out.recordOffset()));
    out.u16(static_cast<uint16_t>(s.size()));
    out.u8(wide ? 1 : 0);
    int written = 0;
    const int length = static_cast<int>(s.size());
    while (written < length) {
      const int room = static_cast<int>((kMaxRecordData - out.recordDataSize()) / charSize);
      int count = std::min(room, length - written);
      // Keep a surrogate pair in one record, so readers that convert each
      // piece on its own see whole characters.
      if (count > 0 && count < length - written && s.at(written + count - 1).isHighSurrogate()) --count;
      if (count == 0) {
        out.end();
        out.begin(kContinue);
        out.u8(wide ? 1 : 0);
        continue;
      }
      PutChars(out, s, written, count, wide);
      written += count;
    }
  }
  out.end();

  out.begin(kExtSst);
  out.u16(static_cast<uint16_t>(perBucket));
  for (const auto& [streamPos, recordOffset] : buckets) {
    out.u32(streamPos);
    out.u16(recordOffset);
    out.u16(0);
  }
  out.end();
}

void PutBof(RecordBuffer& out, uint16_t substreamType) {
  out.begin(kBof);
  out.u16(0x0600);  // BIFF8
  out.u16(substreamType);
  out.u16(0x0DBB);  // build
  out.u16(0x07CC);  // year
  out.u32(0);       // file history
  out.u32(0x06);    // lowest version that can read the file: BIFF8
  out.end();
}

void PutFont(RecordBuffer& out, bool bold) {
  out.begin(kFont);
  out.u16(220);     // height in twips: 11 pt
  out.u16(bold ? 0x0001 : 0);  // bold (repeating the weight), not italic
  out.u16(0x7FFF);  // automatic colour
  out.u16(bold ? 700 : 400);
  out.u16(0);       // neither super- nor subscript
  out.u8(0);        // no underline
  out.u8(0);        // font family: any
  out.u8(0x86);     // character set GB2312
  out.u8(0);
  PutShortString(out, QStringLiteral("宋体"));
  out.end();
}

// XF: font, number format, protection/parent, alignment, rotation, indent,
// used-attribute flags, then 10 bytes of borders and fill.
void PutXf(RecordBuffer& out, uint16_t font, uint16_t format, bool styleXf, uint8_t usedFlags,
           uint8_t horizontal, bool border) {
  out.begin(kXf);
  out.u16(font);
  out.u16(format);
  out.u16(styleXf ? 0xFFF5 : 0x0001);           // locked; style XF: parent 0xFFF
  out.u8(static_cast<uint8_t>(horizontal | 0x20));  // vertical: bottom
  out.u8(0);                                    // no rotation
  out.u8(0);                                    // no indent
  out.u8(usedFlags);
  if (border) {
    // Thin lines on all four sides, colour 8 (black).
    out.u32(0x1111u | (8u << 16) | (8u << 23));
    out.u32(8u | (8u << 7));
  } else {
    out.u32(0);
    out.u32(0);
  }
  out.u16(0x20C0);  // pattern colours: window text on window background
  out.end();
}

uint8_t HorizontalOf(uint8_t style) {
  switch ((style & kStyleAlignMask) >> kStyleAlignShift) {
    case 1: return 1;  // left
    case 2: return 2;  // centre
    case 3: return 3;  // right
    default: return 0;
  }
}

void PutCellXf(RecordBuffer& out, uint8_t style) {
  const bool bold = style & kStyleBold;
  const bool border = style & kStyleBorder;
  const uint8_t horizontal = HorizontalOf(style);
  // Bits 2..7: number format, font, alignment, border, fill, protection set
  // here rather than taken from the parent style.
  uint8_t used = 0;
  const bool date = style & kStyleDate;
  if (date) used |= 0x04;
  if (bold) used |= 0x08;
  if (horizontal) used |= 0x10;
  if (border) used |= 0x20;
  PutXf(out, bold ? kBoldFontIndex : 0, date ? kShortDateFormat : 0, false, used, horizontal, border);
}

// An integer that fits an RK value's 30 bits is stored in 4 bytes.
bool AsRkInteger(double v, uint32_t* rk) {
  if (!std::isfinite(v) || v != std::floor(v) || v < -536870912.0 || v > 536870911.0) return false;
  if (v == 0 && std::signbit(v)) return false;
  const int32_t i = static_cast<int32_t>(v);
  *rk = (static_cast<uint32_t>(i) << 2) | 0x02;
  return true;
}

// Excel's column width unit is 1/256 of a digit's width; a digit of the
// default font is 7 pixels wide and a column adds 5 pixels of padding.
uint16_t ColumnWidthUnits(int pixels) {
  if (pixels <= 0) return 0;
  const double chars = std::max(1.0, static_cast<double>(pixels) - 5.0) / 7.0;
  return static_cast<uint16_t>(std::clamp(std::lround(chars * 256.0), 1L, 255L * 256L));
}

struct StyleTable {
  std::vector<uint8_t> styles;  // in XF order from kFirstOwnXf
  uint16_t xf[256];             // style byte -> XF index
};

std::vector<uint8_t> BuildSheetStream(const Sheet& sheet, const StyleTable& styles,
                                      const std::vector<int32_t>& sstIndexOfPool, bool selected) {
  RecordBuffer out;
  PutBof(out, 0x0010);

  out.begin(kDefColWidth);
  out.u16(8);
  out.end();
  for (const auto& [col, pixels] : sheet.columnPixels) {
    out.begin(kColInfo);
    out.u16(static_cast<uint16_t>(col));
    out.u16(static_cast<uint16_t>(col));
    out.u16(ColumnWidthUnits(pixels));
    out.u16(kDefaultCellXf);
    out.u16(pixels <= 0 ? 0x0001 : 0x0000);  // hidden
    out.u16(0);
    out.end();
  }

  // The cells actually written: values, and empty cells that carry a style.
  std::vector<std::pair<uint32_t, const Cell*>> written;
  written.reserve(sheet.cells.size());
  for (const auto& [key, cell] : sheet.cells)
    if (cell.kind != CellKind::Empty || cell.style != 0) written.emplace_back(key, &cell);

  out.begin(kDimension);
  if (written.empty()) {
    out.zeros(14);
  } else {
    int firstCol = 255, lastCol = 0;
    for (const auto& [key, cell] : written) {
      firstCol = std::min(firstCol, KeyCol(key));
      lastCol = std::max(lastCol, KeyCol(key));
    }
    out.u32(static_cast<uint32_t>(KeyRow(written.front().first)));
    out.u32(static_cast<uint32_t>(KeyRow(written.back().first) + 1));
    out.u16(static_cast<uint16_t>(firstCol));
    out.u16(static_cast<uint16_t>(lastCol + 1));
    out.u16(0);
  }
  out.end();

  size_t next = 0;
  while (next < written.size()) {
    // One block: the rows of a 32-row band, their ROW records first.
    const int band = KeyRow(written[next].first) / kRowsPerBlock;
    size_t blockEnd = next;
    while (blockEnd < written.size() && KeyRow(written[blockEnd].first) / kRowsPerBlock == band) ++blockEnd;
    for (size_t i = next; i < blockEnd;) {
      const int row = KeyRow(written[i].first);
      size_t rowEnd = i;
      while (rowEnd < blockEnd && KeyRow(written[rowEnd].first) == row) ++rowEnd;
      out.begin(kRow);
      out.u16(static_cast<uint16_t>(row));
      out.u16(static_cast<uint16_t>(KeyCol(written[i].first)));
      out.u16(static_cast<uint16_t>(KeyCol(written[rowEnd - 1].first) + 1));
      out.u16(300);  // height in twips, recomputed by the reader (not "unsynced")
      out.u16(0);
      out.u16(0);
      out.u32(0x00000100u | (static_cast<uint32_t>(kDefaultCellXf) << 16));
      out.end();
      i = rowEnd;
    }
    for (size_t i = next; i < blockEnd; ++i) {
      const uint32_t key = written[i].first;
      const Cell& cell = *written[i].second;
      const uint16_t xf = cell.style ? styles.xf[cell.style] : kDefaultCellXf;
      uint32_t rk = 0;
      if (cell.kind == CellKind::Text) {
        out.begin(kLabelSst);
      } else if (cell.kind == CellKind::Number && AsRkInteger(cell.number, &rk)) {
        out.begin(kRk);
      } else if (cell.kind == CellKind::Number && std::isfinite(cell.number)) {
        out.begin(kNumber);
      } else if (cell.kind == CellKind::Number) {
        out.begin(kBoolErr);
      } else {
        out.begin(kBlank);
      }
      out.u16(static_cast<uint16_t>(KeyRow(key)));
      out.u16(static_cast<uint16_t>(KeyCol(key)));
      out.u16(xf);
      if (cell.kind == CellKind::Text) {
        out.u32(static_cast<uint32_t>(sstIndexOfPool[cell.text]));
      } else if (cell.kind == CellKind::Number) {
        if (AsRkInteger(cell.number, &rk)) {
          out.u32(rk);
        } else if (std::isfinite(cell.number)) {
          out.f64(cell.number);
        } else {
          out.u8(kErrorNum);
          out.u8(1);  // an error value, not a boolean
        }
      }
      out.end();
    }
    next = blockEnd;
  }

  out.begin(kWindow2);
  out.u16(selected ? 0x06B6 : 0x00B6);  // grid, headers, zeros, outline; selected and shown
  out.u16(0);                           // top row
  out.u16(0);                           // left column
  out.u16(64);                          // grid line colour: automatic
  out.u16(0);
  out.u16(0);                           // zoom: default
  out.u16(0);
  out.u32(0);
  out.end();

  out.empty(kEof);
  return std::move(out.bytes());
}

std::vector<uint8_t> BuildGlobals(const std::vector<Sheet>& sheets, const StyleTable& styles,
                                  const std::vector<const QString*>& strings, uint32_t totalRefs,
                                  std::vector<size_t>* sheetOffsetFields) {
  RecordBuffer out;
  PutBof(out, 0x0005);

  out.begin(kCodepage);
  out.u16(1200);
  out.end();

  out.begin(kWindow1);
  out.u16(0x0168);  // window position and size in twips
  out.u16(0x001E);
  out.u16(0x3A5C);
  out.u16(0x23BE);
  out.u16(0x0038);  // horizontal and vertical scroll bars, sheet tabs
  out.u16(0);       // active sheet
  out.u16(0);       // first visible tab
  out.u16(1);       // selected sheets
  out.u16(0x0258);  // tab bar width ratio
  out.end();

  out.begin(kDateMode);
  out.u16(0);  // 1900 date system
  out.end();

  for (int i = 0; i < 4; ++i) PutFont(out, false);
  PutFont(out, true);  // index 5 (there is no font 4)

  // The 15 style XFs and the default cell XF every workbook starts with.
  PutXf(out, 0, 0, true, 0x00, 0, false);
  for (int i = 1; i < 15; ++i) PutXf(out, 0, 0, true, 0xF4, 0, false);
  PutXf(out, 0, 0, false, 0x00, 0, false);
  for (uint8_t style : styles.styles) PutCellXf(out, style);

  out.begin(kStyle);
  out.u16(0x8000);  // built-in style on XF 0
  out.u8(0);        // "Normal"
  out.u8(0xFF);
  out.end();

  sheetOffsetFields->clear();
  for (const Sheet& sheet : sheets) {
    out.begin(kBoundSheet);
    sheetOffsetFields->push_back(out.size());
    out.u32(0);  // stream offset of the sheet's BOF, patched later
    out.u8(0);   // visible
    out.u8(0);   // worksheet
    PutShortString(out, sheet.name);
    out.end();
  }

  PutSharedStrings(out, strings, totalRefs);
  out.empty(kEof);
  return std::move(out.bytes());
}

// Wraps the workbook stream into a compound document.
std::vector<uint8_t> BuildCompoundDocument(const std::vector<uint8_t>& workbook) {
  const uint32_t streamSectors = static_cast<uint32_t>((workbook.size() + kSectorSize - 1) / kSectorSize);
  const uint32_t directorySectors = 1;
  uint32_t fatSectors = 0, difatSectors = 0;
  for (;;) {
    const uint32_t total = streamSectors + directorySectors + fatSectors + difatSectors;
    const uint32_t needFat = (total + kFatEntriesPerSector - 1) / kFatEntriesPerSector;
    const uint32_t needDifat =
        needFat > kHeaderDifatEntries ? (needFat - kHeaderDifatEntries + kFatEntriesPerSector - 2) /
                                            (kFatEntriesPerSector - 1)
                                      : 0;
    if (needFat == fatSectors && needDifat == difatSectors) break;
    fatSectors = needFat;
    difatSectors = needDifat;
  }
  const uint32_t directoryStart = streamSectors;
  const uint32_t fatStart = directoryStart + directorySectors;
  const uint32_t difatStart = fatStart + fatSectors;
  const uint32_t totalSectors = difatStart + difatSectors;

  std::vector<uint8_t> file(static_cast<size_t>(totalSectors + 1) * kSectorSize, 0);
  uint8_t* const header = file.data();
  auto sector = [&](uint32_t n) { return file.data() + static_cast<size_t>(n + 1) * kSectorSize; };

  static const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::copy(std::begin(kSignature), std::end(kSignature), header);
  krx::PutU16(header, 0x18, 0x003E);
  krx::PutU16(header, 0x1A, 0x0003);
  krx::PutU16(header, 0x1C, 0xFFFE);
  krx::PutU16(header, 0x1E, 9);
  krx::PutU16(header, 0x20, 6);
  krx::PutU32(header, 0x2C, fatSectors);
  krx::PutU32(header, 0x30, directoryStart);
  krx::PutU32(header, 0x38, kMiniStreamCutoff);
  krx::PutU32(header, 0x3C, kEndOfChain);
  krx::PutU32(header, 0x40, 0);
  krx::PutU32(header, 0x44, difatSectors ? difatStart : kEndOfChain);
  krx::PutU32(header, 0x48, difatSectors);
  for (uint32_t i = 0; i < kHeaderDifatEntries; ++i)
    krx::PutU32(header, 0x4C + 4 * i, i < fatSectors ? fatStart + i : kFreeSector);

  std::copy(workbook.begin(), workbook.end(), sector(0));

  // Directory: the root storage with the Workbook stream as its only child.
  auto putEntry = [&](uint32_t index, const QString& name, uint8_t type, uint32_t child, uint32_t start,
                      uint32_t size) {
    uint8_t* e = sector(directoryStart) + 128 * index;
    krx::PutU32(e, 0x44, kNoStream);
    krx::PutU32(e, 0x48, kNoStream);
    krx::PutU32(e, 0x4C, kNoStream);
    if (type == 0) return;
    for (int i = 0; i < name.size(); ++i) krx::PutU16(e, 2 * i, name.at(i).unicode());
    krx::PutU16(e, 0x40, static_cast<uint16_t>(2 * (name.size() + 1)));
    e[0x42] = type;
    e[0x43] = 1;  // black
    krx::PutU32(e, 0x4C, child);
    krx::PutU32(e, 0x74, start);
    krx::PutU32(e, 0x78, size);
  };
  putEntry(0, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
  putEntry(1, QStringLiteral("Workbook"), 2, kNoStream, 0, static_cast<uint32_t>(workbook.size()));
  putEntry(2, QString(), 0, 0, 0, 0);
  putEntry(3, QString(), 0, 0, 0, 0);

  auto setFat = [&](uint32_t index, uint32_t value) {
    krx::PutU32(sector(fatStart + index / kFatEntriesPerSector), 4 * (index % kFatEntriesPerSector), value);
  };
  for (uint32_t i = 0; i < fatSectors * kFatEntriesPerSector; ++i) setFat(i, kFreeSector);
  for (uint32_t i = 0; i < streamSectors; ++i) setFat(i, i + 1 < streamSectors ? i + 1 : kEndOfChain);
  setFat(directoryStart, kEndOfChain);
  for (uint32_t i = 0; i < fatSectors; ++i) setFat(fatStart + i, kFatSector);
  for (uint32_t i = 0; i < difatSectors; ++i) setFat(difatStart + i, kDifatSector);

  // FAT sectors past the first 109 are listed in the DIFAT chain.
  for (uint32_t d = 0; d < difatSectors; ++d) {
    uint8_t* s = sector(difatStart + d);
    for (uint32_t i = 0; i < kFatEntriesPerSector - 1; ++i) {
      const uint32_t fatIndex = kHeaderDifatEntries + d * (kFatEntriesPerSector - 1) + i;
      krx::PutU32(s, 4 * i, fatIndex < fatSectors ? fatStart + fatIndex : kFreeSector);
    }
    krx::PutU32(s, 4 * (kFatEntriesPerSector - 1), d + 1 < difatSectors ? difatStart + d + 1 : kEndOfChain);
  }
  return file;
}

QString CleanSheetName(const QString& raw, int position) {
  QString name;
  name.reserve(raw.size());
  for (QChar c : raw) {
    if (c == u'[' || c == u']' || c == u':' || c == u'*' || c == u'?' || c == u'/' || c == u'\\' ||
        c.unicode() < 0x20)
      name += u'_';
    else
      name += c;
  }
  // A name may not begin or end with an apostrophe.
  if (name.startsWith(u'\'')) name[0] = u'_';
  if (name.endsWith(u'\'')) name[name.size() - 1] = u'_';
  if (name.trimmed().isEmpty()) name = QStringLiteral("Sheet%1").arg(position + 1);
  return name;
}

QString CutToLength(const QString& s, int length) {
  if (s.size() <= length) return s;
  int cut = length;
  if (cut > 0 && s.at(cut - 1).isHighSurrogate()) --cut;
  return s.left(cut);
}

}  // namespace

struct XlsWriter::Impl {
  std::vector<Sheet> sheets;
  std::vector<QString> pool;
  QHash<QString, uint32_t> poolIndex;
  QString refusal;  // the first refused request, reported by save()

  bool refuse(const QString& why) {
    if (refusal.isEmpty()) refusal = why;
    return false;
  }

  bool checkSheet(int sheet) {
    if (sheet >= 0 && sheet < static_cast<int>(sheets.size())) return true;
    return refuse(QStringLiteral("没有第 %1 个工作表。").arg(sheet + 1));
  }

  bool checkColumn(int sheet, int col) {
    if (!checkSheet(sheet)) return false;
    if (col >= kMaxColumns)
      return refuse(QStringLiteral("工作表“%1”超过了 .XLS 文件的列数上限（%2 列），请减少列数或另存为 .xlsx 文件。")
                        .arg(sheets[sheet].name)
                        .arg(kMaxColumns));
    if (col < 0) return refuse(QStringLiteral("单元格位置无效：第 %1 列。").arg(col + 1));
    return true;
  }

  Cell* cellAt(int sheet, int row, int col) {
    if (!checkColumn(sheet, col)) return nullptr;
    if (row >= kMaxRows) {
      refuse(QStringLiteral("工作表“%1”超过了 .XLS 文件的行数上限（%2 行），请减少行数或另存为 .xlsx 文件。")
                 .arg(sheets[sheet].name)
                 .arg(kMaxRows));
      return nullptr;
    }
    if (row < 0) {
      refuse(QStringLiteral("单元格位置无效：第 %1 行。").arg(row + 1));
      return nullptr;
    }
    return &sheets[sheet].cells[CellKey(row, col)];
  }

  uint32_t intern(const QString& text) {
    auto it = poolIndex.constFind(text);
    if (it != poolIndex.constEnd()) return it.value();
    const uint32_t index = static_cast<uint32_t>(pool.size());
    pool.push_back(text);
    poolIndex.insert(text, index);
    return index;
  }

  bool setStyleBits(int sheet, int row, int col, uint8_t mask, uint8_t bits) {
    Cell* cell = cellAt(sheet, row, col);
    if (!cell) return false;
    cell->style = static_cast<uint8_t>((cell->style & ~mask) | (bits & mask));
    return true;
  }
};

XlsWriter::XlsWriter() : impl_(std::make_unique<Impl>()) {}
XlsWriter::~XlsWriter() = default;

int XlsWriter::addSheet(const QString& name) {
  const int position = static_cast<int>(impl_->sheets.size());
  const QString base = CleanSheetName(name, position);
  auto taken = [&](const QString& candidate) {
    for (const Sheet& s : impl_->sheets)
      if (s.name.compare(candidate, Qt::CaseInsensitive) == 0) return true;
    return false;
  };
  QString unique = CutToLength(base, kMaxSheetNameLength);
  for (int n = 2; taken(unique); ++n) {
    const QString suffix = QStringLiteral(" (%1)").arg(n);
    unique = CutToLength(base, kMaxSheetNameLength - static_cast<int>(suffix.size())) + suffix;
  }
  Sheet sheet;
  sheet.name = unique;
  impl_->sheets.push_back(std::move(sheet));
  return position;
}

int XlsWriter::sheetCount() const { return static_cast<int>(impl_->sheets.size()); }

QString XlsWriter::sheetName(int sheet) const {
  if (sheet < 0 || sheet >= sheetCount()) return QString();
  return impl_->sheets[sheet].name;
}

bool XlsWriter::setCell(int sheet, int row, int col, const QString& text) {
  if (text.size() > kMaxCellTextLength)
    return impl_->refuse(QStringLiteral("单元格文本超过了 .XLS 文件的上限（%1 个字符）：第 %2 行，第 %3 列。")
                             .arg(kMaxCellTextLength)
                             .arg(row + 1)
                             .arg(col + 1));
  Cell* cell = impl_->cellAt(sheet, row, col);
  if (!cell) return false;
  cell->style &= static_cast<uint8_t>(~kStyleDate);
  if (text.isEmpty()) {
    cell->kind = CellKind::Empty;
  } else {
    cell->kind = CellKind::Text;
    cell->text = impl_->intern(text);
  }
  return true;
}

bool XlsWriter::setNumber(int sheet, int row, int col, double value) {
  Cell* cell = impl_->cellAt(sheet, row, col);
  if (!cell) return false;
  cell->kind = CellKind::Number;
  cell->number = value;
  cell->style &= static_cast<uint8_t>(~kStyleDate);
  return true;
}

bool XlsWriter::setDate(int sheet, int row, int col, const QDate& date) {
  // Day 1 is 1900-01-01, and the format counts a 29 February 1900 that never
  // was: from March 1900 on the day number is one higher.
  const QDate first(1900, 1, 1), march(1900, 3, 1);
  if (!date.isValid() || date < first) {
    return setCell(sheet, row, col, date.toString(QStringLiteral("yyyy-MM-dd")));
  }
  const qint64 serial = first.daysTo(date) + (date >= march ? 2 : 1);
  if (!setNumber(sheet, row, col, static_cast<double>(serial))) return false;
  return impl_->setStyleBits(sheet, row, col, kStyleDate, kStyleDate);
}

bool XlsWriter::setColumnWidth(int sheet, int col, int pixels) {
  if (!impl_->checkColumn(sheet, col)) return false;
  impl_->sheets[sheet].columnPixels[col] = std::max(0, pixels);
  return true;
}

bool XlsWriter::setBold(int sheet, int row, int col, bool bold) {
  return impl_->setStyleBits(sheet, row, col, kStyleBold, bold ? kStyleBold : 0);
}

bool XlsWriter::setBorder(int sheet, int row, int col, bool border) {
  return impl_->setStyleBits(sheet, row, col, kStyleBorder, border ? kStyleBorder : 0);
}

bool XlsWriter::setAlignment(int sheet, int row, int col, Align align) {
  const uint8_t bits = static_cast<uint8_t>(static_cast<uint8_t>(align) << kStyleAlignShift);
  return impl_->setStyleBits(sheet, row, col, kStyleAlignMask, bits);
}

bool XlsWriter::save(const QString& path, QString* error) const {
  auto fail = [&](const QString& why) {
    if (error) *error = why;
    return false;
  };
  if (!impl_->refusal.isEmpty()) return fail(impl_->refusal);

  std::vector<Sheet> emptyBook;
  const std::vector<Sheet>* sheets = &impl_->sheets;
  if (sheets->empty()) {
    // A workbook holds at least one sheet.
    Sheet only;
    only.name = QStringLiteral("Sheet1");
    emptyBook.push_back(std::move(only));
    sheets = &emptyBook;
  }

  // The styles in use, each one XF; shared strings in order of first use.
  StyleTable styles{};
  std::fill(std::begin(styles.xf), std::end(styles.xf), kDefaultCellXf);
  std::vector<int32_t> sstIndexOfPool(impl_->pool.size(), -1);
  std::vector<const QString*> strings;
  uint32_t totalRefs = 0;
  for (const Sheet& sheet : *sheets) {
    for (const auto& [key, cell] : sheet.cells) {
      if (cell.style && styles.xf[cell.style] == kDefaultCellXf) {
        styles.xf[cell.style] = static_cast<uint16_t>(kFirstOwnXf + styles.styles.size());
        styles.styles.push_back(cell.style);
      }
      if (cell.kind != CellKind::Text) continue;
      ++totalRefs;
      if (sstIndexOfPool[cell.text] < 0) {
        sstIndexOfPool[cell.text] = static_cast<int32_t>(strings.size());
        strings.push_back(&impl_->pool[cell.text]);
      }
    }
  }

  std::vector<std::vector<uint8_t>> sheetStreams;
  size_t sheetBytes = 0;
  for (size_t i = 0; i < sheets->size(); ++i) {
    sheetStreams.push_back(BuildSheetStream((*sheets)[i], styles, sstIndexOfPool, i == 0));
    sheetBytes += sheetStreams.back().size();
  }

  std::vector<size_t> offsetFields;
  std::vector<uint8_t> globals = BuildGlobals(*sheets, styles, strings, totalRefs, &offsetFields);
  QString padding;
  if (globals.size() + sheetBytes < kMiniStreamCutoff) {
    const size_t missing = kMiniStreamCutoff - (globals.size() + sheetBytes);
    padding = QString(static_cast<qsizetype>(missing > 3 ? missing - 3 : 0), u' ');
    strings.push_back(&padding);
    globals = BuildGlobals(*sheets, styles, strings, totalRefs, &offsetFields);
  }
  if (globals.size() + sheetBytes > 0xFFFFFFFFull) return fail(QStringLiteral("工作簿太大，无法写成 .XLS 文件。"));

  RecordBuffer workbook;
  workbook.bytes().reserve(globals.size() + sheetBytes);
  workbook.append(globals);
  for (size_t i = 0; i < sheetStreams.size(); ++i) {
    workbook.patchU32(offsetFields[i], static_cast<uint32_t>(workbook.size()));
    workbook.append(sheetStreams[i]);
  }
  const std::vector<uint8_t> file = BuildCompoundDocument(workbook.bytes());

  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly))
    return fail(QStringLiteral("无法写入文件 %1：%2").arg(path, out.errorString()));
  const qint64 size = static_cast<qint64>(file.size());
  if (out.write(reinterpret_cast<const char*>(file.data()), size) != size || !out.commit())
    return fail(QStringLiteral("无法写入文件 %1：%2").arg(path, out.errorString()));
  return true;
}

}  // namespace velmor
