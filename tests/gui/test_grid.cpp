// The string grid as the lists and the sale bill use it: addressing with the
// fixed parts counted, merged header rows, hidden columns, editors chosen per
// cell, validation that rewrites a value, footer sums, sorting, row operations.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include "StringGrid.h"
#include "StringGridSearchBar.h"
#include "TestSupport.h"

using velmor::EditorType;
using velmor::StringGrid;

namespace {

// A window that keeps the keys the grid leaves to it, as the bill window does.
class KeyWindow : public QWidget {
 public:
  QList<int> keys;

 protected:
  void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
};

// A list grid: a row-number column, a caption row and `rows` data rows.
void FillList(StringGrid& grid, const QStringList& captions, const QList<QStringList>& rows) {
  grid.setColCount(static_cast<int>(captions.size()) + 1);
  grid.setRowCount(static_cast<int>(rows.size()) + 1);
  for (int c = 0; c < captions.size(); ++c) grid.setCell(c + 1, 0, captions[c]);
  for (int r = 0; r < rows.size(); ++r) {
    grid.setCell(0, r + 1, QString::number(r + 1));
    for (int c = 0; c < rows[r].size(); ++c) grid.setCell(c + 1, r + 1, rows[r][c]);
  }
}

QStringList Column(const StringGrid& grid, int col, int fromRow, int toRow) {
  QStringList texts;
  for (int r = fromRow; r <= toRow; ++r) texts << grid.cell(col, r);
  return texts;
}

void SendMouse(QWidget* viewport, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(pos), QPointF(viewport->mapToGlobal(pos)),
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(viewport, &event);
}

// The sale bill's header: two fixed rows, caption cells of columns 0–12 and
// 23 over both rows, "颜色" over the ten colour columns in row 0.
void BuildBillHeader(StringGrid& grid) {
  const QStringList captions = {"",   "内码", "序号", "编码", "产品名称", "型号", "规格", "颜色", "包装",
                                "数量", "单位", "单价", "金额", "色1",     "色2",  "色3",  "色4",  "色5",
                                "色6",  "色7",  "色8",  "色9",  "色10",     "备注"};
  grid.setColCount(24);
  grid.setRowCount(5);
  grid.setFixedRows(2);
  grid.setFixedCols(1);
  for (int c = 0; c < 24; ++c) {
    grid.setCell(c, 0, captions[c]);
    grid.setCellAlignment(c, 0, Qt::AlignCenter);
    grid.setCellAlignment(c, 1, Qt::AlignCenter);
    grid.setColWidth(c, c == 0 ? 30 : 60);
  }
  grid.setColWidth(1, 0);
  grid.setColWidth(2, 0);
  for (int c = 13; c <= 22; ++c) grid.setCell(c, 1, captions[c]);
  for (int c = 0; c <= 12; ++c) grid.mergeCells(c, 0, 1, 2);
  grid.mergeCells(23, 0, 1, 2);
  grid.mergeCells(13, 0, 10, 1);
  grid.setCell(13, 0, "颜色");
}

}  // namespace

class TestGrid : public QObject {
  Q_OBJECT

 private slots:
  void addressesCellsWithFixedPartsCounted() {
    StringGrid grid;
    grid.setColCount(4);
    grid.setRowCount(3);
    QCOMPARE(grid.fixedRows(), 1);
    QCOMPARE(grid.fixedCols(), 1);
    grid.setCell(0, 0, "corner");
    grid.setCell(3, 2, "last");
    grid.setCell(4, 2, "outside");  // ignored, not a crash
    QCOMPARE(grid.cell(3, 2), QString("last"));
    QCOMPARE(grid.cell(4, 2), QString());
    QCOMPARE(grid.cell(-1, 0), QString());

    // The cursor never lands on a fixed cell.
    grid.setCurrentCell(0, 0);
    QCOMPARE(grid.col(), 1);
    QCOMPARE(grid.row(), 1);
    grid.setCurrentCell(3, 2);
    QCOMPARE(grid.col(), 3);
    QCOMPARE(grid.row(), 2);
    grid.setCurrentCell(9, 9);
    QCOMPARE(grid.col(), 3);
    QCOMPARE(grid.row(), 2);

    // Shrinking keeps what fits.
    grid.setColCount(2);
    QCOMPARE(grid.col(), 1);
    grid.setColCount(4);
    QCOMPARE(grid.cell(3, 2), QString());
    QCOMPARE(grid.cell(0, 0), QString("corner"));
  }

  void fixedRowsAndColumnsStayWhileTheRestScrolls() {
    StringGrid grid;
    grid.resize(300, 200);
    grid.setColCount(20);
    grid.setRowCount(200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QRect captionBefore = grid.cellRect(5, 0);
    const QRect numberBefore = grid.cellRect(0, 50);
    const QRect dataBefore = grid.cellRect(5, 50);
    grid.verticalScrollBar()->setValue(40 * grid.rowHeight());
    grid.horizontalScrollBar()->setValue(3 * grid.defaultColWidth());
    QCOMPARE(grid.cellRect(5, 0).top(), captionBefore.top());
    QCOMPARE(grid.cellRect(0, 50).left(), numberBefore.left());
    QCOMPARE(grid.cellRect(5, 50).top(), dataBefore.top() - 40 * grid.rowHeight());
    QCOMPARE(grid.cellRect(5, 50).left(), dataBefore.left() - 3 * grid.defaultColWidth());
    // A point over the caption row finds the caption, not the data scrolled under it.
    QCOMPARE(grid.cellAt(QPoint(grid.cellRect(5, 0).center())), QPoint(5, 0));
    // Moving the cursor far down brings it into view below the fixed row.
    grid.setCurrentCell(5, 199);
    const QRect last = grid.cellRect(5, 199);
    QVERIFY(last.top() >= grid.rowHeight());
    QVERIFY(last.bottom() < grid.viewport()->height());
  }

  void mergedHeaderRowsOfTheBill() {
    StringGrid grid;
    grid.resize(1450, 160);
    BuildBillHeader(grid);
    grid.setCell(4, 2, "电力电缆");
    grid.setCell(9, 2, "12.50");
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    // The caption of column 4 covers both header rows.
    QCOMPARE(grid.mergeBase(4, 1), QPoint(4, 0));
    QCOMPARE(grid.cellRect(4, 1), grid.cellRect(4, 0));
    QCOMPARE(grid.cellRect(4, 0).height(), 2 * grid.rowHeight());
    // "颜色" spans the ten colour columns of row 0; row 1 keeps them apart.
    QCOMPARE(grid.mergeBlock(17, 0), QRect(13, 0, 10, 1));
    QCOMPARE(grid.cellRect(13, 0).width(), 10 * 60);
    QCOMPARE(grid.cellAt(grid.cellRect(20, 1).center()), QPoint(20, 1));
    QCOMPARE(grid.cellAt(QPoint(grid.cellRect(20, 1).center().x(), 2)), QPoint(13, 0));
    QCOMPARE(grid.cell(13, 0), QString("颜色"));
    // The cursor starts below both header rows.
    grid.setCurrentCell(4, 0);
    QCOMPARE(grid.row(), 2);
    velmor::test::SaveScreenshot(&grid, "bill-header");
  }

  void widthZeroHidesAColumn() {
    StringGrid grid;
    grid.resize(400, 200);
    FillList(grid, {"ID", "名称", "宽度"}, {{"7", "型号", "80"}});
    grid.setColWidth(1, 0);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QVERIFY(grid.cellRect(1, 1).isEmpty());
    QCOMPARE(grid.cellRect(2, 1).left(), grid.colWidth(0));
    QCOMPARE(grid.cellAt(QPoint(grid.colWidth(0) + 1, grid.rowHeight() + 2)), QPoint(2, 1));
    // Arrow keys step over the hidden column; the hidden cell keeps its key.
    grid.setCurrentCell(3, 1);
    QTest::keyClick(&grid, Qt::Key_Left);
    QTest::keyClick(&grid, Qt::Key_Left);
    QCOMPARE(grid.col(), 2);
    QCOMPARE(grid.cell(1, 1), QString("7"));
  }

  void editorsChosenPerCellByCallback() {
    StringGrid grid;
    grid.resize(500, 200);
    FillList(grid, {"名称", "数量", "宽度", "代码", "备注"}, {{"", "", "", "固定", ""}});
    grid.setEditable(true);
    int openedFor = -1;
    grid.GetEditorType = [&](int col, int) {
      openedFor = col;
      switch (col) {
        case 1:
          // Filled each time the editor opens.
          grid.clearComboStrings();
          grid.addComboString("YJV");
          grid.addComboString("VV");
          return EditorType::ComboEdit;
        case 2: return EditorType::Numeric;
        case 3: return EditorType::PositiveNumber;
        case 4: return EditorType::None;
        default: return EditorType::Edit;
      }
    };
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    struct Case {
      int col;
      const char* typed;  // first key opens the editor, the rest goes into it
      const char* stored;
    };
    const Case kCases[] = {
        {1, "YJ", "YJ"},
        {2, "-12.5a", "-12.5"},
        {2, "3..4", "3.4"},
        {3, "1-2.0x", "120"},
        {5, "plain text", "plain text"},
    };
    for (const Case& c : kCases) {
      grid.setCurrentCell(c.col, 1);
      const QString typed = QString::fromUtf8(c.typed);
      QTest::keyClick(&grid, typed.at(0).toLatin1());
      QVERIFY2(grid.isEditing(), c.typed);
      QCOMPARE(openedFor, c.col);
      QWidget* keys = qobject_cast<QComboBox*>(grid.editor()) ? qobject_cast<QComboBox*>(grid.editor())->lineEdit()
                                                              : grid.editor();
      QTest::keyClicks(keys, typed.mid(1));
      if (c.col == 1) {
        auto* combo = qobject_cast<QComboBox*>(grid.editor());
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QString("YJV"));
      }
      QVERIFY(grid.commitEdit());
      QCOMPARE(grid.cell(c.col, 1), QString::fromUtf8(c.stored));
    }
    // A cell without an editor does not open one, and its text stays.
    grid.setCurrentCell(4, 1);
    QTest::keyClick(&grid, 'z');
    QVERIFY(!grid.isEditing());
    QCOMPARE(grid.cell(4, 1), QString("固定"));
  }

  void validationRewritesTheValueAndSeesTheEdit() {
    StringGrid grid;
    grid.resize(500, 200);
    FillList(grid, {"数量", "单价", "金额"}, {{"", "3", ""}, {"2", "", ""}});
    grid.setEditable(true);
    grid.GetEditorType = [](int, int) { return EditorType::Numeric; };
    QString seenInCell;
    grid.CellValidate = [&](int col, int row, QString& value) {
      if (col != 1) return true;
      seenInCell = grid.cell(col, row);
      const double quantity = value.trimmed().isEmpty() ? 0 : value.toDouble();
      grid.setCell(3, row, QString::number(quantity * grid.cell(2, row).toDouble(), 'f', 2));
      if (!value.isEmpty()) value = QString::number(quantity, 'f', 2);
      return true;
    };
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setCurrentCell(1, 1);
    QTest::keyClick(&grid, '1');
    QTest::keyClicks(grid.editor(), "2.5");
    QTest::keyClick(grid.editor(), Qt::Key_Down);  // leaving the cell stores it
    QVERIFY(!grid.isEditing());
    QCOMPARE(seenInCell, QString("12.5"));
    QCOMPARE(grid.cell(1, 1), QString("12.50"));
    QCOMPARE(grid.cell(3, 1), QString("37.50"));
    QCOMPARE(grid.row(), 2);

    // A refused value keeps the editor open and the old text in the cell.
    grid.CellValidate = [](int, int, QString& value) { return value != "9"; };
    QTest::keyClick(&grid, '9');
    QVERIFY(!grid.commitEdit());
    QVERIFY(grid.isEditing());
    QCOMPARE(grid.cell(1, 2), QString("2"));
    grid.cancelEdit();
    QCOMPARE(grid.cell(1, 2), QString("2"));
  }

  void enterStoresTheEditAndIsLeftToTheWindow() {
    KeyWindow window;
    auto* layout = new QVBoxLayout(&window);
    auto* grid = new StringGrid(&window);
    layout->addWidget(grid);
    FillList(*grid, {"名称", "型号"}, {{"", ""}});
    grid->setEditable(true);
    window.resize(400, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    grid->setCurrentCell(1, 1);
    QTest::keyClick(grid, 'a');
    QTest::keyClick(grid->editor(), Qt::Key_Return);
    QCOMPARE(grid->cell(1, 1), QString("a"));
    QVERIFY(!grid->isEditing());
    QCOMPARE(window.keys, QList<int>{Qt::Key_Return});
    QTest::keyClick(grid, Qt::Key_Return);  // no editor open: still the window's
    QCOMPARE(window.keys.size(), 2);
    QCOMPARE(grid->col(), 1);  // the grid itself did not move
  }

  void footerSumsStayLastAndFollowEdits() {
    StringGrid grid;
    grid.resize(400, 200);
    FillList(grid, {"名称", "数量"}, {{"a", "1.5"}, {"b", ""}, {"c", "2"}});
    grid.setRowCount(grid.rowCount() + 1);  // the last row becomes the footer
    grid.setFooterVisible(true);
    grid.setFooterSum(2, "0.00");
    QCOMPARE(grid.footerRow(), grid.rowCount() - 1);
    QCOMPARE(grid.cell(2, grid.footerRow()), QString("3.50"));
    grid.setCell(2, 2, "x");  // texts count as nothing
    QCOMPARE(grid.cell(2, grid.footerRow()), QString("3.50"));
    grid.setCell(2, 2, "0.25");
    QCOMPARE(grid.cell(2, grid.footerRow()), QString("3.75"));
    // A new row goes in above the footer.
    grid.addRow();
    QCOMPARE(grid.cell(2, grid.footerRow()), QString("3.75"));
    QCOMPARE(grid.cell(2, grid.footerRow() - 1), QString());
    grid.setCell(2, grid.footerRow() - 1, "1");
    QCOMPARE(grid.cell(2, grid.footerRow()), QString("4.75"));
    // Growing the grid keeps the footer last and not counted in itself.
    grid.setRowCount(grid.rowCount() + 3);
    QCOMPARE(grid.cell(2, grid.footerRow()), QString("4.75"));
    // The cursor never goes into the footer.
    grid.setCurrentCell(1, grid.rowCount() - 1);
    QCOMPARE(grid.row(), grid.footerRow() - 1);

    // The footer floats at the bottom while the data scrolls.
    grid.setRowCount(200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const int footerTop = grid.cellRect(1, grid.footerRow()).top();
    QCOMPARE(footerTop, grid.viewport()->height() - grid.rowHeight());
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QCOMPARE(grid.cellRect(1, grid.footerRow()).top(), footerTop);
    QCOMPARE(grid.cellRect(1, grid.footerRow() - 1).bottom(), footerTop - 1);
    velmor::test::SaveScreenshot(&grid, "footer");
  }

  void captionClickSortsRowsKeepingFixedPartsAndFooter() {
    StringGrid grid;
    grid.resize(400, 300);
    FillList(grid, {"名称", "数量"}, {{"铜芯", "10"}, {"", "2"}, {"铝芯", "1.5"}, {"电缆", "2"}});
    grid.setRowCount(grid.rowCount() + 1);
    grid.setFooterVisible(true);
    grid.setFooterSum(2, "0.0");
    grid.setSortOnHeaderClick(true);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const int footer = grid.footerRow();

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(2, 0).center());
    QCOMPARE(grid.sortColumn(), 2);
    QCOMPARE(grid.sortOrder(), Qt::AscendingOrder);
    // Numbers by value, not as texts; equal keys keep their order.
    QCOMPARE(Column(grid, 2, 1, 4), (QStringList{"1.5", "2", "2", "10"}));
    QCOMPARE(Column(grid, 1, 1, 4), (QStringList{"铝芯", "", "电缆", "铜芯"}));
    // Row numbers, captions and the footer stay.
    QCOMPARE(Column(grid, 0, 1, 4), (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(grid.cell(2, 0), QString("数量"));
    QCOMPARE(grid.footerRow(), footer);
    QCOMPARE(grid.cell(2, footer), QString("15.5"));

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(2, 0).center());
    QCOMPARE(grid.sortOrder(), Qt::DescendingOrder);
    QCOMPARE(Column(grid, 2, 1, 4), (QStringList{"10", "2", "2", "1.5"}));
    QCOMPARE(grid.cell(2, footer), QString("15.5"));

    // Texts: empty cells first.
    grid.sortByColumn(1, Qt::AscendingOrder);
    QCOMPARE(grid.cell(1, 1), QString());
    velmor::test::SaveScreenshot(&grid, "sorted");

    // Without sorting switched on, a caption click leaves the rows alone.
    grid.setSortOnHeaderClick(false);
    const QStringList before = Column(grid, 2, 1, 4);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(2, 0).center());
    QCOMPARE(Column(grid, 2, 1, 4), before);
  }

  void rowOperations() {
    StringGrid grid;
    FillList(grid, {"名称"}, {{"a"}, {"b"}, {"c"}, {"d"}});
    grid.setCellBold(1, 2, true);

    grid.insertRows(3, 1);  // below "b"
    QCOMPARE(Column(grid, 1, 1, 5), (QStringList{"a", "b", "", "c", "d"}));
    grid.autoNumberCol(0);
    QCOMPARE(Column(grid, 0, 1, 5), (QStringList{"1", "2", "3", "4", "5"}));

    grid.removeRows(3, 1);
    QCOMPARE(Column(grid, 1, 1, 4), (QStringList{"a", "b", "c", "d"}));
    QCOMPARE(Column(grid, 0, 1, 4), (QStringList{"1", "2", "4", "5"}));  // numbering is asked for
    grid.autoNumberCol(0);

    // A moved row takes its attributes with it.
    grid.moveRow(2, 4);
    QCOMPARE(Column(grid, 1, 1, 4), (QStringList{"a", "c", "d", "b"}));
    QVERIFY(grid.cellBold(1, 4));
    QVERIFY(!grid.cellBold(1, 2));
    grid.moveRow(4, 1);
    QCOMPARE(Column(grid, 1, 1, 4), (QStringList{"b", "a", "c", "d"}));
    QCOMPARE(Column(grid, 0, 1, 4), (QStringList{"2", "1", "3", "4"}));  // moves do not renumber

    grid.clearRows(2, 3);
    QCOMPARE(Column(grid, 1, 1, 4), (QStringList{"b", "", "", "d"}));
    QCOMPARE(grid.rowCount(), 5);

    // With automatic numbering every insert and remove renumbers.
    grid.setAutoNumbering(true);
    grid.addRow();
    grid.removeRows(1, 1);
    QCOMPARE(Column(grid, 0, 1, 4), (QStringList{"1", "2", "3", "4"}));

    // Merged cells below an inserted row move down with their rows.
    grid.mergeCells(1, 3, 1, 2);
    grid.insertRows(1, 2);
    QCOMPARE(grid.mergeBlock(1, 5), QRect(1, 5, 1, 2));
    grid.removeRows(5, 1);
    QVERIFY(!grid.isMerged(1, 5));

    grid.clear();
    QCOMPARE(grid.cell(1, 1), QString());
    QCOMPARE(grid.cell(0, 1), QString());
  }

  void selectionOfRowsAndRanges() {
    StringGrid grid;
    grid.resize(400, 300);
    FillList(grid, {"a", "b", "c"}, {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}});
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setCurrentCell(2, 2);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(grid.selection(), QRect(QPoint(2, 2), QPoint(3, 3)));
    grid.setRowSelect(true);
    QCOMPARE(grid.selection(), QRect(QPoint(1, 2), QPoint(3, 3)));
    grid.selectRows(4, 2);
    QCOMPARE(grid.selTop(), 2);
    QCOMPARE(grid.selBottom(), 4);
    // Dragging over rows selects them.
    SendMouse(grid.viewport(), QEvent::MouseButtonPress, grid.cellRect(1, 1).center(), Qt::LeftButton);
    SendMouse(grid.viewport(), QEvent::MouseMove, grid.cellRect(1, 3).center(), Qt::LeftButton);
    SendMouse(grid.viewport(), QEvent::MouseButtonRelease, grid.cellRect(1, 3).center(), Qt::NoButton);
    QCOMPARE(grid.selTop(), 1);
    QCOMPARE(grid.selBottom(), 3);
  }

  void clickCellsAndCursorChanges() {
    StringGrid grid;
    grid.resize(400, 300);
    FillList(grid, {"a", "b"}, {{"1", "x"}, {"2", "y"}});
    QList<QPoint> clicked, doubleClicked, changing;
    grid.ClickCell = [&](int col, int row) { clicked << QPoint(col, row); };
    grid.DblClickCell = [&](int col, int row) { doubleClicked << QPoint(col, row); };
    bool allow = true;
    grid.CellChanging = [&](int, int, int col, int row) {
      changing << QPoint(col, row);
      return allow;
    };
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(2, 2).center());
    QCOMPARE(clicked, QList<QPoint>{QPoint(2, 2)});
    QCOMPARE(changing, QList<QPoint>{QPoint(2, 2)});
    QCOMPARE(grid.row(), 2);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(1, 0).center());
    QVERIFY(doubleClicked.contains(QPoint(1, 0)));
    allow = false;
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(grid.row(), 2);  // refused
  }

  void captionBorderDragResizesAColumn() {
    StringGrid grid;
    grid.resize(400, 300);
    FillList(grid, {"a", "b"}, {{"1", "2"}});
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QRect caption = grid.cellRect(1, 0);
    const QPoint border(caption.right() + 1, caption.center().y());
    SendMouse(grid.viewport(), QEvent::MouseButtonPress, border, Qt::LeftButton);
    SendMouse(grid.viewport(), QEvent::MouseMove, border + QPoint(40, 0), Qt::LeftButton);
    SendMouse(grid.viewport(), QEvent::MouseButtonRelease, border + QPoint(40, 0), Qt::NoButton);
    QCOMPARE(grid.colWidth(1), caption.width() + 40);
    grid.setColumnSizing(false);
    SendMouse(grid.viewport(), QEvent::MouseButtonPress, grid.cellRect(1, 0).topRight() + QPoint(1, 5), Qt::LeftButton);
    SendMouse(grid.viewport(), QEvent::MouseMove, grid.cellRect(1, 0).topRight() + QPoint(31, 5), Qt::LeftButton);
    SendMouse(grid.viewport(), QEvent::MouseButtonRelease, grid.cellRect(1, 0).topRight() + QPoint(31, 5), Qt::NoButton);
    QCOMPARE(grid.colWidth(1), caption.width() + 40);
  }

  void findAndHighlight() {
    StringGrid grid;
    FillList(grid, {"型号", "规格"}, {{"YJV", "3*4"}, {"VV", "3*2.5"}, {"yjv22", "4*4"}});
    grid.setCurrentCell(1, 1);
    QVERIFY(grid.findNext("yjv"));
    QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(1, 3));
    QVERIFY(grid.findNext("yjv"));  // wraps round
    QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(1, 1));
    QVERIFY(grid.findNext("3*", true));
    QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(2, 2));
    QVERIFY(!grid.findNext("不存在"));

    // The search bar drives the same search.
    velmor::StringGridSearchBar bar(grid);
    bar.findEdit()->setText("vv");
    QVERIFY(grid.highlightText().isEmpty());
    bar.nextButton()->click();
    QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(1, 2));
    bar.findEdit()->setText("4");
    bar.previousButton()->click();
    QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(2, 1));
    bar.highlightBox()->setChecked(true);
    QCOMPARE(grid.highlightText(), QString("4"));
    bar.highlightBox()->setChecked(false);
    QVERIFY(grid.highlightText().isEmpty());
  }

  void numberPatterns() {
    struct Case {
      double value;
      const char* pattern;
      const char* expected;
    };
    const Case kCases[] = {
        {12.5, "0.00", "12.50"},  {2.5, "0", "3"},         {-2.5, "0", "-3"},   {0.125, "0.00", "0.13"},
        {-0.001, "0.00", "0.00"}, {1234567.891, "0.000", "1234567.891"}, {0, "0.", "0"},
        {100000000, "0.00", "100000000.00"},
    };
    for (const Case& c : kCases) QCOMPARE(velmor::FormatNumberPattern(c.value, c.pattern), QString(c.expected));
  }
};

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
