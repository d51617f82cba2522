// Reads .XLS spreadsheet files (BIFF5/BIFF8): the names of the sheets and the
// cell texts of one sheet. Numbers come as text the way a person reads
// them: whole numbers without decimals ("42", not "42.0"), other numbers with
// up to 15 significant digits, dates as "yyyy-MM-dd".
// The reading is done by freexl, which cannot read a text spread over more
// than two records (one cell holding more than about 8 200 bytes of text):
// such a workbook fails to open, or, for a wide text, the text comes back cut.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace velmor {

// The sheet names in workbook order. On failure an empty list and *error set.
QStringList XlsSheetNames(const QString& path, QString* error);

// The used range of the named sheet: the smallest rectangle holding every
// non-empty cell, rows[0][0] being its top-left cell. Every row has the same
// number of entries; empty cells are empty texts. A sheet without any value
// gives no rows. The sheet is found by exact name first, then ignoring case.
bool XlsLoadSheet(const QString& path, const QString& sheet, QList<QStringList>* rows,
                  QString* error);

}  // namespace velmor
