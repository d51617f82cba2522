#include "XlsReader.h"

#include <freexl.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace velmor {

namespace {

QString DescribeFailure(int code) {
  switch (code) {
    case FREEXL_FILE_NOT_FOUND: return QStringLiteral("文件不存在或无法打开");
    case FREEXL_INSUFFICIENT_MEMORY: return QStringLiteral("内存不足");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_CFBF_INVALID_SECTOR_SIZE: return QStringLiteral("不是 .XLS 格式的文件");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND: return QStringLiteral("文件中没有工作簿");
    case FREEXL_UNSUPPORTED_CHARSET:
    case FREEXL_INVALID_CHARACTER: return QStringLiteral("文件的字符编码无法识别");
    default: return QStringLiteral("文件已损坏或格式不受支持");
  }
}

// One open workbook, closed when it goes out of scope.
class Workbook {
 public:
  Workbook() = default;
  ~Workbook() {
    if (handle_) freexl_close(handle_);
  }
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  bool open(const QString& path, QString* error) {
    auto fail = [&](const QString& why) {
      if (error) *error = QStringLiteral("无法读取文件 %1：%2。").arg(QFileInfo(path).fileName(), why);
      return false;
    };
    if (!QFileInfo(path).isFile()) return fail(DescribeFailure(FREEXL_FILE_NOT_FOUND));
    int rc = freexl_open(QFile::encodeName(path).constData(), &handle_);
    // freexl may give up on a workbook (for one, on a text spread over more
    // than two records) yet answer OK without a handle.
    if (rc == FREEXL_OK && !handle_) rc = FREEXL_CRAFTED_FILE;
    if (rc != FREEXL_OK) {
      if (handle_) freexl_close(handle_);
      handle_ = nullptr;
      return fail(DescribeFailure(rc));
    }
    unsigned int protectedBook = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &protectedBook) == FREEXL_OK &&
        protectedBook == FREEXL_BIFF_OBFUSCATED)
      return fail(QStringLiteral("文件设置了密码"));
    return true;
  }

  const void* handle() const { return handle_; }

  QStringList sheetNames() const {
    QStringList names;
    unsigned int count = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) return names;
    for (unsigned int i = 0; i < count; ++i) {
      const char* name = nullptr;
      if (freexl_get_worksheet_name(handle_, static_cast<unsigned short>(i), &name) != FREEXL_OK) break;
      names << QString::fromUtf8(name ? name : "");
    }
    return names;
  }

 private:
  const void* handle_ = nullptr;
};

QString NumberText(double v) {
  if (!std::isfinite(v)) return QString();
  if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(static_cast<qint64>(v));
  return QString::number(v, 'g', 15);
}

QString CellText(const FreeXL_CellValue& cell) {
  switch (cell.type) {
    case FREEXL_CELL_INT: return QString::number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE: return NumberText(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_TIME: return QString::fromUtf8(cell.value.text_value ? cell.value.text_value : "");
    case FREEXL_CELL_DATETIME: {
      // "yyyy-MM-dd HH:mm:ss"; a date typed without a time keeps just the date.
      QString text = QString::fromUtf8(cell.value.text_value ? cell.value.text_value : "");
      if (text.endsWith(QLatin1String(" 00:00:00"))) text.chop(9);
      return text;
    }
    default: return QString();
  }
}

}  // namespace

QStringList XlsSheetNames(const QString& path, QString* error) {
  Workbook book;
  if (!book.open(path, error)) return {};
  return book.sheetNames();
}

bool XlsLoadSheet(const QString& path, const QString& sheet, QList<QStringList>* rows, QString* error) {
  rows->clear();
  Workbook book;
  if (!book.open(path, error)) return false;

  const QStringList names = book.sheetNames();
  qsizetype index = names.indexOf(sheet);
  if (index < 0) {
    for (qsizetype i = 0; i < names.size() && index < 0; ++i)
      if (names[i].compare(sheet, Qt::CaseInsensitive) == 0) index = i;
  }
  if (index < 0) {
    if (error) *error = QStringLiteral("文件 %1 中没有工作表“%2”。").arg(QFileInfo(path).fileName(), sheet);
    return false;
  }

  unsigned int rowCount = 0;
  unsigned short columnCount = 0;
  if (freexl_select_active_worksheet(book.handle(), static_cast<unsigned short>(index)) != FREEXL_OK ||
      freexl_worksheet_dimensions(book.handle(), &rowCount, &columnCount) != FREEXL_OK) {
    if (error) *error = QStringLiteral("无法读取工作表“%1”。").arg(sheet);
    return false;
  }

  // First find the bounds of the non-empty cells, then read just those: a
  // sheet's declared range may be far larger than what it holds.
  auto readCell = [&](unsigned int r, unsigned short c, QString* text) {
    FreeXL_CellValue cell;
    if (freexl_get_cell_value(book.handle(), r, c, &cell) != FREEXL_OK) {
      if (error) *error = QStringLiteral("无法读取工作表“%1”第 %2 行第 %3 列。").arg(sheet).arg(r + 1).arg(c + 1);
      return false;
    }
    *text = CellText(cell);
    return true;
  };
  int top = -1, bottom = -1, left = columnCount, right = -1;
  QString text;
  for (unsigned int r = 0; r < rowCount; ++r) {
    for (unsigned short c = 0; c < columnCount; ++c) {
      if (!readCell(r, c, &text)) return false;
      if (text.isEmpty()) continue;
      if (top < 0) top = static_cast<int>(r);
      bottom = static_cast<int>(r);
      left = std::min(left, static_cast<int>(c));
      right = std::max(right, static_cast<int>(c));
    }
  }
  if (top < 0) return true;

  QList<QStringList> result;
  result.reserve(bottom - top + 1);
  for (int r = top; r <= bottom; ++r) {
    QStringList row;
    row.reserve(right - left + 1);
    for (int c = left; c <= right; ++c) {
      if (!readCell(static_cast<unsigned int>(r), static_cast<unsigned short>(c), &text)) return false;
      row << text;
    }
    result << std::move(row);
  }
  *rows = std::move(result);
  return true;
}

}  // namespace velmor
