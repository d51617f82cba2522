#include "StringGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "StringGridEditors.h"

namespace velmor {

namespace {

constexpr int kSizingGrip = 3;  // pixels either side of a caption border

// Reads a cell as a number the way sums and sorting see it: trimmed, by the
// locale's rules or with "." as the separator.
bool ReadNumber(const QString& text, double& value) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return false;
  bool ok = false;
  value = QLocale().toDouble(trimmed, &ok);
  if (!ok) value = QLocale::c().toDouble(trimmed, &ok);
  return ok && std::isfinite(value);
}

}  // namespace

QString FormatNumberPattern(double value, const QString& pattern) {
  const int point = pattern.indexOf(QLatin1Char('.'));
  const int decimals = point < 0 ? 0 : static_cast<int>(pattern.size()) - point - 1;
  // Halves round away from zero, as on paper; printf would round them to even.
  const double scale = std::pow(10.0, decimals);
  double rounded = value;
  if (std::isfinite(value) && std::fabs(value * scale) < 1e15) rounded = std::round(value * scale) / scale;
  if (rounded == 0) rounded = 0;  // no "-0.00"
  return QString::number(rounded, 'f', decimals);
}

StringGrid::StringGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  fixedColor_ = palette().color(QPalette::Button);
  footerColor_ = QColor(255, 255, 225);
  horizontalScrollBar()->setSingleStep(20);
  setColCount(5);
  setRowCount(5);
}

StringGrid::~StringGrid() = default;

// ---- shape -------------------------------------------------------------------

void StringGrid::setColCount(int count) {
  count = std::max(0, count);
  if (count == colCount_) return;
  cancelEdit();
  colCount_ = count;
  for (Row& r : rows_) r.resize(count);
  colWidths_.resize(count, defaultColWidth_);
  footerPatterns_.resize(count);
  std::erase_if(merges_, [count](const QRect& m) { return m.right() >= count; });
  if (sortCol_ >= count) sortCol_ = -1;
  curCol_ = std::clamp(curCol_, std::min(fixedCols_, std::max(0, count - 1)), std::max(0, count - 1));
  anchorCol_ = curCol_;
  geometryChanged();
}

void StringGrid::setRowCount(int count) {
  count = std::max(0, count);
  if (count == rowCount()) return;
  cancelEdit();
  if (footerVisible_ && !rows_.empty() && count > 0) {
    // The footer stays the last row.
    Row footer = std::move(rows_.back());
    rows_.pop_back();
    rows_.resize(count - 1, Row(colCount_));
    rows_.push_back(std::move(footer));
  } else {
    rows_.resize(count, Row(colCount_));
  }
  std::erase_if(merges_, [count](const QRect& m) { return m.bottom() >= count; });
  const int last = std::max(0, lastDataRow());
  curRow_ = std::clamp(curRow_, std::min(fixedRows_, last), last);
  anchorRow_ = curRow_;
  footerDirty_ = true;
  geometryChanged();
}

void StringGrid::setFixedRows(int count) {
  fixedRows_ = std::max(0, count);
  if (curRow_ < fixedRows_) curRow_ = anchorRow_ = std::min(fixedRows_, std::max(0, rowCount() - 1));
  footerDirty_ = true;
  geometryChanged();
}

void StringGrid::setFixedCols(int count) {
  fixedCols_ = std::max(0, count);
  if (curCol_ < fixedCols_) curCol_ = anchorCol_ = std::min(fixedCols_, std::max(0, colCount_ - 1));
  geometryChanged();
}

int StringGrid::colWidth(int col) const {
  if (col < 0 || col >= colCount_) return 0;
  return colWidths_[static_cast<size_t>(col)];
}

void StringGrid::setColWidth(int col, int width) {
  if (col < 0 || col >= colCount_) return;
  colWidths_[static_cast<size_t>(col)] = std::max(0, width);
  geometryChanged();
}

void StringGrid::setDefaultColWidth(int width) {
  defaultColWidth_ = std::max(0, width);
  std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
  geometryChanged();
}

void StringGrid::setRowHeight(int height) {
  rowHeight_ = std::max(1, height);
  verticalScrollBar()->setSingleStep(rowHeight_);
  geometryChanged();
}

// ---- cells ---------------------------------------------------------------------

bool StringGrid::validCell(int col, int row) const {
  return col >= 0 && row >= 0 && col < colCount_ && row < rowCount();
}

StringGrid::Cell* StringGrid::cellPtr(int col, int row) {
  return validCell(col, row) ? &rows_[static_cast<size_t>(row)][static_cast<size_t>(col)] : nullptr;
}

const StringGrid::Cell* StringGrid::cellPtr(int col, int row) const {
  return validCell(col, row) ? &rows_[static_cast<size_t>(row)][static_cast<size_t>(col)] : nullptr;
}

QString StringGrid::cell(int col, int row) const {
  if (footerVisible_ && row == rowCount() - 1) ensureFooter();
  const Cell* c = cellPtr(col, row);
  return c ? c->text : QString();
}

void StringGrid::setCell(int col, int row, const QString& text) {
  Cell* c = cellPtr(col, row);
  if (!c) return;
  c->text = text;
  if (footerVisible_ && !footerPatterns_[static_cast<size_t>(col)].isEmpty()) footerDirty_ = true;
  changed();
}

Qt::Alignment StringGrid::cellAlignment(int col, int row) const {
  const Cell* c = cellPtr(col, row);
  return c ? c->alignment : Qt::Alignment();
}

void StringGrid::setCellAlignment(int col, int row, Qt::Alignment alignment) {
  if (Cell* c = cellPtr(col, row)) {
    c->alignment = alignment;
    changed();
  }
}

bool StringGrid::cellBold(int col, int row) const {
  const Cell* c = cellPtr(col, row);
  return c && c->bold;
}

void StringGrid::setCellBold(int col, int row, bool bold) {
  if (Cell* c = cellPtr(col, row)) {
    c->bold = bold;
    changed();
  }
}

QColor StringGrid::cellColor(int col, int row) const {
  const Cell* c = cellPtr(col, row);
  return c ? c->color : QColor();
}

void StringGrid::setCellColor(int col, int row, const QColor& color) {
  if (Cell* c = cellPtr(col, row)) {
    c->color = color;
    changed();
  }
}

void StringGrid::setColAlignment(int col, Qt::Alignment alignment) {
  if (col < 0 || col >= colCount_) return;
  for (Row& r : rows_) r[static_cast<size_t>(col)].alignment = alignment;
  changed();
}

Qt::Alignment StringGrid::effectiveAlignment(int col, int row) const {
  Qt::Alignment alignment;
  if (GetAlignment) alignment = GetAlignment(col, row);
  if (!(alignment & Qt::AlignHorizontal_Mask)) alignment |= cellAlignment(col, row) & Qt::AlignHorizontal_Mask;
  if (!(alignment & Qt::AlignHorizontal_Mask)) alignment |= Qt::AlignLeft;
  if (!(alignment & Qt::AlignVertical_Mask)) alignment |= Qt::AlignVCenter;
  return alignment;
}

void StringGrid::clear() {
  cancelEdit();
  for (Row& r : rows_)
    for (Cell& c : r) c = Cell();
  footerDirty_ = true;
  changed();
}

void StringGrid::clearRows(int fromRow, int toRow) {
  fromRow = std::max(0, fromRow);
  toRow = std::min(rowCount() - 1, toRow);
  if (isEditing() && editRow_ >= fromRow && editRow_ <= toRow) cancelEdit();
  for (int r = fromRow; r <= toRow; ++r)
    for (Cell& c : rows_[static_cast<size_t>(r)]) c = Cell();
  footerDirty_ = true;
  changed();
}

// ---- rows -------------------------------------------------------------------------

int StringGrid::lastDataRow() const { return (footerVisible_ ? rowCount() - 2 : rowCount() - 1); }

int StringGrid::scrollRowsEnd() const {
  return std::max(std::min(fixedRows_, rowCount()), footerVisible_ ? rowCount() - 1 : rowCount());
}

void StringGrid::addRow() {
  insertRows(footerVisible_ && rowCount() > 0 ? rowCount() - 1 : rowCount(), 1);
}

void StringGrid::insertRows(int row, int count) {
  if (count <= 0) return;
  row = std::clamp(row, 0, rowCount());
  cancelEdit();
  rows_.insert(rows_.begin() + row, static_cast<size_t>(count), Row(colCount_));
  shiftMerges(row, count);
  if (curRow_ >= row && curRow_ < rowCount() - count && row > fixedRows_) {
    // the cursor stays on its row
  }
  afterRowsChanged();
}

void StringGrid::removeRows(int row, int count) {
  if (row < 0 || row >= rowCount() || count <= 0) return;
  count = std::min(count, rowCount() - row);
  cancelEdit();
  rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
  std::erase_if(merges_, [row, count](const QRect& m) { return m.bottom() >= row && m.top() < row + count; });
  shiftMerges(row + count, -count);
  afterRowsChanged();
}

void StringGrid::moveRow(int from, int to) {
  if (from < 0 || to < 0 || from >= rowCount() || to >= rowCount() || from == to) return;
  cancelEdit();
  auto first = rows_.begin();
  if (from < to)
    std::rotate(first + from, first + from + 1, first + to + 1);
  else
    std::rotate(first + to, first + from, first + from + 1);
  afterRowsChanged();
}

void StringGrid::autoNumberCol(int col) {
  if (col < 0 || col >= colCount_) return;
  int number = 1;
  for (int r = fixedRows_; r < scrollRowsEnd(); ++r)
    rows_[static_cast<size_t>(r)][static_cast<size_t>(col)].text = QString::number(number++);
  changed();
}

void StringGrid::afterRowsChanged() {
  const int last = lastDataRow();
  curRow_ = std::clamp(curRow_, std::min(fixedRows_, std::max(0, last)), std::max(0, last));
  anchorRow_ = std::clamp(anchorRow_, std::min(fixedRows_, std::max(0, last)), std::max(0, last));
  if (autoNumbering_ && fixedCols_ > 0) autoNumberCol(0);
  footerDirty_ = true;
  geometryChanged();
}

void StringGrid::shiftMerges(int fromRow, int delta) {
  for (QRect& m : merges_)
    if (m.top() >= fromRow) m.translate(0, delta);
}

// ---- merged cells -------------------------------------------------------------------

void StringGrid::mergeCells(int col, int row, int colSpan, int rowSpan) {
  if (colSpan < 1 || rowSpan < 1 || !validCell(col, row)) return;
  const QRect block(col, row, std::min(colSpan, colCount_ - col), std::min(rowSpan, rowCount() - row));
  std::erase_if(merges_, [&block](const QRect& m) { return m.intersects(block); });
  if (block.width() > 1 || block.height() > 1) merges_.push_back(block);
  changed();
}

void StringGrid::splitCells(int col, int row) {
  const int index = mergeIndexAt(col, row);
  if (index < 0) return;
  merges_.erase(merges_.begin() + index);
  changed();
}

void StringGrid::clearMerges() {
  merges_.clear();
  changed();
}

int StringGrid::mergeIndexAt(int col, int row) const {
  for (size_t i = 0; i < merges_.size(); ++i)
    if (merges_[i].contains(col, row)) return static_cast<int>(i);
  return -1;
}

bool StringGrid::isMerged(int col, int row) const { return mergeIndexAt(col, row) >= 0; }

QPoint StringGrid::mergeBase(int col, int row) const {
  const int index = mergeIndexAt(col, row);
  return index < 0 ? QPoint(col, row) : merges_[static_cast<size_t>(index)].topLeft();
}

QRect StringGrid::mergeBlock(int col, int row) const {
  const int index = mergeIndexAt(col, row);
  return index < 0 ? QRect(col, row, 1, 1) : merges_[static_cast<size_t>(index)];
}

// ---- cursor and selection ---------------------------------------------------------------

void StringGrid::setCurrentCell(int col, int row) {
  const int lastCol = colCount_ - 1;
  const int lastRow = lastDataRow();
  if (lastCol < fixedCols_ || lastRow < fixedRows_) return;
  col = std::clamp(col, fixedCols_, lastCol);
  row = std::clamp(row, fixedRows_, lastRow);
  if (col != curCol_ || row != curRow_) {
    if (CellChanging && !CellChanging(curCol_, curRow_, col, row)) return;
    if (isEditing() && !commitEdit()) return;
  }
  const bool moved = col != curCol_ || row != curRow_;
  curCol_ = anchorCol_ = col;
  curRow_ = anchorRow_ = row;
  scrollToCell(col, row);
  changed();
  if (moved) emit currentCellChanged(col, row);
}

void StringGrid::moveCursorTo(int col, int row, bool extend) {
  const int keepAnchorCol = anchorCol_;
  const int keepAnchorRow = anchorRow_;
  const int oldCol = curCol_;
  const int oldRow = curRow_;
  setCurrentCell(col, row);
  if (extend && (curCol_ != oldCol || curRow_ != oldRow)) {
    anchorCol_ = keepAnchorCol;
    anchorRow_ = keepAnchorRow;
    changed();
  }
}

void StringGrid::moveCursorBy(int dCol, int dRow, bool extend) {
  int col = curCol_;
  if (dCol != 0) {
    int next = col + dCol;
    while (next >= fixedCols_ && next < colCount_ && !isVisibleCol(next)) next += dCol;
    if (next >= fixedCols_ && next < colCount_) col = next;
  }
  moveCursorTo(col, curRow_ + dRow, extend);
}

void StringGrid::setRowSelect(bool on) {
  rowSelect_ = on;
  changed();
}

QRect StringGrid::selection() const {
  QRect cells = QRect(QPoint(std::min(anchorCol_, curCol_), std::min(anchorRow_, curRow_)),
                      QPoint(std::max(anchorCol_, curCol_), std::max(anchorRow_, curRow_)));
  if (rowSelect_) {
    cells.setLeft(fixedCols_);
    cells.setRight(colCount_ - 1);
  }
  return cells;
}

void StringGrid::selectRows(int top, int bottom) {
  if (top > bottom) std::swap(top, bottom);
  setCurrentCell(curCol_, bottom);
  const int wantedTop = std::max(fixedRows_, top);
  setCurrentCell(curCol_, wantedTop);
  if (curRow_ != wantedTop) return;
  anchorRow_ = std::clamp(bottom, fixedRows_, std::max(fixedRows_, lastDataRow()));
  anchorCol_ = curCol_;
  if (!rowSelect_) {
    // A block of whole rows in range selection spans every scrolling column.
    anchorCol_ = colCount_ - 1;
    curCol_ = fixedCols_;
  }
  changed();
}

void StringGrid::setSelection(const QRect& cells) {
  setCurrentCell(cells.left(), cells.top());
  anchorCol_ = std::clamp(cells.right(), fixedCols_, std::max(fixedCols_, colCount_ - 1));
  anchorRow_ = std::clamp(cells.bottom(), fixedRows_, std::max(fixedRows_, lastDataRow()));
  changed();
}

// ---- look ----------------------------------------------------------------------------------

void StringGrid::setActiveCellBold(bool on) {
  activeCellBold_ = on;
  changed();
}

void StringGrid::setFixedColor(const QColor& color) {
  fixedColor_ = color;
  changed();
}

void StringGrid::setFooterColor(const QColor& color) {
  footerColor_ = color;
  changed();
}

void StringGrid::beginUpdate() {
  if (updateLock_++ == 0) viewport()->setUpdatesEnabled(false);
}

void StringGrid::endUpdate() {
  if (updateLock_ == 0) return;
  if (--updateLock_ > 0) return;
  viewport()->setUpdatesEnabled(true);
  ensureFooter();
  geometryChanged();
}

void StringGrid::changed() {
  if (updateLock_ == 0) viewport()->update();
}

// ---- footer ---------------------------------------------------------------------------------

void StringGrid::setFooterVisible(bool on) {
  if (on == footerVisible_) return;
  footerVisible_ = on;
  footerDirty_ = true;
  afterRowsChanged();
}

void StringGrid::setFooterSum(int col, const QString& pattern) {
  if (col < 0 || col >= colCount_) return;
  footerPatterns_[static_cast<size_t>(col)] = pattern;
  footerDirty_ = true;
  changed();
}

void StringGrid::updateFooter() {
  footerDirty_ = false;
  if (!footerVisible_ || rowCount() <= fixedRows_) return;
  Row& footer = rows_.back();
  for (int c = 0; c < colCount_; ++c) {
    const QString& pattern = footerPatterns_[static_cast<size_t>(c)];
    if (pattern.isEmpty()) continue;
    double sum = 0;
    for (int r = fixedRows_; r < rowCount() - 1; ++r) {
      double value = 0;
      if (ReadNumber(rows_[static_cast<size_t>(r)][static_cast<size_t>(c)].text, value)) sum += value;
    }
    footer[static_cast<size_t>(c)].text = FormatNumberPattern(sum, pattern);
  }
  changed();
}

void StringGrid::ensureFooter() const {
  if (footerDirty_) const_cast<StringGrid*>(this)->updateFooter();
}

// ---- search ----------------------------------------------------------------------------------

bool StringGrid::findNext(const QString& text, bool backwards) {
  if (text.isEmpty()) return false;
  const int firstRow = fixedRows_;
  const int rowsShown = scrollRowsEnd() - firstRow;
  const int colsShown = colCount_ - fixedCols_;
  if (rowsShown <= 0 || colsShown <= 0) return false;
  const int total = rowsShown * colsShown;
  const int start = (curRow_ - firstRow) * colsShown + (curCol_ - fixedCols_);
  for (int step = 1; step <= total; ++step) {
    const int index = ((start + (backwards ? -step : step)) % total + total) % total;
    const int r = firstRow + index / colsShown;
    const int c = fixedCols_ + index % colsShown;
    if (!isVisibleCol(c)) continue;
    if (rows_[static_cast<size_t>(r)][static_cast<size_t>(c)].text.contains(text, Qt::CaseInsensitive)) {
      setCurrentCell(c, r);
      return curCol_ == c && curRow_ == r;
    }
  }
  return false;
}

void StringGrid::setHighlightText(const QString& text) {
  highlight_ = text;
  changed();
}

// ---- sorting -----------------------------------------------------------------------------------

void StringGrid::sortByColumn(int col, Qt::SortOrder order) {
  if (col < 0 || col >= colCount_) return;
  if (isEditing() && !commitEdit()) return;
  const int first = std::min(fixedRows_, rowCount());
  const int end = scrollRowsEnd();
  const int count = end - first;
  sortCol_ = col;
  sortOrder_ = order;
  if (count > 1) {
    struct Key {
      bool isNumber;
      double number;
      QString text;
    };
    std::vector<Key> keys(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      Key& k = keys[static_cast<size_t>(i)];
      k.text = rows_[static_cast<size_t>(first + i)][static_cast<size_t>(col)].text.trimmed();
      k.isNumber = ReadNumber(k.text, k.number);
    }
    // Empty cells first, then numbers by value, then texts in the locale's order.
    auto less = [&keys](int a, int b) {
      const Key& x = keys[static_cast<size_t>(a)];
      const Key& y = keys[static_cast<size_t>(b)];
      const int xr = x.text.isEmpty() ? 0 : (x.isNumber ? 1 : 2);
      const int yr = y.text.isEmpty() ? 0 : (y.isNumber ? 1 : 2);
      if (xr != yr) return xr < yr;
      if (xr == 1) return x.number < y.number;
      if (xr == 2) return QString::localeAwareCompare(x.text, y.text) < 0;
      return false;
    };
    std::vector<int> order_(static_cast<size_t>(count));
    std::iota(order_.begin(), order_.end(), 0);
    if (order == Qt::AscendingOrder)
      std::stable_sort(order_.begin(), order_.end(), less);
    else
      std::stable_sort(order_.begin(), order_.end(), [&less](int a, int b) { return less(b, a); });

    // The fixed columns (row numbers) stay where they are.
    const int keep = std::min(fixedCols_, colCount_);
    std::vector<Cell> fixedCells;
    fixedCells.reserve(static_cast<size_t>(count * keep));
    for (int i = 0; i < count; ++i)
      for (int c = 0; c < keep; ++c) fixedCells.push_back(std::move(rows_[static_cast<size_t>(first + i)][static_cast<size_t>(c)]));
    std::vector<Row> sorted(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
      sorted[static_cast<size_t>(i)] = std::move(rows_[static_cast<size_t>(first + order_[static_cast<size_t>(i)])]);
    for (int i = 0; i < count; ++i) {
      Row& row = rows_[static_cast<size_t>(first + i)];
      row = std::move(sorted[static_cast<size_t>(i)]);
      for (int c = 0; c < keep; ++c) row[static_cast<size_t>(c)] = std::move(fixedCells[static_cast<size_t>(i * keep + c)]);
    }
  }
  if (autoNumbering_ && fixedCols_ > 0) autoNumberCol(0);
  changed();
  emit sorted(col, order);
}

// ---- editing ------------------------------------------------------------------------------------

void StringGrid::setEditable(bool on) {
  if (!on) cancelEdit();
  editable_ = on;
}

EditorType StringGrid::editorTypeOf(int col, int row) const {
  if (!editable_ || col < fixedCols_ || row < fixedRows_ || !validCell(col, row)) return EditorType::None;
  if (footerVisible_ && row == rowCount() - 1) return EditorType::None;
  if (!GetEditorType) return EditorType::Edit;
  return GetEditorType(col, row);
}

bool StringGrid::startEdit(const QString* initialText) {
  if (isEditing()) return true;
  const int col = curCol_;
  const int row = curRow_;
  if (!validCell(col, row) || !isVisibleCol(col)) return false;
  comboItems_.clear();
  const EditorType type = editorTypeOf(col, row);
  CellEditorOptions options;
  options.items = comboItems_;
  options.autoComplete = comboAutoComplete_;
  QWidget* editor = CreateCellEditor(type, options, viewport());
  if (!editor) return false;
  editor_ = editor;
  editCol_ = col;
  editRow_ = row;
  QFont font = editor->font();
  font.setBold(cellBold(col, row) || activeCellBold_);
  editor->setFont(font);
  SetCellEditorText(editor, initialText ? *initialText : cell(col, row), initialText == nullptr);
  editor->installEventFilter(this);
  if (QWidget* keys = CellEditorKeyTarget(editor); keys != editor) keys->installEventFilter(this);
  scrollToCell(col, row);
  placeEditor();
  editor->show();
  CellEditorKeyTarget(editor)->setFocus(Qt::OtherFocusReason);
  if (type == EditorType::ComboEdit && comboAutoDropDown_) {
    QPointer<QWidget> opened = editor;
    QTimer::singleShot(0, this, [opened] {
      if (opened) DropDownCellEditor(opened);
    });
  }
  return true;
}

QString StringGrid::editorText() const { return CellEditorText(editor_.data()); }

bool StringGrid::commitEdit() {
  if (!isEditing()) return true;
  if (committing_) return false;
  committing_ = true;
  const int col = editCol_;
  const int row = editRow_;
  QString value = editorText();
  const QString old = cell(col, row);
  // The validation sees the cell at its new value, so sums over the row or
  // column it computes count the edit.
  setCell(col, row, value);
  if (CellValidate) {
    bool valid = false;
    try {
      valid = CellValidate(col, row, value);
    } catch (...) {
      committing_ = false;
      closeEditor();
      throw;
    }
    if (!valid) {
      setCell(col, row, old);
      committing_ = false;
      return false;
    }
  }
  setCell(col, row, value);
  committing_ = false;
  closeEditor();
  emit cellEdited(col, row);
  return true;
}

void StringGrid::cancelEdit() {
  if (isEditing()) closeEditor();
}

void StringGrid::closeEditor() {
  QWidget* editor = editor_.data();
  editor_.clear();
  editCol_ = editRow_ = -1;
  if (!editor) return;
  const bool hadFocus = editor->isAncestorOf(QApplication::focusWidget()) || editor->hasFocus();
  editor->removeEventFilter(this);
  CellEditorKeyTarget(editor)->removeEventFilter(this);
  editor->hide();
  editor->deleteLater();
  if (hadFocus) setFocus(Qt::OtherFocusReason);
  changed();
}

void StringGrid::placeEditor() {
  if (!isEditing()) return;
  const QRect rect = cellRect(editCol_, editRow_);
  if (rect.isEmpty()) {
    editor_->setGeometry(-1000, -1000, 10, 10);
    return;
  }
  editor_->setGeometry(rect.adjusted(0, 0, -1, -1));
}

// ---- geometry ------------------------------------------------------------------------------------

int StringGrid::colLeft(int col) const {
  int x = 0;
  for (int c = 0; c < col && c < colCount_; ++c) x += colWidths_[static_cast<size_t>(c)];
  return x;
}

int StringGrid::rowTop(int row) const { return row * rowHeight_; }

int StringGrid::fixedWidth() const { return colLeft(std::min(fixedCols_, colCount_)); }

int StringGrid::fixedHeight() const { return rowTop(std::min(fixedRows_, rowCount())); }

int StringGrid::footerHeight() const { return footerVisible_ && rowCount() > fixedRows_ ? rowHeight_ : 0; }

int StringGrid::viewX(int contentX, int col) const {
  return col < fixedCols_ ? contentX : contentX - horizontalScrollBar()->value();
}

int StringGrid::viewY(int contentY, int row) const {
  if (row < fixedRows_) return contentY;
  if (footerVisible_ && row == rowCount() - 1 && row >= fixedRows_) {
    const int afterData = fixedHeight() + (scrollRowsEnd() - fixedRows_) * rowHeight_ - verticalScrollBar()->value();
    return std::min(viewport()->height() - rowHeight_, afterData);
  }
  return contentY - verticalScrollBar()->value();
}

QRect StringGrid::cellRect(int col, int row) const {
  if (!validCell(col, row)) return QRect();
  const QRect block = mergeBlock(col, row);
  int width = 0;
  for (int c = block.left(); c <= block.right(); ++c) width += colWidth(c);
  if (width <= 0) return QRect();
  const int x = viewX(colLeft(block.left()), block.left());
  const int y = viewY(rowTop(block.top()), block.top());
  return QRect(x, y, width, block.height() * rowHeight_);
}

int StringGrid::colAtX(int x) const {
  if (x < 0) return -1;
  const int fixedW = fixedWidth();
  int left = 0;
  int from = 0;
  int to = std::min(fixedCols_, colCount_);
  if (x >= fixedW) {
    left = fixedW - horizontalScrollBar()->value();
    from = to;
    to = colCount_;
  }
  for (int c = from; c < to; ++c) {
    const int w = colWidths_[static_cast<size_t>(c)];
    if (w > 0 && x >= left && x < left + w) return c;
    left += w;
  }
  return -1;
}

int StringGrid::rowAtY(int y) const {
  if (y < 0) return -1;
  const int fixedH = fixedHeight();
  if (y < fixedH) return y / rowHeight_;
  if (footerHeight() > 0) {
    const int footerTop = viewY(0, rowCount() - 1);
    if (y >= footerTop && y < footerTop + rowHeight_) return rowCount() - 1;
    if (y >= footerTop) return -1;
  }
  const int row = (y + verticalScrollBar()->value()) / rowHeight_;
  return row >= fixedRows_ && row < scrollRowsEnd() ? row : -1;
}

QPoint StringGrid::cellAt(const QPoint& pos) const {
  const int col = colAtX(pos.x());
  const int row = rowAtY(pos.y());
  if (col < 0 || row < 0) return QPoint(-1, -1);
  return mergeBase(col, row);
}

void StringGrid::scrollToCell(int col, int row) {
  if (row >= fixedRows_ && row < scrollRowsEnd()) {
    const int avail = viewport()->height() - fixedHeight() - footerHeight();
    const int top = rowTop(row) - fixedHeight();
    QScrollBar* bar = verticalScrollBar();
    if (top < bar->value())
      bar->setValue(top);
    else if (top + rowHeight_ > bar->value() + avail)
      bar->setValue(top + rowHeight_ - avail);
  }
  if (col >= fixedCols_ && col < colCount_) {
    const int avail = viewport()->width() - fixedWidth();
    const int left = colLeft(col) - fixedWidth();
    const int width = colWidth(col);
    QScrollBar* bar = horizontalScrollBar();
    if (left < bar->value())
      bar->setValue(left);
    else if (left + width > bar->value() + avail)
      bar->setValue(std::min(left, left + width - avail));
  }
}

void StringGrid::geometryChanged() {
  if (updateLock_ > 0) return;
  updateScrollBars();
  placeEditor();
  viewport()->update();
}

void StringGrid::updateScrollBars() {
  const int scrollWidth = colLeft(colCount_) - fixedWidth();
  const int availWidth = std::max(0, viewport()->width() - fixedWidth());
  horizontalScrollBar()->setRange(0, std::max(0, scrollWidth - availWidth));
  horizontalScrollBar()->setPageStep(std::max(1, availWidth));
  const int scrollHeight = (scrollRowsEnd() - std::min(fixedRows_, rowCount())) * rowHeight_;
  const int availHeight = std::max(0, viewport()->height() - fixedHeight() - footerHeight());
  verticalScrollBar()->setRange(0, std::max(0, scrollHeight - availHeight));
  verticalScrollBar()->setPageStep(std::max(1, availHeight));
  verticalScrollBar()->setSingleStep(rowHeight_);
}

void StringGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
  placeEditor();
}

void StringGrid::scrollContentsBy(int, int) {
  placeEditor();
  viewport()->update();
}

// ---- mouse ----------------------------------------------------------------------------------------

int StringGrid::sizingBorderAt(const QPoint& pos) const {
  if (!columnSizing_ || pos.y() < 0 || pos.y() >= fixedHeight()) return -1;
  for (int c = colCount_ - 1; c >= 0; --c) {
    const int w = colWidth(c);
    if (w <= 0) continue;
    const int right = viewX(colLeft(c), c) + w;
    if (c >= fixedCols_ && right <= fixedWidth()) continue;  // scrolled under the fixed part
    if (std::abs(pos.x() - right) <= kSizingGrip) return c;
  }
  return -1;
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  const QPoint pos = event->position().toPoint();
  if (const int border = sizingBorderAt(pos); border >= 0) {
    sizingCol_ = border;
    sizingStartX_ = pos.x();
    sizingStartWidth_ = colWidth(border);
    return;
  }
  const QPoint at = cellAt(pos);
  if (at.x() < 0) return;
  const int col = at.x();
  const int row = at.y();
  if (isEditing() && !commitEdit()) return;
  if (row < fixedRows_) {
    if (sortOnClick_ && col >= fixedCols_)
      sortByColumn(col, sortCol_ == col && sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
  } else if (footerVisible_ && row == rowCount() - 1) {
    // the footer takes no cursor
  } else if (col < fixedCols_) {
    moveCursorTo(curCol_, row, event->modifiers() & Qt::ShiftModifier);
    selecting_ = true;
  } else {
    moveCursorTo(col, row, event->modifiers() & Qt::ShiftModifier);
    selecting_ = true;
  }
  if (ClickCell) ClickCell(col, row);
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (sizingCol_ >= 0) {
    setColWidth(sizingCol_, std::max(0, sizingStartWidth_ + pos.x() - sizingStartX_));
    return;
  }
  if (selecting_ && (event->buttons() & Qt::LeftButton)) {
    const int col = colAtX(pos.x());
    const int row = rowAtY(pos.y());
    if (row >= fixedRows_ && row <= lastDataRow())
      moveCursorTo(col >= fixedCols_ ? col : curCol_, row, true);
    return;
  }
  viewport()->setCursor(sizingBorderAt(pos) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void StringGrid::mouseReleaseEvent(QMouseEvent*) {
  sizingCol_ = -1;
  selecting_ = false;
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint pos = event->position().toPoint();
  if (sizingBorderAt(pos) >= 0) return;
  const QPoint at = cellAt(pos);
  if (at.x() < 0) return;
  if (DblClickCell) DblClickCell(at.x(), at.y());
  if (at.x() == curCol_ && at.y() == curRow_ && at.y() >= fixedRows_) startEdit();
}

// ---- keyboard --------------------------------------------------------------------------------------

bool StringGrid::event(QEvent* event) {
  // Tab moves between cells instead of leaving the grid.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const int pageRows = std::max(1, (viewport()->height() - fixedHeight() - footerHeight()) / rowHeight_);
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->ignore();  // the window decides
      return;
    case Qt::Key_Up: moveCursorBy(0, -1, shift); return;
    case Qt::Key_Down: moveCursorBy(0, 1, shift); return;
    case Qt::Key_Left: moveCursorBy(-1, 0, shift); return;
    case Qt::Key_Right: moveCursorBy(1, 0, shift); return;
    case Qt::Key_Tab: moveCursorBy(1, 0, false); return;
    case Qt::Key_Backtab: moveCursorBy(-1, 0, false); return;
    case Qt::Key_PageUp: moveCursorBy(0, -pageRows, shift); return;
    case Qt::Key_PageDown: moveCursorBy(0, pageRows, shift); return;
    case Qt::Key_Home:
      if (ctrl) moveCursorTo(curCol_, fixedRows_, shift);
      else moveCursorTo(fixedCols_, curRow_, shift);
      return;
    case Qt::Key_End:
      if (ctrl) moveCursorTo(curCol_, lastDataRow(), shift);
      else moveCursorTo(colCount_ - 1, curRow_, shift);
      return;
    case Qt::Key_F2:
      startEdit();
      return;
    default:
      break;
  }
  const QString text = event->text();
  if (!ctrl && !text.isEmpty() && text.at(0).isPrint() && editorTypeOf(curCol_, curRow_) != EditorType::None) {
    startEdit(&text);
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
  if (!isEditing() || (watched != editor_.data() && watched != CellEditorKeyTarget(editor_.data())))
    return QAbstractScrollArea::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool isLineEdit = CellEditorKeyTarget(editor_.data()) == editor_.data();
    switch (key->key()) {
      case Qt::Key_Escape:
        cancelEdit();
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Tab:
      case Qt::Key_Backtab: {
        if (IsCellEditorDroppedDown(editor_.data())) return false;
        if (!commitEdit()) return true;
        // After the value is stored the key goes on as if the grid had it,
        // so Enter reaches the window.
        QKeyEvent forwarded(key->type(), key->key(), key->modifiers(), key->text());
        QApplication::sendEvent(this, &forwarded);
        return true;
      }
      case Qt::Key_Up:
      case Qt::Key_Down:
        if (!isLineEdit) return false;
        if (commitEdit()) moveCursorBy(0, key->key() == Qt::Key_Up ? -1 : 1, false);
        return true;
      default:
        return false;
    }
  }
  if (event->type() == QEvent::FocusOut) {
    auto* focus = static_cast<QFocusEvent*>(event);
    if (focus->reason() == Qt::PopupFocusReason || committing_) return false;
    QWidget* now = QApplication::focusWidget();
    if (now && editor_ && (now == editor_.data() || editor_->isAncestorOf(now))) return false;
    // Leaving the editor stores its value; a refused value stays open.
    QTimer::singleShot(0, this, [this] {
      if (!isEditing()) return;
      QWidget* focused = QApplication::focusWidget();
      if (focused && (focused == editor_.data() || editor_->isAncestorOf(focused))) return;
      commitEdit();
    });
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}

}  // namespace velmor
