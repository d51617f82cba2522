#include "GridEnterMove.h"

#include <QWidget>

#include "StringGrid.h"

namespace {

// Columns narrower than this count as hidden for keyboard moves.
constexpr int kHiddenColumnWidth = 5;
// After a wrap the cursor lands on the column where a bill line is typed.
constexpr int kWrapColumn = 4;

velmor::StringGrid* GridHolding(QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    if (auto* grid = qobject_cast<velmor::StringGrid*>(widget)) return grid;
    if (widget->isWindow()) break;
  }
  return nullptr;
}

}  // namespace

bool MoveOnEnterInGrid(QWidget* focused) {
  velmor::StringGrid* grid = GridHolding(focused);
  if (!grid) return false;
  const int lastCol = grid->colCount() - 1;
  int col = grid->col();
  if (col < lastCol) {
    ++col;
    while (grid->colWidth(col) < kHiddenColumnWidth && col < lastCol) ++col;
    grid->setCurrentCell(col, grid->row());
    return true;
  }
  grid->setCurrentCell(1, grid->row());
  // A cell that refused its text (or a refused move) keeps the cursor.
  if (col != 1 && grid->col() == col) return true;
  // The floating footer is not a line to type in: the last line is the last
  // data row, and a new line goes in above the footer.
  int row = grid->row();
  if (row < grid->lastDataRow()) {
    ++row;
  } else {
    grid->addRow();
    grid->autoNumberCol(0);
    row = grid->lastDataRow();
  }
  grid->setCurrentCell(qMin(kWrapColumn, lastCol), row);
  return true;
}
