#include "uniFunction.h"

#include <dlfcn.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstring>
#include <limits>

#include "MessageBox.h"
#include "ShellOpen.h"
#include "StringGrid.h"
#include "XlsWriter.h"

namespace {

// Trims the characters up to the blank, as the search fields are trimmed
// (ideographic spaces stay part of a word).
QString TrimBlanks(const QString& text) {
  qsizetype from = 0;
  qsizetype to = text.size();
  while (from < to && text.at(from).unicode() <= 0x20) ++from;
  while (to > from && text.at(to - 1).unicode() <= 0x20) --to;
  return text.mid(from, to - from);
}

bool ReadDecimal(const QString& text, double& value) {
  bool ok = false;
  value = QLocale().toDouble(text, &ok);
  if (!ok) value = QLocale::c().toDouble(text, &ok);
  return ok && std::isfinite(value);
}

// A cell goes into the sheet as a number only when the number gives back
// the same text, so codes such as "0012" or "3*4" stay texts.
bool CellAsNumber(const QString& text, double& value) {
  static const QRegularExpression plainNumber(QStringLiteral("^-?(0|[1-9]\\d{0,14})(\\.\\d{1,15})?$"));
  if (!plainNumber.match(text).hasMatch()) return false;
  bool ok = false;
  value = QLocale::c().toDouble(text, &ok);
  return ok && std::isfinite(value);
}

SaveFileChooser& FileChooser() {
  static SaveFileChooser chooser;
  return chooser;
}

std::function<void(const QString&)>& SpreadsheetOpener() {
  static std::function<void(const QString&)> opener;
  return opener;
}

QString AskForFile(const SaveFileRequest& request) {
  if (FileChooser()) return FileChooser()(request);
  return QFileDialog::getSaveFileName(request.owner, request.title, request.directory, request.filter);
}

}  // namespace

QStringList SplitByCommas(const QString& text) {
  QStringList items;
  qsizetype from = 0;
  while (from < text.size()) {
    const qsizetype comma = text.indexOf(QLatin1Char(','), from);
    if (comma < 0) {
      items << text.mid(from);
      break;
    }
    items << text.mid(from, comma - from);
    from = comma + 1;
  }
  return items;
}

QStringList SplitBySpaces(const QString& text) {
  QStringList words;
  QString rest = text;
  for (qsizetype blank = rest.indexOf(QLatin1Char(' ')); blank >= 0; blank = rest.indexOf(QLatin1Char(' '))) {
    words << TrimBlanks(rest.left(blank + 1));
    rest = TrimBlanks(rest.mid(blank + 1));
  }
  words << rest;
  return words;
}

QString SumGridColumn(const velmor::StringGrid* grid, int col) {
  double sum = 0;
  for (int row = grid->fixedRows(); row <= grid->lastDataRow(); ++row) {
    const QString text = grid->cell(col, row).trimmed();
    if (text.isEmpty()) continue;
    double value = 0;
    if (!ReadDecimal(text, value)) return QStringLiteral("0.00");
    sum += value;
  }
  return velmor::FormatNumberPattern(sum, QStringLiteral("0.00"));
}

QString GetSystemDir() {
  // The directory of the C library stands for the system directory here.
  static QString previous;
  Dl_info info;
  std::memset(&info, 0, sizeof info);
  if (dladdr(reinterpret_cast<void*>(&std::strlen), &info) != 0 && info.dli_fname && *info.dli_fname) {
    const QString dir = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalPath();
    if (!dir.isEmpty() && dir.size() <= 255) previous = dir;
  }
  return previous;
}

QString MoneyToChinese(double amount) {
  static const QString kDigits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
  static const QString kUnits = QStringLiteral("分角元拾佰仟万拾佰仟亿拾佰仟万");
  const QChar kZero(u'零');
  const QChar kYuan(u'元');
  const QChar kWan(u'万');
  const QChar kYi(u'亿');

  if (std::isnan(amount) || amount > 9999999999999.99) return QString();
  if (amount < 0) {
    const QString magnitude = MoneyToChinese(-amount);
    return magnitude.isEmpty() ? QString() : QStringLiteral("负") + magnitude;
  }
  if (amount == 0) return QStringLiteral("零元");

  // Whole fen, rounded: amounts come with at most two decimals, and the
  // product with 100 is not always exact in binary.
  const QString fen = QString::number(static_cast<long long>(std::llround(amount * 100)));
  if (fen == QLatin1String("0")) return QStringLiteral("零元");
  const int n = static_cast<int>(fen.size());
  QString result;
  for (int i = 0; i < n; ++i) {
    const int digit = fen.at(i).digitValue();
    const QChar unit = kUnits.at(n - 1 - i);
    if (digit != 0) {
      result += kDigits.at(digit);
      result += unit;
    } else if (unit == kYi || unit == kWan || unit == kYuan) {
      if (result.endsWith(kZero)) result.chop(1);
      if (result.endsWith(kYi) && (unit == kWan || unit == kYi)) {
        result += kZero;
      } else {
        result += unit;
        result += kZero;
      }
    } else if (n - 1 - i == 0) {
      if (result.endsWith(kZero)) result.chop(1);
      result += QChar(u'整');
    } else if (!result.endsWith(kZero)) {
      result += kZero;
    }
  }
  return result;
}

QString FormatBillNumber(const QString& prefix, const QString& lastCounter, int width) {
  bool ok = false;
  const qlonglong last = lastCounter.trimmed().toLongLong(&ok);
  if (!ok || last == std::numeric_limits<qlonglong>::max())
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(lastCounter).toStdString());
  const QString number = QString::number(last + 1);
  if (number.size() >= width) return prefix + number;
  return prefix + QString(width - number.size(), QLatin1Char('0')) + number;
}

QString CleanFileName(const QString& name) {
  QString cleaned = name.trimmed();
  for (QChar& c : cleaned)
    if (QStringLiteral("*/\\<>?\":|").contains(c)) c = QLatin1Char('_');
  return cleaned;
}

bool SaveGridToExcel(const velmor::StringGrid* grid, const TSAVEGRID& request, QWidget* owner) {
  if (!grid) return false;
  bool chosen = false;
  QString fileName = request.FileName.trimmed();
  if (fileName.isEmpty()) {
    SaveFileRequest ask;
    ask.owner = owner ? owner : QApplication::activeWindow();
    ask.title = QStringLiteral("保存");
    ask.directory = QDir(SysParas.AppDir).filePath(CleanFileName(request.SheetName));
    ask.filter = QStringLiteral("Excel文件（*.XLS） (*.XLS *.xls)");
    fileName = AskForFile(ask).trimmed();
    if (fileName.isEmpty()) return false;
    chosen = true;
  }
  if (fileName.right(4).toUpper() != QLatin1String(".XLS")) fileName += QStringLiteral(".XLS");

  if (QFileInfo::exists(fileName) &&
      !velmor::AskYesNo(owner, QStringLiteral("File %1 文件已经存在，是否覆盖文件 ?").arg(fileName),
                        velmor::MsgIcon::Warning))
    return chosen;

  velmor::XlsWriter xls;
  const int sheet = xls.addSheet(request.SheetName);
  int sheetCol = 0;
  for (int col = 0; col < grid->colCount(); ++col) {
    // Hidden columns (narrower than 5 pixels, as the keys see them) stay out.
    if (grid->colWidth(col) < 5) continue;
    xls.setColumnWidth(sheet, sheetCol, grid->colWidth(col));
    for (int row = 0; row < grid->rowCount(); ++row) {
      const QPoint base = grid->mergeBase(col, row);
      const bool isFixed = row < grid->fixedRows() || col < grid->fixedCols();
      if (base == QPoint(col, row)) {
        const QString text = grid->cell(col, row);
        double number = 0;
        if (CellAsNumber(text.trimmed(), number))
          xls.setNumber(sheet, row, sheetCol, number);
        else
          xls.setCell(sheet, row, sheetCol, text);
      }
      xls.setBorder(sheet, row, sheetCol, true);
      if (isFixed || grid->cellBold(base.x(), base.y())) xls.setBold(sheet, row, sheetCol, true);
      const Qt::Alignment align = grid->effectiveAlignment(base.x(), base.y()) & Qt::AlignHorizontal_Mask;
      if (align & Qt::AlignHCenter)
        xls.setAlignment(sheet, row, sheetCol, velmor::XlsWriter::Align::Center);
      else if (align & Qt::AlignRight)
        xls.setAlignment(sheet, row, sheetCol, velmor::XlsWriter::Align::Right);
    }
    ++sheetCol;
  }
  QString error;
  if (!xls.save(fileName, &error)) throw std::runtime_error(error.toStdString());
  if (SpreadsheetOpener())
    SpreadsheetOpener()(fileName);
  else
    velmor::OpenWithProgram(fileName);
  return chosen;
}

void SetSaveFileChooser(SaveFileChooser chooser) { FileChooser() = std::move(chooser); }

void SetSpreadsheetOpener(std::function<void(const QString& path)> opener) { SpreadsheetOpener() = std::move(opener); }
