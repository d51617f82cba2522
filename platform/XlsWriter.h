// Writes real .XLS files (BIFF8 workbook stream inside a compound document)
// that spreadsheet programs open: named sheets, Unicode texts, numbers,
// column widths and simple cell styles (bold, thin border, alignment).
//
//   velmor::XlsWriter xls;
//   int sheet = xls.addSheet("销售单");
//   xls.setCell(sheet, 0, 0, "产品名称");  xls.setBold(sheet, 0, 0, true);
//   xls.setNumber(sheet, 1, 1, 12.5);
//   xls.setColumnWidth(sheet, 0, 120);
//   QString error;
//   if (!xls.save(path, &error)) ShowError(nullptr, error);
//
// Rows and columns count from 0. A cell outside the format's limits
// (65 536 rows, 256 columns) is refused: the setter returns false and save()
// fails with a message naming the limit, so a list is never cut short silently.
#pragma once

#include <QString>
#include <memory>

class QDate;

namespace velmor {

class XlsWriter {
 public:
  static constexpr int kMaxRows = 65536;
  static constexpr int kMaxColumns = 256;
  static constexpr int kMaxSheetNameLength = 31;
  static constexpr int kMaxCellTextLength = 32767;

  enum class Align { General, Left, Center, Right };

  XlsWriter();
  ~XlsWriter();
  XlsWriter(const XlsWriter&) = delete;
  XlsWriter& operator=(const XlsWriter&) = delete;

  // Adds a sheet and returns its index (0, 1, ...). The name is made
  // acceptable to spreadsheet programs: the characters []:*?/\ become "_",
  // it is cut to 31 characters, an empty name becomes "Sheet<n>", and a name
  // already used (ignoring case) gets a " (2)", " (3)" ... suffix.
  int addSheet(const QString& name);
  int sheetCount() const;
  // The name the sheet is written under, after the cleaning above.
  QString sheetName(int sheet) const;

  // Content of one cell; a later call for the same cell replaces it.
  // An empty text clears the value (the cell's style stays).
  bool setCell(int sheet, int row, int col, const QString& text);
  bool setNumber(int sheet, int row, int col, double value);
  // A date as a spreadsheet date (a day number shown in the short date
  // format); a date before 1900, which the format cannot hold, as its text.
  bool setDate(int sheet, int row, int col, const QDate& date);

  // Width of a column in screen pixels; 0 hides the column.
  bool setColumnWidth(int sheet, int col, int pixels);

  // Style of one cell, independent of its content.
  bool setBold(int sheet, int row, int col, bool bold);
  bool setBorder(int sheet, int row, int col, bool border);
  bool setAlignment(int sheet, int row, int col, Align align);

  // Writes the workbook, replacing the file. On failure returns false, sets
  // *error (when given) and leaves no half-written file behind.
  bool save(const QString& path, QString* error) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmor
