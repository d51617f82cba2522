// The routines every list window shares: splitting texts, grid totals, money
// in capital numerals, bill numbers and writing a grid to a spreadsheet file.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

#include "uniType.h"

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace velmor {
class StringGrid;
}

// A text that should have been a number and is not.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The items of a comma-separated text: "a,,b" gives a, "", b; a trailing
// comma adds no empty item; an empty text gives no item.
QStringList SplitByCommas(const QString& text);

// The words of a search text, split at blanks; runs of blanks count as one.
// An empty text gives one empty word, a leading blank an empty first word,
// so callers pass the text trimmed.
QStringList SplitBySpaces(const QString& text);

// The total of a column over the data rows (the footer row left out),
// formatted "0.00"; empty cells count 0 and any text that is not a number
// makes the whole total "0.00".
QString SumGridColumn(const velmor::StringGrid* grid, int col);

// The system's library directory (at most 255 characters), or the answer of
// the previous call when it cannot be found.
QString GetSystemDir();

// An amount in the capital numerals of Chinese commercial documents, e.g.
// 1234.56 → 壹仟贰佰叁拾肆元伍角陆分, 100 → 壹佰元整. Amounts above
// 9999999999999.99 (and NaN) give empty text; a negative amount, a bill of
// returned goods, is 负 followed by the capitals of its magnitude.
QString MoneyToChinese(double amount);

// The number of the next bill from the last number given out (the stored
// counter, as text): prefix + the counter plus 1, padded with "0" to `width`
// digits. Throws EConvertError when the counter is not a whole number.
QString FormatBillNumber(const QString& prefix, const QString& lastCounter, int width);

// The characters a file name cannot hold (* / \ < > ? " : |) replaced by "_",
// after trimming.
QString CleanFileName(const QString& name);

// Writes the whole grid, its fixed row and column included, as one sheet
// named request.SheetName. With an empty FileName the user picks the file in
// a save dialog ("保存", starting in SysParas.AppDir, proposing the cleaned
// sheet name); ".XLS" is appended unless the name ends in .xls in any case.
// An existing file is replaced only when the user agrees. Answers true when
// the user chose a file in the dialog; columns narrower than 5 pixels are
// left out; a write failure throws
// std::runtime_error with the writer's message.
bool SaveGridToExcel(const velmor::StringGrid* grid, const TSAVEGRID& request, QWidget* owner);

// What the save dialog is asked, so a test can answer in its place.
struct SaveFileRequest {
  QWidget* owner;
  QString title;
  QString directory;  // the starting folder with the proposed name
  QString filter;
};
using SaveFileChooser = std::function<QString(const SaveFileRequest&)>;
// Replaces the save dialog (nullptr restores it). An empty answer cancels.
void SetSaveFileChooser(SaveFileChooser chooser);
// Replaces opening the written file with its program (nullptr restores it).
void SetSpreadsheetOpener(std::function<void(const QString& path)> opener);

// ---- routines that read the database ----------------------------------------
// Each runs on the query it is given (the data module's KrxQ2 for the
// layout and number helpers) and leaves it closed.
namespace krx {
class TKrxDataSet;
class TKrxQuery;
}  // namespace krx

// The field names of an open query in field order, joined by ",".
QString GetFieldNames(krx::TKrxDataSet& query);

// The values of `column` over the layout rows of `table` (fhide=0, by
// findex) in `settingsTable`, joined by ","; empty text for no rows.
QString LoadGridSettingColumn(krx::TKrxQuery& query, const QString& table, const QString& settingsTable,
                              const QString& column);

// Rebuilds the grid from the open `data` query with the layout of `table`
// (read through `layoutQuery`): row numbers, centred captions, widths,
// alignments, and a footer row when asked for. A width that is not a whole
// number throws EConvertError before any data row is written.
void LoadGridFromQuery(velmor::StringGrid* grid, krx::TKrxDataSet& data, krx::TKrxQuery& layoutQuery,
                       const QString& table, bool footer);

// The largest value of `column` plus 1 as text ("1" for none); `condition`
// follows the table name verbatim (" where …" or empty).
QString GetNextNumber(krx::TKrxQuery& query, const QString& table, const QString& column, const QString& condition);
int CountRecords(krx::TKrxQuery& query, const QString& table, const QString& column, const QString& condition);
// The first row's value as text, empty when there is no row.
QString GetFieldValue(krx::TKrxQuery& query, const QString& table, const QString& column, const QString& condition);

// ---- class trees ------------------------------------------------------------
// Each node carries its TBases (BasesOf) and the numbers of its pictures in
// the window's image list under kImageIndexRole and kSelectedImageIndexRole;
// a window that has pictures sets the icons from them.
constexpr int kImageIndexRole = Qt::UserRole + 1;
constexpr int kSelectedImageIndexRole = Qt::UserRole + 2;
// The record of a node made by the loaders below, or nullptr.
const TBases* BasesOf(const QTreeWidgetItem* node);

// Fill the tree anew with the visible top-level classes (or the knowledge
// index) in their order.
void LoadCustomerClassTree(krx::TKrxQuery& query, QTreeWidget* tree);
void LoadContactClassTree(krx::TKrxQuery& query, QTreeWidget* tree);
void LoadProductClassTree(krx::TKrxQuery& query, QTreeWidget* tree);
void LoadKnowledgeTree(krx::TKrxQuery& query, QTreeWidget* tree);
// Adds the product classes under `node` and under each node after it on the
// same level; a major class that has children already is not read again.
void LoadProductSubClasses(krx::TKrxQuery& query, QTreeWidget* tree, QTreeWidgetItem* node);

// The number of a new bill: the stored counter 单据编号 plus 1 with
// SysParas.BillPrefix, padded to `width` digits.
QString MakeBillNumber(krx::TKrxQuery& query, int width);
