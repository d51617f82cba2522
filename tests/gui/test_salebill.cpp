// The sale bill window without a database: its controls, the line grid's
// header and editors, what a cell edit computes, totals, row operations,
// the keys and a new bill.
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "SaleBillTestParameters.h"
#include "StringGrid.h"
#include "TestSupport.h"
#include "XlsReader.h"
#include "uniFunction.h"
#include "uniSaleBill.h"
#include "uniType.h"

using velmor::StringGrid;
using velmor::test::MessageAnswers;

namespace {

// The stored layout of cqsalebill as a fresh database holds it: caption and
// width of the 23 columns after the row-number column.
struct LayoutRow {
  const char* caption;
  int width;
};
const LayoutRow kLayout[] = {
    {"内码", 0},   {"行号", 0},   {"编码", 70},  {"产品名称", 160}, {"型号", 110}, {"规格", 110},
    {"颜色", 50},  {"包装", 50},  {"数量", 70},  {"单位", 45},      {"单价", 70},  {"金额", 90},
    {"红", 40},    {"黄", 40},    {"绿", 40},    {"蓝", 40},        {"黑", 40},    {"白", 40},
    {"棕", 40},    {"灰", 40},    {"黄绿", 40},  {"其他", 40},      {"备注", 150},
};

}  // namespace

class TestSaleBill : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TfrmSaleBill> bill_;
  StringGrid* grid_ = nullptr;

  template <typename T>
  T* Child(const char* name) const {
    T* child = bill_->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no control %s", name);
    return child;
  }
  QString Text(const char* label) const { return Child<QLabel>(label)->text(); }

  // Lays the grid out the way the stored layout builds it: captions in row 0,
  // one empty data row.
  void LayOutGrid(StringGrid* grid) {
    grid->setColCount(1 + static_cast<int>(std::size(kLayout)));
    grid->setRowCount(2);
    for (int i = 0; i < static_cast<int>(std::size(kLayout)); ++i) {
      grid->setCell(i + 1, 0, QString::fromUtf8(kLayout[i].caption));
      grid->setColWidth(i + 1, kLayout[i].width);
    }
  }

  void ShowBill() {
    bill_ = std::make_unique<TfrmSaleBill>();
    grid_ = Child<StringGrid>("advgrid");
    LayOutGrid(grid_);
    bill_->resize(1100, 700);
    bill_->show();
    bill_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(bill_.get()));
  }

  // Types a text into a cell the way the user does: the editor opens on the
  // cell with the text and is committed.
  bool Type(int col, int row, const QString& text) {
    grid_->setCurrentCell(col, row);
    if (!grid_->startEdit(&text)) return false;
    return grid_->commitEdit();
  }

  static constexpr int kFirst = 2;  // first data row below the two header rows

 private slots:
  void init() {
    UseSaleBillTestParameters();
    SysParas.BarcodeEnabled = QStringLiteral("0");
    ShowBill();
  }
  void cleanup() { bill_.reset(); }

  void controlsCarryTheirCaptionsAndHints() {
    struct Button {
      const char* name;
      const char* caption;
      const char* hint;
    };
    const Button kButtons[] = {
        {"spnewbill", "新增(F2)", "新增销售单"},     {"spsavebill", "保存(F3)", "保存销售单"},
        {"sppreviewbill", "预览(F7)", "预览销售单"}, {"sbprintbill", "打印(F8)", "打印销售单"},
        {"spselectproduct", "选产品", "选择电缆产品"}, {"sbddrow", "增加行", "添加行(在当前行下增加)"},
        {"sbdelrow", "删除行", "删除行"},             {"sbmoveup", "上移", "上移一行"},
        {"sbmovedown", "下移", "下移一行"},           {"sbexcel", "导出", "导出EXCEL"},
    };
    for (const Button& b : kButtons) {
      auto* button = Child<QToolButton>(b.name);
      QCOMPARE(button->text(), QString::fromUtf8(b.caption));
      QCOMPARE(button->toolTip(), QString::fromUtf8(b.hint));
    }
    QCOMPARE(Child<QToolButton>("sbsearch")->toolTip(), QStringLiteral("搜索"));
    QCOMPARE(Text("lTitle"), QStringLiteral(" 销售(送货)单 - 新增"));
    QCOMPARE(Child<QWidget>("pResult")->height(), 37);
    QCOMPARE(Child<QWidget>("pResult")->palette().color(QPalette::Window), QColor(255, 202, 149));
    QCOMPARE(Child<QWidget>("Panel6")->palette().color(QPalette::Window), QColor(187, 187, 255));
    QCOMPARE(Child<QWidget>("pbuttom")->height(), 41);
    QCOMPARE(Child<QLineEdit>("edsearch")->width(), 204);
    QCOMPARE(Child<QWidget>("pjinqijiage")->size(), QSize(240, 123));
    auto* menu = Child<QMenu>("pm");
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("编辑打印模板"));
    QCOMPARE(Text("lsearch"), QStringLiteral("产品搜索:"));
    QCOMPARE(Child<QLineEdit>("edsearch")->toolTip(), QStringLiteral("可输入: 型号或规格. 如果有多个条件, 请使用空格分隔."));
    QCOMPARE(Child<QComboBox>("edjingshou")->toolTip(), QStringLiteral("经手人"));
    for (const char* name : {"edchepai", "edcontractno", "edmemo", "edBillNo"}) Child<QLineEdit>(name);
    for (const char* name : {"edcs", "edaddress", "edzhidan", "edjingshou", "edyewuyuan", "edfukuan"})
      QVERIFY(Child<QComboBox>(name)->isEditable());
    QCOMPARE(Child<QDateEdit>("eddate")->date(), QDate::currentDate());
    QCOMPARE(Child<QComboBox>("edcs")->currentText(), QStringLiteral("零售客户"));

    const QStringList phrases = {
        QStringLiteral("预付  ，余款   月   日前付清。"), QStringLiteral("三日内回款"), QStringLiteral("五日内回款"),
        QStringLiteral("一周内回款"), QStringLiteral("15天内回款"), QStringLiteral("月底前结款"),
        QStringLiteral("   日前回款"), QStringLiteral("货到付款"), QStringLiteral("全款到发货")};
    auto* fukuan = Child<QComboBox>("edfukuan");
    QCOMPARE(fukuan->count(), phrases.size());
    for (int i = 0; i < phrases.size(); ++i) QCOMPARE(fukuan->itemText(i), phrases[i]);
    QVERIFY(!fukuan->completer());
    velmor::test::SaveScreenshot(bill_.get(), QStringLiteral("new"));
  }

  void searchEditBecomesBarcodeEntry() {
    SysParas.BarcodeEnabled = QStringLiteral("1");
    ShowBill();
    QCOMPARE(Text("lsearch"), QStringLiteral("条码(F9):"));
    QCOMPARE(Child<QLineEdit>("edsearch")->toolTip(), QStringLiteral("请录入或扫入条码"));
  }

  void headerRowsAreMergedAndCaptioned() {
    QCOMPARE(grid_->fixedRows(), 2);
    QCOMPARE(grid_->fixedCols(), 1);
    QCOMPARE(grid_->colCount(), 24);
    QCOMPARE(grid_->rowCount(), 3);
    QCOMPARE(grid_->colWidth(0), 30);
    for (int col : {0, 1, 4, 12, 23}) QCOMPARE(grid_->mergeBlock(col, 1), QRect(col, 0, 1, 2));
    QCOMPARE(grid_->mergeBlock(17, 0), QRect(13, 0, 10, 1));
    QCOMPARE(grid_->cell(13, 0), QStringLiteral("颜色"));
    QCOMPARE(grid_->mergeBlock(13, 1), QRect(13, 1, 1, 1));
    for (int i = 12; i < 22; ++i) QCOMPARE(grid_->cell(i + 1, 1), QString::fromUtf8(kLayout[i].caption));
    QCOMPARE(grid_->cell(4, 0), QStringLiteral("产品名称"));
    QCOMPARE(grid_->cell(0, kFirst), QStringLiteral("1"));
  }

  void editorsAndAlignmentsFollowTheColumn() {
    using velmor::EditorType;
    struct Case {
      int col;
      EditorType editor;
      Qt::Alignment align;
    };
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Case kCases[] = {
        {3, EditorType::Edit, left},       {4, EditorType::ComboEdit, left},  {5, EditorType::ComboEdit, left},
        {6, EditorType::Edit, left},       {7, EditorType::ComboEdit, left},  {8, EditorType::ComboEdit, left},
        {9, EditorType::Numeric, right},   {10, EditorType::ComboEdit, Qt::AlignCenter},
        {11, EditorType::Numeric, right},  {12, EditorType::Numeric, right},  {13, EditorType::Numeric, right},
        {22, EditorType::Numeric, right},  {23, EditorType::Edit, left},
    };
    for (const Case& c : kCases) {
      QCOMPARE(grid_->editorTypeOf(c.col, kFirst), c.editor);
      QCOMPARE(grid_->effectiveAlignment(c.col, kFirst), c.align);
    }
    QCOMPARE(grid_->effectiveAlignment(9, 0), Qt::AlignCenter);
    // With a model filled in, the size (规格) cell becomes a drop-down of that model's sizes.
    grid_->setCell(5, kFirst, QStringLiteral("YJV"));
    QCOMPARE(grid_->editorTypeOf(6, kFirst), EditorType::ComboEdit);
  }

  void quantityTimesPriceGivesTheAmount_data() {
    QTest::addColumn<QString>("qtyPattern");
    QTest::addColumn<QString>("pricePattern");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("qty");
    QTest::addColumn<QString>("qtyShown");
    QTest::addColumn<QString>("priceShown");
    QTest::addColumn<QString>("amount");
    QTest::newRow("12.5 x 3") << "0.00" << "0.00" << "3" << "12.5" << "12.50" << "3.00" << "37.50";
    // The amount takes the quantity as typed, not as rounded for display.
    QTest::newRow("rounded quantity") << "0" << "0.000" << "1.2345" << "2.6" << "3" << "1.235" << "3.21";
    QTest::newRow("cleared quantity") << "0.00" << "0.00" << "3" << "" << "" << "3.00" << "0.00";
  }
  void quantityTimesPriceGivesTheAmount() {
    QFETCH(QString, qtyPattern);
    QFETCH(QString, pricePattern);
    QFETCH(QString, price);
    QFETCH(QString, qty);
    QFETCH(QString, qtyShown);
    QFETCH(QString, priceShown);
    QFETCH(QString, amount);
    SysParas.QtyDecimals = qtyPattern;
    SysParas.PriceDecimals = pricePattern;
    QVERIFY(Type(11, kFirst, price));
    QVERIFY(Type(9, kFirst, QStringLiteral("7")));
    QVERIFY(Type(9, kFirst, qty));
    QCOMPARE(grid_->cell(9, kFirst), qtyShown);
    QCOMPARE(grid_->cell(11, kFirst), priceShown);
    QCOMPARE(grid_->cell(12, kFirst), amount);
    QCOMPARE(Text("pamount"), amount);
    QCOMPARE(Text("pdaxie"), MoneyToChinese(amount.toDouble()));
  }

  void totalsFollowEveryLineAtOnce() {
    grid_->addRow();
    QVERIFY(Type(11, kFirst, QStringLiteral("3")));
    QVERIFY(Type(9, kFirst, QStringLiteral("12.5")));
    QCOMPARE(Text("pqty"), QStringLiteral("12.50"));
    QCOMPARE(Text("pamount"), QStringLiteral("37.50"));
    QVERIFY(Type(9, kFirst + 1, QStringLiteral("2")));
    QVERIFY(Type(11, kFirst + 1, QStringLiteral("10.25")));
    QCOMPARE(Text("pqty"), QStringLiteral("14.50"));
    QCOMPARE(Text("pamount"), QStringLiteral("58.00"));
    QCOMPARE(Text("pdaxie"), QStringLiteral("伍拾捌元整"));
    // Hidden capitals are still worked out.
    SysParas.ShowCapitals = QStringLiteral("0");
    ShowBill();
    QVERIFY(Type(9, kFirst, QStringLiteral("2")));
    QVERIFY(Type(11, kFirst, QStringLiteral("1")));
    QVERIFY(Child<QWidget>("pdaxieparent")->isHidden());
    QCOMPARE(Text("pdaxie"), QStringLiteral("贰元整"));
  }

  void colourQuantitiesMakeTheQuantity() {
    QVERIFY(Type(13, kFirst, QStringLiteral("5")));
    QVERIFY(Type(15, kFirst, QStringLiteral("7")));
    QCOMPARE(grid_->cell(9, kFirst), QStringLiteral("12.00"));
    QCOMPARE(grid_->cell(12, kFirst), QStringLiteral("0.00"));
    QCOMPARE(grid_->cell(13, kFirst), QStringLiteral("5"));  // a colour quantity stays as typed
    QVERIFY(Type(11, kFirst, QStringLiteral("2")));
    QCOMPARE(grid_->cell(12, kFirst), QStringLiteral("24.00"));
    velmor::test::SaveScreenshot(bill_.get(), QStringLiteral("filled"));
    QVERIFY(Type(15, kFirst, QString()));
    QCOMPARE(grid_->cell(9, kFirst), QStringLiteral("5.00"));
    QCOMPARE(grid_->cell(12, kFirst), QStringLiteral("10.00"));
    QCOMPARE(Text("pqty"), QStringLiteral("5.00"));
  }

  void modelOrSpecificationBringsTheDefaultUnit() {
    grid_->addRow();
    QVERIFY(Type(5, kFirst, QStringLiteral("YJV")));
    QCOMPARE(grid_->cell(10, kFirst), QStringLiteral("米"));
    grid_->setCell(10, kFirst + 1, QStringLiteral("盘"));
    QVERIFY(Type(6, kFirst + 1, QStringLiteral("3*2.5")));
    QCOMPARE(grid_->cell(10, kFirst + 1), QStringLiteral("盘"));
  }

  void textThatIsNoNumberIsRefusedWithAMessage() {
    QVERIFY(Type(11, kFirst, QStringLiteral("3")));
    QVERIFY(Type(9, kFirst, QStringLiteral("2")));
    MessageAnswers answers;
    QVERIFY(!Type(9, kFirst, QStringLiteral("abc")));
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("'abc' is not a valid floating point value")});
    QCOMPARE(grid_->cell(12, kFirst), QStringLiteral("6.00"));
    QCOMPARE(grid_->cell(9, kFirst), QStringLiteral("2.00"));
    grid_->cancelEdit();
  }

  void enterWalksTheVisibleColumnsAndWrapsToANewLine() {
    grid_->setColWidth(12, 3);  // narrower than 5: passed over
    grid_->setFocus();
    grid_->setCurrentCell(3, kFirst);
    QTest::keyClick(grid_, Qt::Key_Return);
    QCOMPARE(grid_->col(), 4);
    grid_->setCurrentCell(11, kFirst);
    QTest::keyClick(grid_, Qt::Key_Return);
    QCOMPARE(grid_->col(), 13);
    grid_->setCurrentCell(23, kFirst);
    QTest::keyClick(grid_, Qt::Key_Return);
    QCOMPARE(grid_->rowCount(), 4);
    QCOMPARE(grid_->row(), kFirst + 1);
    QCOMPARE(grid_->col(), 4);
    QCOMPARE(grid_->cell(0, kFirst + 1), QStringLiteral("2"));
    // Not on the last line it goes one line down without a new one.
    grid_->setCurrentCell(23, kFirst);
    QTest::keyClick(grid_, Qt::Key_Return);
    QCOMPARE(grid_->rowCount(), 4);
    QCOMPARE(grid_->row(), kFirst + 1);
    QCOMPARE(grid_->col(), 4);
  }

  void functionKeysActOnTheWindow() {
    Child<QLineEdit>("edmemo")->setFocus();
    QTest::keyClick(Child<QLineEdit>("edmemo"), Qt::Key_F9);
    QVERIFY(Child<QLineEdit>("edsearch")->hasFocus());
    Child<QLineEdit>("edmemo")->setText(QStringLiteral("加急"));
    QTest::keyClick(Child<QLineEdit>("edsearch"), Qt::Key_F2);
    QCOMPARE(Child<QLineEdit>("edmemo")->text(), QString());
    // Enter outside the grid moves on to the next control.
    auto* chepai = Child<QLineEdit>("edchepai");
    chepai->setFocus();
    QTest::keyClick(chepai, Qt::Key_Return);
    QVERIFY(!chepai->hasFocus());
  }

  void enterAfterTypingStoresTheCellAndMovesOn() {
    grid_->setFocus();
    QVERIFY(Type(11, kFirst, QStringLiteral("3")));
    grid_->setCurrentCell(9, kFirst);
    QTest::keyClicks(grid_, QStringLiteral("4"));
    QVERIFY(grid_->isEditing());
    QTest::keyClick(grid_->editor(), Qt::Key_Return);
    QVERIFY(!grid_->isEditing());
    QCOMPARE(grid_->cell(9, kFirst), QStringLiteral("4.00"));
    QCOMPARE(grid_->cell(12, kFirst), QStringLiteral("12.00"));
    QCOMPARE(grid_->col(), 10);
  }

  void aPriceFromTheHistoryIsTakenOverAsTyped() {
    SysParas.PriceDecimals = QStringLiteral("0.000");
    QVERIFY(Type(9, kFirst, QStringLiteral("4")));
    auto* prices = Child<StringGrid>("gridprice");
    prices->setCell(0, 1, QStringLiteral("1"));
    prices->setCell(2, 1, QStringLiteral(" 12.5 "));
    prices->setCell(3, 1, QStringLiteral("华东电器"));
    grid_->setCurrentCell(4, kFirst);
    QTest::mouseDClick(prices->viewport(), Qt::LeftButton, {}, prices->cellRect(2, 1).center());
    QCOMPARE(grid_->cell(11, kFirst), QStringLiteral("12.500"));
    QCOMPARE(grid_->cell(12, kFirst), QStringLiteral("50.00"));
    QCOMPARE(Text("pamount"), QStringLiteral("50.00"));
    // An empty price row takes nothing over.
    QTest::mouseDClick(prices->viewport(), Qt::LeftButton, {}, prices->cellRect(2, 2).center());
    QCOMPARE(grid_->cell(11, kFirst), QStringLiteral("12.500"));
  }

  void aColourThatIsNoNumberChangesNothingElse() {
    QVERIFY(Type(13, kFirst, QStringLiteral("5")));
    MessageAnswers answers;
    QVERIFY(!Type(14, kFirst, QStringLiteral("1,5x")));
    QCOMPARE(answers.Texts().size(), 1);
    QCOMPARE(grid_->cell(9, kFirst), QStringLiteral("5.00"));
    QCOMPARE(Text("pqty"), QStringLiteral("5.00"));
    grid_->cancelEdit();
  }

  void deletingTheOnlyLineLeavesOneEmptyLine() {
    QVERIFY(Type(4, kFirst, QStringLiteral("电力电缆")));
    QVERIFY(Type(9, kFirst, QStringLiteral("3")));
    grid_->setCurrentCell(4, kFirst);
    Child<QToolButton>("sbdelrow")->click();
    QCOMPARE(grid_->rowCount(), 3);
    for (int col = 1; col < grid_->colCount(); ++col) QCOMPARE(grid_->cell(col, kFirst), QString());
    QCOMPARE(grid_->cell(0, kFirst), QStringLiteral("1"));
    QCOMPARE(grid_->cell(4, 0), QStringLiteral("产品名称"));
    QCOMPARE(grid_->cell(14, 1), QStringLiteral("黄"));
    QCOMPARE(Text("pqty"), QStringLiteral("0.00"));
  }

  void rowsAreInsertedDeletedAndMoved() {
    for (const char* name : {"A", "B", "C", "D"}) {
      grid_->setCurrentCell(4, grid_->lastDataRow());
      Child<QToolButton>("sbddrow")->click();
      grid_->setCell(4, grid_->lastDataRow(), QString::fromLatin1(name));
    }
    grid_->removeRows(kFirst);  // the empty first line
    grid_->autoNumberCol(0);
    auto names = [this] {
      QString all;
      for (int r = kFirst; r <= grid_->lastDataRow(); ++r) all += grid_->cell(4, r);
      return all;
    };
    QCOMPARE(names(), QStringLiteral("ABCD"));
    // Inserted below the current line.
    grid_->setCurrentCell(4, kFirst);
    Child<QToolButton>("sbddrow")->click();
    QCOMPARE(names(), QStringLiteral("ABCD"));
    QCOMPARE(grid_->cell(4, kFirst + 1), QString());
    QCOMPARE(grid_->cell(0, kFirst + 4), QStringLiteral("5"));
    grid_->setCurrentCell(4, kFirst + 1);
    Child<QToolButton>("sbdelrow")->click();
    QCOMPARE(grid_->rowCount(), kFirst + 4);
    // A block of B and C moves up over A, then down again twice.
    grid_->selectRows(kFirst + 1, kFirst + 2);
    Child<QToolButton>("sbmoveup")->click();
    QCOMPARE(names(), QStringLiteral("BCAD"));
    QCOMPARE(grid_->selTop(), kFirst);
    QCOMPARE(grid_->selBottom(), kFirst + 1);
    Child<QToolButton>("sbmoveup")->click();  // already at the top
    QCOMPARE(names(), QStringLiteral("BCAD"));
    Child<QToolButton>("sbmovedown")->click();
    Child<QToolButton>("sbmovedown")->click();
    QCOMPARE(names(), QStringLiteral("ADBC"));
    Child<QToolButton>("sbmovedown")->click();  // already at the bottom
    QCOMPARE(names(), QStringLiteral("ADBC"));
    QCOMPARE(grid_->selTop(), kFirst + 2);
  }

  void newBillKeepsThePaymentNoteAndClearsTheRest() {
    grid_->addRow();
    grid_->addRow();
    QVERIFY(Type(13, kFirst + 1, QStringLiteral("4")));
    Child<QComboBox>("edcs")->setEditText(QStringLiteral("华东电器"));
    Child<QComboBox>("edfukuan")->setEditText(QStringLiteral("货到付款"));
    for (const char* name : {"edchepai", "edcontractno", "edmemo"}) Child<QLineEdit>(name)->setText(QStringLiteral("x"));
    for (const char* name : {"edaddress", "edzhidan", "edjingshou", "edyewuyuan"})
      Child<QComboBox>(name)->setEditText(QStringLiteral("y"));
    Child<QDateEdit>("eddate")->setDate(QDate(2020, 1, 2));
    bill_->BillInterID = QStringLiteral("7");
    Child<QToolButton>("spnewbill")->click();
    QCOMPARE(bill_->BillInterID, QStringLiteral("0"));
    QCOMPARE(Text("lTitle"), QStringLiteral(" 销售(送货)单 - 新增"));
    QCOMPARE(grid_->rowCount(), 3);
    QCOMPARE(grid_->cell(13, kFirst), QString());
    QCOMPARE(grid_->cell(13, 1), QStringLiteral("红"));
    QCOMPARE(grid_->cell(13, 0), QStringLiteral("颜色"));
    QCOMPARE(Child<QComboBox>("edfukuan")->currentText(), QStringLiteral("货到付款"));
    QCOMPARE(Child<QComboBox>("edcs")->currentText(), QStringLiteral("零售客户"));
    for (const char* name : {"edchepai", "edcontractno", "edmemo"}) QCOMPARE(Child<QLineEdit>(name)->text(), QString());
    for (const char* name : {"edaddress", "edzhidan", "edjingshou", "edyewuyuan"})
      QCOMPARE(Child<QComboBox>(name)->currentText(), QString());
    QCOMPARE(Child<QDateEdit>("eddate")->date(), QDate::currentDate());
    QCOMPARE(Text("pqty"), QStringLiteral("0.00"));
  }

  void exportWritesTheLinesToASheetNamedAfterTheBill() {
    QTemporaryDir dir;
    QString opened;
    bool lockedWhileWriting = false;
    SetSpreadsheetOpener([&opened](const QString& path) { opened = path; });
    SetSaveFileChooser([&](const SaveFileRequest&) {
      lockedWhileWriting = !Child<QToolButton>("sbexcel")->isEnabled() && !grid_->isEnabled();
      return dir.filePath(QStringLiteral("bill"));
    });
    QVERIFY(Type(4, kFirst, QStringLiteral("电力电缆")));
    Child<QToolButton>("sbexcel")->click();
    const QString written = dir.filePath(QStringLiteral("bill.XLS"));
    QVERIFY(lockedWhileWriting);
    QVERIFY(QFile::exists(written));
    QCOMPARE(opened, written);
    QString error;
    QCOMPARE(velmor::XlsSheetNames(written, &error), QStringList{QStringLiteral("销售单")});
    QVERIFY(Child<QToolButton>("sbexcel")->isEnabled());
    QVERIFY(grid_->isEnabled());
    // A cancelled dialog writes nothing and leaves both usable.
    SetSaveFileChooser([](const SaveFileRequest&) { return QString(); });
    QFile::remove(written);
    Child<QToolButton>("sbexcel")->click();
    QVERIFY(!QFile::exists(written));
    QVERIFY(Child<QToolButton>("sbexcel")->isEnabled() && grid_->isEnabled());
    SetSaveFileChooser(nullptr);
    SetSpreadsheetOpener(nullptr);
  }

  void shownModalItTakesTheKeysItself() {
    bill_ = std::make_unique<TfrmSaleBill>();
    grid_ = Child<StringGrid>("advgrid");
    LayOutGrid(grid_);
    bill_->BillInterID = QStringLiteral("0");
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
      checked = true;
      QVERIFY(bill_->isWindow());
      QVERIFY(bill_->isModal());
      QVERIFY(bill_->width() >= 785);
      bill_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(bill_.get()));
      grid_->setFocus();
      grid_->setCurrentCell(23, kFirst);
      QTest::keyClick(grid_, Qt::Key_Return);
      QCOMPARE(grid_->rowCount(), 4);
      QCOMPARE(grid_->col(), 4);
      QTest::keyClick(grid_, Qt::Key_F9);
      QVERIFY(Child<QLineEdit>("edsearch")->hasFocus());
      QTest::keyClick(Child<QLineEdit>("edsearch"), Qt::Key_F2);
      QCOMPARE(grid_->rowCount(), 3);
      bill_->close();
    });
    bill_->ShowModal();
    QVERIFY(checked);
    QVERIFY(bill_->isHidden());
  }

  void pricePanelFoldsToItsCaption() {
    auto* panel = Child<QWidget>("pjinqijiage");
    auto* prices = Child<StringGrid>("gridprice");
    Child<QToolButton>("sbpriceminimize")->click();
    QVERIFY(prices->isHidden());
    QVERIFY(panel->height() < 123);
    QCOMPARE(panel->geometry().bottom(), grid_->geometry().bottom() - 20);
    Child<QToolButton>("sbpriceminimize")->click();
    QVERIFY(prices->isVisible());
    QCOMPARE(panel->size(), QSize(240, 123));
  }

  void pricePanelKeepsToTheGridCorner() {
    auto* panel = Child<QWidget>("pjinqijiage");
    const QRect grid = grid_->geometry();
    QCOMPARE(panel->geometry().right(), grid.right() - 5);
    QCOMPARE(panel->geometry().bottom(), grid.bottom() - 20);
    QVERIFY(panel->isVisible());
    bill_->resize(600, 500);
    QCOMPARE(bill_->width(), 785);
    bill_->FormResize();
    QCOMPARE(panel->geometry().right(), grid_->geometry().right() - 5);
    Child<QToolButton>("sbpriceclose")->click();
    QVERIFY(panel->isHidden());
    auto* prices = Child<StringGrid>("gridprice");
    QCOMPARE(prices->colCount(), 4);
    QCOMPARE(prices->rowCount(), 6);
    QCOMPARE(prices->cell(1, 0), QStringLiteral("日期"));
    QCOMPARE(prices->cell(3, 0), QStringLiteral("客户"));
  }
};

QTEST_MAIN(TestSaleBill)
#include "test_salebill.moc"
