// The string grid every list of the program is built on: a table of texts
// addressed (column, row) with the fixed rows and columns counted, so row 0
// is the caption row and column 0 the row-number column of a list.
//
// The cells live in plain vectors and are painted directly, which keeps a
// list of 10 000 rows cheap to fill. Fixed rows stay at the top and fixed
// columns at the left while the rest scrolls; an optional footer row (the
// grid's last row) floats at the bottom of the view.
//
// Enter is deliberately not used by the grid: an open editor is committed
// and the key travels on to the window, which decides where the cursor goes.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPainter;

namespace velmor {

// The in-cell editors a cell may get; chosen per cell by GetEditorType.
enum class EditorType {
  None,            // the cell cannot be edited
  Edit,            // plain text edit
  ComboEdit,       // editable drop-down list, filled when the editor opens
  Numeric,         // decimal number, optionally signed
  PositiveNumber,  // whole number of digits only
};

class StringGrid : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit StringGrid(QWidget* parent = nullptr);
  ~StringGrid() override;

  // ---- shape --------------------------------------------------------------
  int colCount() const { return colCount_; }
  int rowCount() const { return static_cast<int>(rows_.size()); }
  void setColCount(int count);
  void setRowCount(int count);
  int fixedRows() const { return fixedRows_; }
  int fixedCols() const { return fixedCols_; }
  void setFixedRows(int count);
  void setFixedCols(int count);

  // Width 0 hides a column; a column narrower than 5 pixels counts as hidden
  // for the window's keyboard moves.
  int colWidth(int col) const;
  void setColWidth(int col, int width);
  int defaultColWidth() const { return defaultColWidth_; }
  void setDefaultColWidth(int width);
  int rowHeight() const { return rowHeight_; }
  void setRowHeight(int height);

  // ---- cells ----------------------------------------------------------------
  // Out-of-range reads give empty text; out-of-range writes are ignored.
  QString cell(int col, int row) const;
  void setCell(int col, int row, const QString& text);
  // Alignment 0 means "no alignment of its own": GetAlignment or the default.
  Qt::Alignment cellAlignment(int col, int row) const;
  void setCellAlignment(int col, int row, Qt::Alignment alignment);
  bool cellBold(int col, int row) const;
  void setCellBold(int col, int row, bool bold);
  QColor cellColor(int col, int row) const;  // invalid: the grid's colour
  void setCellColor(int col, int row, const QColor& color);
  void setColAlignment(int col, Qt::Alignment alignment);  // every row of the column
  // The alignment a cell is painted with, after the callback and defaults.
  Qt::Alignment effectiveAlignment(int col, int row) const;

  // Clears text and attributes of every cell; the shape stays.
  void clear();
  // Clears the cells of the rows from..to inclusive.
  void clearRows(int fromRow, int toRow);
  void clearRow(int row) { clearRows(row, row); }

  // ---- rows -------------------------------------------------------------------
  void addRow();                           // one empty row after the last
  void insertRows(int row, int count = 1);  // empty rows before `row`
  void removeRows(int row, int count = 1);
  void moveRow(int from, int to);           // the row ends up at index `to`
  // Writes 1, 2, … into `col` of the data rows (the footer row left alone).
  void autoNumberCol(int col);
  // Renumber column 0 after every row insert, remove and sort.
  void setAutoNumbering(bool on) { autoNumbering_ = on; }
  bool autoNumbering() const { return autoNumbering_; }
  // First and last row that holds data (the footer row excluded).
  int firstDataRow() const { return fixedRows_; }
  int lastDataRow() const;

  // ---- merged cells -------------------------------------------------------------
  // The merged block shows the text and attributes of its top-left cell.
  void mergeCells(int col, int row, int colSpan, int rowSpan);
  void splitCells(int col, int row);
  void clearMerges();
  bool isMerged(int col, int row) const;
  // The top-left cell of the block holding (col, row); itself when not merged.
  QPoint mergeBase(int col, int row) const;
  // The block holding (col, row) as a rectangle of cells (1×1 when not merged).
  QRect mergeBlock(int col, int row) const;

  // ---- cursor and selection -----------------------------------------------------
  int col() const { return curCol_; }
  int row() const { return curRow_; }
  void setCol(int col) { setCurrentCell(col, curRow_); }
  void setRow(int row) { setCurrentCell(curCol_, row); }
  // Moves the cursor (clamped to the scrolling part), collapses the
  // selection onto it and scrolls it into view. CellChanging may refuse.
  void setCurrentCell(int col, int row);
  // Whole-row selection, as list grids use it, or a free range of cells.
  void setRowSelect(bool on);
  bool rowSelect() const { return rowSelect_; }
  // The selected block in cells; a row selection spans all columns.
  QRect selection() const;
  int selTop() const { return selection().top(); }
  int selBottom() const { return selection().bottom(); }
  // Selects rows top..bottom; the cursor goes to `top` in its column.
  void selectRows(int top, int bottom);
  void setSelection(const QRect& cells);

  // ---- look ----------------------------------------------------------------------
  void setActiveCellBold(bool on);  // the cursor cell painted in bold
  void setFixedColor(const QColor& color);
  void setFooterColor(const QColor& color);
  // Column sizing by dragging a caption border.
  void setColumnSizing(bool on) { columnSizing_ = on; }
  bool columnSizing() const { return columnSizing_; }

  // Painting stays suspended between the two calls (they nest); the footer
  // sums are brought up to date at the end.
  void beginUpdate();
  void endUpdate();

  // ---- footer ----------------------------------------------------------------------
  // The footer is the grid's last row; it floats at the bottom of the view,
  // stays last when sorting and holds the column sums asked for.
  void setFooterVisible(bool on);
  bool footerVisible() const { return footerVisible_; }
  int footerRow() const { return footerVisible_ ? rowCount() - 1 : -1; }
  // Keeps the sum of `col` over the data rows in the footer, written with a
  // number pattern ("0", "0.00", …); an empty pattern stops summing it.
  void setFooterSum(int col, const QString& pattern);
  void updateFooter();

  // Finds `text` (case-insensitive, part of a cell) from the cell after the
  // cursor onwards or backwards, wrapping; moves the cursor there.
  bool findNext(const QString& text, bool backwards = false);
  // Cells containing the text are painted highlighted; empty text stops it.
  void setHighlightText(const QString& text);
  QString highlightText() const { return highlight_; }

  // ---- sorting ------------------------------------------------------------------------
  // A click on a caption sorts the data rows by that column; a second click
  // reverses the order. Fixed rows and columns and the footer stay in place.
  void setSortOnHeaderClick(bool on) { sortOnClick_ = on; }
  bool sortOnHeaderClick() const { return sortOnClick_; }
  void sortByColumn(int col, Qt::SortOrder order);
  int sortColumn() const { return sortCol_; }  // -1 when not sorted
  Qt::SortOrder sortOrder() const { return sortOrder_; }

  // ---- editing -------------------------------------------------------------------------
  void setEditable(bool on);
  bool editable() const { return editable_; }
  // Drop-down editors drop down by themselves and complete what is typed.
  void setComboAutoDropDown(bool on) { comboAutoDropDown_ = on; }
  void setComboAutoComplete(bool on) { comboAutoComplete_ = on; }
  // The items of the drop-down editor about to open; GetEditorType fills them.
  void clearComboStrings() { comboItems_.clear(); }
  void addComboString(const QString& item) { comboItems_.append(item); }
  void setComboStrings(const QStringList& items) { comboItems_ = items; }
  const QStringList& comboStrings() const { return comboItems_; }

  // Opens the editor on the current cell (false when the cell cannot be
  // edited); `initialText` replaces the cell's text when given.
  bool startEdit(const QString* initialText = nullptr);
  // Validates and stores the editor's text; false when CellValidate refused,
  // the editor then stays open.
  bool commitEdit();
  void cancelEdit();
  bool isEditing() const { return !editor_.isNull(); }
  QWidget* editor() const { return editor_.data(); }
  EditorType editorTypeOf(int col, int row) const;

  // ---- geometry ------------------------------------------------------------------------
  // The rectangle of a cell (of its merged block) in viewport coordinates;
  // empty when not shown.
  QRect cellRect(int col, int row) const;
  // The cell (base cell of a merged block) under a viewport point, or (-1,-1).
  QPoint cellAt(const QPoint& viewportPos) const;
  void scrollToCell(int col, int row);

  // ---- events named as the windows handle them ------------------------------------------
  std::function<EditorType(int col, int row)> GetEditorType;
  // A non-zero answer overrides the cell's own alignment.
  std::function<Qt::Alignment(int col, int row)> GetAlignment;
  // Called with the cell already holding `value`; may rewrite `value`
  // (stored afterwards) or answer false to keep the editor open.
  std::function<bool(int col, int row, QString& value)> CellValidate;
  // Before the cursor moves; false keeps it where it is.
  std::function<bool(int oldCol, int oldRow, int newCol, int newRow)> CellChanging;
  std::function<void(int col, int row)> ClickCell;
  std::function<void(int col, int row)> DblClickCell;

 signals:
  void currentCellChanged(int col, int row);
  void cellEdited(int col, int row);  // after an edit was stored
  void sorted(int col, Qt::SortOrder order);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Cell {
    QString text;
    Qt::Alignment alignment;
    QColor color;
    bool bold = false;
  };
  using Row = std::vector<Cell>;

  bool validCell(int col, int row) const;
  Cell* cellPtr(int col, int row);
  const Cell* cellPtr(int col, int row) const;
  void changed();  // repaint unless suspended
  void geometryChanged();
  void updateScrollBars();
  int fixedWidth() const;
  int fixedHeight() const;
  int footerHeight() const;
  int colLeft(int col) const;  // in content coordinates
  int rowTop(int row) const;
  int colAtX(int x) const;     // viewport x to column, -1 when none
  int rowAtY(int y) const;
  int viewX(int contentX, int col) const;
  int viewY(int contentY, int row) const;
  int scrollRowsEnd() const;   // one past the last scrolling row
  bool isVisibleCol(int col) const { return colWidth(col) > 0; }
  void moveCursorBy(int dCol, int dRow, bool extend);
  void moveCursorTo(int col, int row, bool extend);
  int sizingBorderAt(const QPoint& pos) const;  // column whose right edge is at pos, or -1
  void paintCell(QPainter& painter, int col, int row, const QRect& rect);
  void paintRegion(QPainter& painter, const QRect& clip, int rowFrom, int rowTo, int colFrom, int colTo);
  void ensureFooter() const;
  int mergeIndexAt(int col, int row) const;
  void shiftMerges(int fromRow, int delta);
  void afterRowsChanged();
  void placeEditor();
  void closeEditor();
  QString editorText() const;

  std::vector<Row> rows_;
  std::vector<int> colWidths_;
  int colCount_ = 0;
  int fixedRows_ = 1;
  int fixedCols_ = 1;
  int defaultColWidth_ = 64;
  int rowHeight_ = 22;
  std::vector<QRect> merges_;

  int curCol_ = 1;
  int curRow_ = 1;
  int anchorCol_ = 1;
  int anchorRow_ = 1;
  bool rowSelect_ = false;
  bool activeCellBold_ = false;
  bool columnSizing_ = true;
  bool autoNumbering_ = false;
  bool editable_ = false;
  bool sortOnClick_ = false;
  int sortCol_ = -1;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
  bool footerVisible_ = false;
  std::vector<QString> footerPatterns_;  // per column, empty: no sum
  mutable bool footerDirty_ = false;
  int updateLock_ = 0;
  QColor fixedColor_;
  QColor footerColor_;

  bool comboAutoDropDown_ = false;
  bool comboAutoComplete_ = false;
  QStringList comboItems_;
  QPointer<QWidget> editor_;
  int editCol_ = -1;
  int editRow_ = -1;
  bool committing_ = false;

  int sizingCol_ = -1;
  int sizingStartX_ = 0;
  int sizingStartWidth_ = 0;
  bool selecting_ = false;
  QString highlight_;
};

// Formats a number with a pattern "0" or "0." followed by one "0" per
// decimal: rounded to that many decimals, never grouped.
QString FormatNumberPattern(double value, const QString& pattern);

}  // namespace velmor
