#include "uniSaleBill.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDate>
#include <QDateEdit>
#include <QEventLoop>
#include <QFrame>
#include <QHideEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "GridEnterMove.h"
#include "LocaleSettings.h"
#include "MessageBox.h"
#include "SaleBillNumbers.h"
#include "StringGrid.h"
#include "uniFunction.h"
#include "uniType.h"

using velmor::EditorType;
using velmor::StringGrid;

namespace {

const QColor kTitleColour(255, 202, 149);
const QColor kTitleTextColour(0, 0, 128);  // navy
const QColor kFunctionBarColour(187, 187, 255);
const QColor kLightYellow(255, 255, 225);
const QColor kQtyColour(0, 100, 0);      // dark green
const QColor kAmountColour(128, 0, 0);   // maroon
const QColor kCapitalsColour(0, 0, 128); // navy
const QColor kPriceGridColour(225, 225, 225);

constexpr int kLineColumns = 24;  // the row-number column and the 23 stored ones
constexpr int kHiddenWidth = 5;   // narrower columns count as hidden
constexpr int kPricePanelWidth = 240;
constexpr int kPricePanelHeight = 123;
constexpr int kPriceRows = 5;
constexpr int kMinWindowWidth = 785;

const char* const kPaymentPhrases[] = {
    "预付  ，余款   月   日前付清。", "三日内回款", "五日内回款", "一周内回款", "15天内回款",
    "月底前结款",                     "   日前回款", "货到付款",   "全款到发货",
};

void Paint(QWidget* widget, const QColor& colour) {
  widget->setAutoFillBackground(true);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::Base, colour);
  widget->setPalette(palette);
}

void PaintBase(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, colour);
  widget->setPalette(palette);
}

void SetTextStyle(QLabel* label, const QColor& colour, bool bold) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  QFont font = label->font();
  font.setBold(bold);
  label->setFont(font);
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& hint) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(caption);
  button->setToolTip(hint);
  button->setAutoRaise(true);  // flat
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

QComboBox* MakeCombo(QWidget* parent, const char* name) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  return combo;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

// A label followed by its control, as one unit of a bar.
QWidget* Labelled(QWidget* parent, const QString& caption, QWidget* control) {
  auto* unit = new QWidget(parent);
  auto* layout = new QHBoxLayout(unit);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  auto* label = new QLabel(caption, unit);
  label->setBuddy(control);
  layout->addWidget(label);
  control->setParent(unit);
  layout->addWidget(control, 1);
  return unit;
}

QString MoneyPattern() {
  return SysParas.MoneyFormat.isEmpty() ? QStringLiteral("0.00") : SysParas.MoneyFormat;
}

// Runs a step that reads the database; its failure is shown with the
// engine's message and the window goes on.
template <typename Step>
void Guarded(QWidget* window, Step step) {
  try {
    step();
  } catch (const std::exception& e) {
    velmor::ShowError(window, QString::fromStdString(e.what()));
  }
}

bool IsColourColumn(int col) {
  return col >= TfrmSaleBill::ColFirstColour && col <= TfrmSaleBill::ColLastColour;
}

}  // namespace

void PostAddProduct(QObject* billWindow, int modelId) {
  QCoreApplication::postEvent(billWindow, new TAddProductEvent(modelId));
}

TfrmSaleBill::TfrmSaleBill(QWidget* parent, krx::TKrxQuery* q1, krx::TKrxQuery* q2)
    : QWidget(parent), KrxQ1(q1), KrxQ2(q2) {
  setObjectName(QStringLiteral("frmSaleBill"));
  setWindowTitle(QStringLiteral("销售单"));
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildTitleBar();
  BuildHeaderPanel();
  BuildFunctionBar();
  BuildLineGrid();
  BuildTotalsBar();
  BuildBottomBar();
  BuildPricePanel();
  layout->addWidget(pResult);
  layout->addWidget(pHeader);
  layout->addWidget(Panel6);
  layout->addWidget(advgrid, 1);
  layout->addWidget(pbuttom);
  layout->addWidget(pfunction);
  SetTitle(false);
}

TfrmSaleBill::~TfrmSaleBill() {
  if (keysWatched_) qApp->removeEventFilter(this);
  if (modalLoop_) modalLoop_->quit();
}

// ---- building the window -------------------------------------------------------------

void TfrmSaleBill::BuildTitleBar() {
  pResult = new QWidget(this);
  pResult->setObjectName(QStringLiteral("pResult"));
  pResult->setFixedHeight(37);
  Paint(pResult, kTitleColour);
  auto* layout = new QHBoxLayout(pResult);
  layout->setContentsMargins(4, 0, 8, 0);
  lTitle = new QLabel(pResult);
  lTitle->setObjectName(QStringLiteral("lTitle"));
  SetTextStyle(lTitle, kTitleTextColour, true);
  layout->addWidget(lTitle);
  layout->addStretch(1);
  spnewbill = MakeButton(pResult, "spnewbill", QStringLiteral("新增(F2)"), QStringLiteral("新增销售单"));
  spsavebill = MakeButton(pResult, "spsavebill", QStringLiteral("保存(F3)"), QStringLiteral("保存销售单"));
  sppreviewbill = MakeButton(pResult, "sppreviewbill", QStringLiteral("预览(F7)"), QStringLiteral("预览销售单"));
  sbprintbill = MakeButton(pResult, "sbprintbill", QStringLiteral("打印(F8)"), QStringLiteral("打印销售单"));
  for (QToolButton* button : {spnewbill, spsavebill, sppreviewbill, sbprintbill}) layout->addWidget(button);
  connect(spnewbill, &QToolButton::clicked, this, &TfrmSaleBill::spnewbillClick);
  connect(spsavebill, &QToolButton::clicked, this, &TfrmSaleBill::spsavebillClick);

  pm = new QMenu(pResult);
  pm->setObjectName(QStringLiteral("pm"));
  N1 = pm->addAction(QStringLiteral("编辑打印模板"));
  N1->setObjectName(QStringLiteral("N1"));
  pResult->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pResult, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pm->popup(pResult->mapToGlobal(at)); });
}

void TfrmSaleBill::BuildHeaderPanel() {
  auto* header = new QWidget(this);
  pHeader = header;
  header->setObjectName(QStringLiteral("pHeader"));
  header->setFixedHeight(53);
  auto* rows = new QHBoxLayout(header);
  rows->setContentsMargins(4, 2, 4, 2);
  auto* left = new QVBoxLayout;
  left->setSpacing(2);
  auto* line1 = new QHBoxLayout;
  auto* line2 = new QHBoxLayout;

  edcs = MakeCombo(header, "edcs");
  PaintBase(edcs, kLightYellow);
  edcs->completer()->setCompletionMode(QCompleter::PopupCompletion);  // drops down while typing
  edcs->completer()->setFilterMode(Qt::MatchContains);
  edcs->installEventFilter(this);
  edaddress = MakeCombo(header, "edaddress");
  edaddress->completer()->setCompletionMode(QCompleter::PopupCompletion);
  edchepai = MakeEdit(header, "edchepai");
  edcontractno = MakeEdit(header, "edcontractno");
  edmemo = MakeEdit(header, "edmemo");
  edBillNo = MakeEdit(header, "edBillNo");
  PaintBase(edBillNo, kLightYellow);
  eddate = new QDateEdit(header);
  eddate->setObjectName(QStringLiteral("eddate"));
  eddate->setCalendarPopup(true);
  eddate->setDisplayFormat(velmor::GetShortDateFormat());
  eddate->setDate(QDate::currentDate());

  line1->addWidget(Labelled(header, QStringLiteral("客户名称:"), edcs), 3);
  line1->addWidget(Labelled(header, QStringLiteral("送货地址(司机):"), edaddress), 3);
  line1->addWidget(Labelled(header, QStringLiteral("车牌号:"), edchepai), 1);
  line2->addWidget(Labelled(header, QStringLiteral("合同号:"), edcontractno), 2);
  line2->addWidget(Labelled(header, QStringLiteral("备注:"), edmemo), 5);
  left->addLayout(line1);
  left->addLayout(line2);
  rows->addLayout(left, 1);

  // Bill number and date in a block of their own at the right.
  auto* right = new QVBoxLayout;
  right->setSpacing(2);
  right->addWidget(Labelled(header, QStringLiteral("单号:"), edBillNo));
  right->addWidget(Labelled(header, QStringLiteral("日期:"), eddate));
  auto* block = new QWidget(header);
  block->setObjectName(QStringLiteral("pBillNoBlock"));
  block->setFixedWidth(200);
  block->setLayout(right);
  right->setContentsMargins(0, 0, 0, 0);
  rows->addWidget(block, 0, Qt::AlignRight);
}

void TfrmSaleBill::BuildFunctionBar() {
  Panel6 = new QWidget(this);
  Panel6->setObjectName(QStringLiteral("Panel6"));
  Paint(Panel6, kFunctionBarColour);
  auto* layout = new QHBoxLayout(Panel6);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(new QLabel(QStringLiteral("功能栏:"), Panel6));
  spselectproduct = MakeButton(Panel6, "spselectproduct", QStringLiteral("选产品"), QStringLiteral("选择电缆产品"));
  layout->addWidget(spselectproduct);
  lsearch = new QLabel(Panel6);
  lsearch->setObjectName(QStringLiteral("lsearch"));
  layout->addWidget(lsearch);
  edsearch = MakeEdit(Panel6, "edsearch");
  edsearch->setFixedWidth(204);
  PaintBase(edsearch, kLightYellow);
  layout->addWidget(edsearch);
  sbsearch = MakeButton(Panel6, "sbsearch", QStringLiteral("搜索"), QStringLiteral("搜索"));
  layout->addWidget(sbsearch);
  layout->addSpacing(16);
  sbddrow = MakeButton(Panel6, "sbddrow", QStringLiteral("增加行"), QStringLiteral("添加行(在当前行下增加)"));
  sbdelrow = MakeButton(Panel6, "sbdelrow", QStringLiteral("删除行"), QStringLiteral("删除行"));
  sbmoveup = MakeButton(Panel6, "sbmoveup", QStringLiteral("上移"), QStringLiteral("上移一行"));
  sbmovedown = MakeButton(Panel6, "sbmovedown", QStringLiteral("下移"), QStringLiteral("下移一行"));
  sbexcel = MakeButton(Panel6, "sbexcel", QStringLiteral("导出"), QStringLiteral("导出EXCEL"));
  for (QToolButton* button : {sbddrow, sbdelrow, sbmoveup, sbmovedown, sbexcel}) layout->addWidget(button);
  layout->addStretch(1);
  connect(spselectproduct, &QToolButton::clicked, this, &TfrmSaleBill::spselectproductClick);
  connect(sbsearch, &QToolButton::clicked, this, &TfrmSaleBill::sbsearchClick);
  connect(edsearch, &QLineEdit::textChanged, this, &TfrmSaleBill::edsearchChange);
  connect(edsearch, &QLineEdit::returnPressed, this, &TfrmSaleBill::sbsearchClick);
  connect(sbddrow, &QToolButton::clicked, this, &TfrmSaleBill::sbddrowClick);
  connect(sbdelrow, &QToolButton::clicked, this, &TfrmSaleBill::sbdelrowClick);
  connect(sbmoveup, &QToolButton::clicked, this, &TfrmSaleBill::sbmoveupClick);
  connect(sbmovedown, &QToolButton::clicked, this, &TfrmSaleBill::sbmovedownClick);
  connect(sbexcel, &QToolButton::clicked, this, &TfrmSaleBill::sbexcelClick);
}

void TfrmSaleBill::BuildLineGrid() {
  advgrid = new StringGrid(this);
  advgrid->setObjectName(QStringLiteral("advgrid"));
  advgrid->setColCount(kLineColumns);
  advgrid->setRowCount(3);
  advgrid->setFixedRows(2);
  advgrid->setFixedCols(1);
  advgrid->setColWidth(ColLineNo, 30);
  advgrid->setEditable(true);
  advgrid->setColumnSizing(true);
  advgrid->setRowSelect(false);
  advgrid->setActiveCellBold(true);
  advgrid->setComboAutoDropDown(true);
  advgrid->setComboAutoComplete(true);
  advgrid->GetEditorType = [this](int col, int row) { return advgridGetEditorType(col, row); };
  advgrid->GetAlignment = [this](int col, int row) { return advgridGetAlignment(col, row); };
  advgrid->CellValidate = [this](int col, int row, QString& value) { return advgridCellValidate(col, row, value); };
  advgrid->DblClickCell = [this](int col, int row) { advgridDblClickCell(row, col); };
  advgrid->ClickCell = [this](int, int row) {
    if (row >= advgrid->fixedRows()) ShowPriceHistoryOfRow(row);
  };
  advgrid->CellChanging = [this](int, int, int, int newRow) {
    ShowPriceHistoryOfRow(newRow);
    return true;
  };
  advgrid->installEventFilter(this);
}

void TfrmSaleBill::BuildTotalsBar() {
  pbuttom = new QWidget(this);
  pbuttom->setObjectName(QStringLiteral("pbuttom"));
  pbuttom->setFixedHeight(41);
  auto* layout = new QHBoxLayout(pbuttom);
  layout->setContentsMargins(8, 0, 8, 0);
  layout->addWidget(new QLabel(QStringLiteral("合计:"), pbuttom));
  layout->addSpacing(12);
  layout->addWidget(new QLabel(QStringLiteral("数量:"), pbuttom));
  pqty = new QLabel(pbuttom);
  pqty->setObjectName(QStringLiteral("pqty"));
  pqty->setMinimumWidth(90);
  SetTextStyle(pqty, kQtyColour, true);
  layout->addWidget(pqty);
  layout->addWidget(new QLabel(QStringLiteral("金额:"), pbuttom));
  pamount = new QLabel(pbuttom);
  pamount->setObjectName(QStringLiteral("pamount"));
  pamount->setMinimumWidth(110);
  SetTextStyle(pamount, kAmountColour, true);
  layout->addWidget(pamount);
  pdaxieparent = new QWidget(pbuttom);
  pdaxieparent->setObjectName(QStringLiteral("pdaxieparent"));
  auto* capitals = new QHBoxLayout(pdaxieparent);
  capitals->setContentsMargins(0, 0, 0, 0);
  capitals->addWidget(new QLabel(QStringLiteral("大写:"), pdaxieparent));
  pdaxie = new QLabel(pdaxieparent);
  pdaxie->setObjectName(QStringLiteral("pdaxie"));
  SetTextStyle(pdaxie, kCapitalsColour, false);
  capitals->addWidget(pdaxie, 1);
  layout->addWidget(pdaxieparent, 1);
  layout->addStretch(0);
}

void TfrmSaleBill::BuildBottomBar() {
  pfunction = new QWidget(this);
  pfunction->setObjectName(QStringLiteral("pfunction"));
  auto* layout = new QHBoxLayout(pfunction);
  layout->setContentsMargins(4, 2, 4, 2);
  edzhidan = MakeCombo(pfunction, "edzhidan");
  edjingshou = MakeCombo(pfunction, "edjingshou");
  edjingshou->setToolTip(QStringLiteral("经手人"));
  edyewuyuan = MakeCombo(pfunction, "edyewuyuan");
  edfukuan = MakeCombo(pfunction, "edfukuan");
  edfukuan->setCompleter(nullptr);  // no auto-completion
  for (const char* phrase : kPaymentPhrases) edfukuan->addItem(QString::fromUtf8(phrase));
  edfukuan->setCurrentIndex(-1);
  edfukuan->setMinimumWidth(220);
  layout->addWidget(Labelled(pfunction, QStringLiteral("制单人:"), edzhidan));
  layout->addWidget(Labelled(pfunction, QStringLiteral("仓管员:"), edjingshou));
  layout->addWidget(Labelled(pfunction, QStringLiteral("业务员:"), edyewuyuan));
  layout->addStretch(1);
  layout->addWidget(Labelled(pfunction, QStringLiteral("付款说明:"), edfukuan));
}

void TfrmSaleBill::BuildPricePanel() {
  auto* panel = new QFrame(this);
  pjinqijiage = panel;
  panel->setObjectName(QStringLiteral("pjinqijiage"));
  panel->setFrameShape(QFrame::Box);
  panel->resize(kPricePanelWidth, kPricePanelHeight);
  Paint(panel, kPriceGridColour);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->setSpacing(0);
  auto* caption = new QWidget(panel);
  caption->setObjectName(QStringLiteral("pjinqijiageCaption"));
  caption->setFixedHeight(20);
  Paint(caption, kTitleColour);
  auto* captionLayout = new QHBoxLayout(caption);
  captionLayout->setContentsMargins(4, 0, 0, 0);
  captionLayout->setSpacing(0);
  auto* title = new QLabel(QStringLiteral("产品近5次销售价格"), caption);
  SetTextStyle(title, kTitleTextColour, true);
  captionLayout->addWidget(title, 1);
  auto* minimise = MakeButton(caption, "sbpriceminimize", QStringLiteral("_"), QStringLiteral("最小化/还原"));
  auto* close = MakeButton(caption, "sbpriceclose", QStringLiteral("×"), QStringLiteral("关闭"));
  captionLayout->addWidget(minimise);
  captionLayout->addWidget(close);
  layout->addWidget(caption);

  gridprice = new StringGrid(panel);
  gridprice->setObjectName(QStringLiteral("gridprice"));
  gridprice->setColCount(4);
  gridprice->setRowCount(1 + kPriceRows);
  gridprice->setFixedRows(1);
  gridprice->setFixedCols(1);
  gridprice->setRowSelect(true);
  gridprice->setRowHeight(17);
  gridprice->setColWidth(0, 20);
  gridprice->setColWidth(1, 70);
  gridprice->setColWidth(2, 55);
  gridprice->setColWidth(3, 90);
  gridprice->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridprice->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Paint(gridprice->viewport(), kPriceGridColour);
  const QStringList headers = {QString(), QStringLiteral("日期"), QStringLiteral("价格"), QStringLiteral("客户")};
  for (int c = 0; c < headers.size(); ++c) gridprice->setCell(c, 0, headers[c]);
  gridprice->GetAlignment = [](int col, int row) -> Qt::Alignment {
    if (row == 0) return Qt::AlignCenter;
    if (col == 2) return Qt::AlignRight | Qt::AlignVCenter;
    return {};
  };
  gridprice->DblClickCell = [this](int, int row) {
    if (row < gridprice->fixedRows()) return;
    const QString price = gridprice->cell(2, row).trimmed();
    if (price.isEmpty()) return;
    const int line = advgrid->row();
    if (line < advgrid->fixedRows()) return;
    // Taken over exactly as if the price had been typed into the line.
    QString value = price;
    advgrid->setCell(ColPrice, line, value);
    if (advgridCellValidate(ColPrice, line, value)) advgrid->setCell(ColPrice, line, value);
  };
  layout->addWidget(gridprice, 1);

  connect(close, &QToolButton::clicked, panel, &QWidget::hide);
  connect(minimise, &QToolButton::clicked, this, [this, caption] {
    const bool minimised = gridprice->isHidden();
    gridprice->setVisible(minimised);
    pjinqijiage->resize(kPricePanelWidth, minimised ? kPricePanelHeight : caption->height() + 2);
    FormResize();
  });
  // The panel is moved by dragging its caption bar.
  caption->installEventFilter(this);
  panel->raise();
}

// ---- lifecycle -----------------------------------------------------------------------------

void TfrmSaleBill::SetTitle(bool editing) {
  lTitle->setText(QStringLiteral(" 销售(送货)单") + (editing ? QStringLiteral(" - 编辑") : QStringLiteral(" - 新增")));
}

void TfrmSaleBill::ApplySearchMode() {
  if (SysParas.BarcodeEnabled != QLatin1String("1")) {
    lsearch->setText(QStringLiteral("产品搜索:"));
    edsearch->setToolTip(QStringLiteral("可输入: 型号或规格. 如果有多个条件, 请使用空格分隔."));
  } else {
    lsearch->setText(QStringLiteral("条码(F9):"));
    edsearch->setToolTip(QStringLiteral("请录入或扫入条码"));
  }
}

void TfrmSaleBill::PrepareLineGridHeader() {
  if (advgrid->colCount() < kLineColumns) advgrid->setColCount(kLineColumns);
  if (advgrid->rowCount() < 3) advgrid->setRowCount(3);
  advgrid->setFixedRows(2);
  advgrid->setFixedCols(1);
  advgrid->clearMerges();
  for (int col = 0; col < kLineColumns; ++col) {
    if (IsColourColumn(col)) continue;
    advgrid->mergeCells(col, 0, 1, 2);
  }
  // Each colour column keeps its own caption in row 1; row 0 spans them.
  for (int col = ColFirstColour; col <= ColLastColour; ++col) {
    if (!advgrid->cell(col, 0).isEmpty()) advgrid->setCell(col, 1, advgrid->cell(col, 0));
    advgrid->setCellAlignment(col, 1, Qt::AlignCenter);
  }
  advgrid->mergeCells(ColFirstColour, 0, ColLastColour - ColFirstColour + 1, 1);
  advgrid->setCell(ColFirstColour, 0, QStringLiteral("颜色"));
  advgrid->setComboAutoDropDown(true);
  advgrid->setComboAutoComplete(true);
  advgrid->autoNumberCol(ColLineNo);
}

void TfrmSaleBill::FormShow() {
  Guarded(this, [this] { LoadLineGridLayout(); });
  PrepareLineGridHeader();
  ApplySearchMode();
  eddate->setDisplayFormat(velmor::GetShortDateFormat());
  eddate->setDate(QDate::currentDate());
  FillHeaderLists();
  if (BillInterID != QLatin1String("0")) {
    SetTitle(true);
    Guarded(this, [this] { LoadBill(); });
  } else {
    Guarded(this, [this] { edBillNo->setText(NextBillNumber()); });
    edcs->setEditText(SysParas.DefaultCustomer);
    SetTitle(false);
  }
  UpdateBillTotals();
  pbuttom->show();
  pjinqijiage->show();
  pdaxieparent->setVisible(SysParas.ShowCapitals == QLatin1String("1"));
  advgrid->setCurrentCell(ColName, advgrid->fixedRows());
  FormResize();
}

void TfrmSaleBill::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Restoring a minimised window is no new showing of the bill.
  if (event->spontaneous()) return;
  // On its own the window takes the keys; in the content pane the main
  // window routes them.
  if (isWindow() && !keysWatched_) {
    qApp->installEventFilter(this);
    keysWatched_ = true;
  }
  FormShow();
}

void TfrmSaleBill::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TfrmSaleBill::FormResize() {
  if (!advgrid || !pjinqijiage) return;
  const QRect grid = advgrid->geometry();
  pjinqijiage->move(grid.right() + 1 - 5 - pjinqijiage->width(), grid.bottom() + 1 - 20 - pjinqijiage->height());
  pjinqijiage->raise();
  if (width() <= kMinWindowWidth - 1) resize(kMinWindowWidth, height());
}

void TfrmSaleBill::ShowModal() {
  setParent(parentWidget(), Qt::Window);
  setWindowModality(Qt::ApplicationModal);
  resize(qMax(width(), 1000), qMax(height(), 640));
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
  QEventLoop loop;
  modalLoop_ = &loop;
  loop.exec();
  modalLoop_ = nullptr;
}

void TfrmSaleBill::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous() && keysWatched_) {
    qApp->removeEventFilter(this);
    keysWatched_ = false;
  }
}

void TfrmSaleBill::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (modalLoop_) modalLoop_->quit();
}

// ---- totals ----------------------------------------------------------------------------------

void TfrmSaleBill::UpdateBillTotals() {
  pqty->setText(SumGridColumn(advgrid, ColQty));
  pamount->setText(SumGridColumn(advgrid, ColAmount));
  pdaxie->setText(MoneyToChinese(pamount->text().toDouble()));
}

// ---- the line grid -----------------------------------------------------------------------

EditorType TfrmSaleBill::advgridGetEditorType(int ACol, int ARow) {
  // The drop-down lists are read afresh each time an editor opens.
  FillColumnList(ACol, ARow);
  switch (ACol) {
    case ColName:
    case ColXinghao:
    case ColColor:
    case ColPack:
    case ColUnit: return EditorType::ComboEdit;
    case ColGuige:
      return advgrid->cell(ColXinghao, ARow).trimmed().isEmpty() ? EditorType::Edit : EditorType::ComboEdit;
    case ColQty:
    case ColPrice:
    case ColAmount: return EditorType::Numeric;
    default: return IsColourColumn(ACol) ? EditorType::Numeric : EditorType::Edit;
  }
}

Qt::Alignment TfrmSaleBill::advgridGetAlignment(int ACol, int ARow) const {
  if (ARow < advgrid->fixedRows()) return Qt::AlignCenter;
  if (ACol == ColQty || ACol == ColPrice || ACol == ColAmount || IsColourColumn(ACol))
    return Qt::AlignRight | Qt::AlignVCenter;
  if (ACol == ColUnit) return Qt::AlignCenter;
  return Qt::AlignLeft | Qt::AlignVCenter;
}

bool TfrmSaleBill::advgridCellValidate(int ACol, int ARow, QString& Value) {
  const QString qtyPattern = SysParas.QtyDecimals;
  const QString pricePattern = SysParas.PriceDecimals;
  // Reads a number or tells the user which text is none; nothing else of
  // the line changes then.
  auto read = [this](const QString& text, const QString& emptyAs, double* out) {
    const std::optional<double> number = salebill::ReadCellNumber(text, emptyAs);
    if (!number) {
      velmor::ShowError(this, salebill::InvalidNumberMessage(text));
      return false;
    }
    *out = *number;
    return true;
  };
  const bool filled = !Value.trimmed().isEmpty();
  double qty = 0;
  double price = 0;
  if (ACol == ColXinghao || ACol == ColGuige) {
    if (!Value.isEmpty() && advgrid->cell(ColUnit, ARow).trimmed().isEmpty())
      advgrid->setCell(ColUnit, ARow, SysParas.DefaultUnitName);
  } else if (ACol == ColQty) {
    if (!read(Value, qtyPattern, &qty) || !read(advgrid->cell(ColPrice, ARow), pricePattern, &price)) return false;
    advgrid->setCell(ColAmount, ARow, velmor::FormatNumberPattern(qty * price, MoneyPattern()));
    Value = filled ? velmor::FormatNumberPattern(qty, qtyPattern) : QString();
  } else if (ACol == ColPrice) {
    if (!read(Value, pricePattern, &price) || !read(advgrid->cell(ColQty, ARow), qtyPattern, &qty)) return false;
    advgrid->setCell(ColAmount, ARow, velmor::FormatNumberPattern(qty * price, MoneyPattern()));
    Value = filled ? velmor::FormatNumberPattern(price, pricePattern) : QString();
  } else if (IsColourColumn(ACol)) {
    double sum = 0;
    for (int col = ColFirstColour; col <= ColLastColour; ++col) {
      double colour = 0;
      if (!read(col == ACol ? Value : advgrid->cell(col, ARow), qtyPattern, &colour)) return false;
      sum += colour;
    }
    if (!read(advgrid->cell(ColPrice, ARow), pricePattern, &price)) return false;
    const QString qtyText = velmor::FormatNumberPattern(sum, qtyPattern);
    advgrid->setCell(ColQty, ARow, qtyText);
    advgrid->setCell(ColAmount, ARow, velmor::FormatNumberPattern(qtyText.toDouble() * price, MoneyPattern()));
  }
  // The totals count the edit at the value the cell will keep.
  advgrid->setCell(ACol, ARow, Value);
  UpdateBillTotals();
  ShowPriceHistoryOfRow(ARow);
  return true;
}

// ---- row operations ------------------------------------------------------------------------

void TfrmSaleBill::sbddrowClick() {
  const int row = qMax(advgrid->row(), advgrid->fixedRows() - 1);
  advgrid->insertRows(row + 1, 1);
  advgrid->autoNumberCol(ColLineNo);
}

void TfrmSaleBill::sbdelrowClick() {
  const int row = advgrid->row();
  if (row < advgrid->fixedRows()) return;
  advgrid->cancelEdit();
  advgrid->clearRow(row);
  if (advgrid->lastDataRow() > advgrid->firstDataRow()) advgrid->removeRows(row, 1);
  advgrid->autoNumberCol(ColLineNo);
  UpdateBillTotals();
}

void TfrmSaleBill::sbmoveupClick() {
  const int top = advgrid->selTop();
  const int bottom = advgrid->selBottom();
  if (top <= advgrid->firstDataRow()) return;
  advgrid->moveRow(top - 1, bottom);
  advgrid->selectRows(top - 1, bottom - 1);
}

void TfrmSaleBill::sbmovedownClick() {
  const int top = advgrid->selTop();
  const int bottom = advgrid->selBottom();
  if (bottom >= advgrid->lastDataRow() || top < advgrid->firstDataRow()) return;
  advgrid->moveRow(bottom + 1, top);
  advgrid->selectRows(top + 1, bottom + 1);
}

void TfrmSaleBill::sbexcelClick() {
  sbexcel->setEnabled(false);
  advgrid->setEnabled(false);
  struct Reenable {
    TfrmSaleBill* window;
    ~Reenable() {
      window->sbexcel->setEnabled(true);
      window->advgrid->setEnabled(true);
    }
  } reenable{this};
  TSAVEGRID request;
  request.FileName = QString();
  request.SheetName = QStringLiteral("销售单");
  SaveGridToExcel(advgrid, request, this);
}

// ---- new bill --------------------------------------------------------------------------------

void TfrmSaleBill::spnewbillClick() {
  BillInterID = QStringLiteral("0");
  SetTitle(false);
  advgrid->cancelEdit();
  const int firstData = advgrid->fixedRows();
  if (advgrid->rowCount() > firstData + 1) advgrid->removeRows(firstData + 1, advgrid->rowCount() - firstData - 1);
  if (advgrid->rowCount() <= firstData) advgrid->setRowCount(firstData + 1);
  advgrid->clearRow(firstData);
  advgrid->autoNumberCol(ColLineNo);
  advgrid->setCurrentCell(ColName, firstData);
  Guarded(this, [this] { edBillNo->setText(NextBillNumber()); });
  edcs->setEditText(SysParas.DefaultCustomer);
  eddate->setDate(QDate::currentDate());
  for (QLineEdit* edit : {edcontractno, edchepai, edmemo}) edit->clear();
  for (QComboBox* combo : {edaddress, edzhidan, edjingshou, edyewuyuan}) combo->setEditText(QString());
  // The payment note usually stays the same from bill to bill.
  FillHeaderLists();
  UpdateBillTotals();
}

void TfrmSaleBill::spselectproductClick() {
  // A cell being edited is validated before anything is added.
  edcs->setFocus();
  advgrid->setFocus();
}

// ---- keys and events ---------------------------------------------------------------------------

bool TfrmSaleBill::FormKeyDown(int key) {
  switch (key) {
    case Qt::Key_F2: spnewbill->click(); return true;
    case Qt::Key_F3: spsavebill->click(); return true;
    case Qt::Key_F7: sppreviewbill->click(); return true;
    case Qt::Key_F8: sbprintbill->click(); return true;
    case Qt::Key_F9: edsearch->setFocus(); return true;
    default: return false;
  }
}

bool TfrmSaleBill::FormKeyPress(int key) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  QWidget* focused = QApplication::focusWidget();
  if (MoveOnEnterInGrid(focused)) return true;
  focusNextChild();
  return false;
}

bool TfrmSaleBill::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edcs && event->type() == QEvent::FocusOut) edcsExit();
  if (watched->objectName() == QLatin1String("pjinqijiageCaption")) {
    if (event->type() == QEvent::MouseButtonPress) {
      priceGrab_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - pjinqijiage->pos();
      return true;
    }
    if (event->type() == QEvent::MouseMove && (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
      pjinqijiage->move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - priceGrab_);
      return true;
    }
  }
  // On its own (modal) the window takes the keys the main window would
  // otherwise route to it.
  if (event->type() == QEvent::KeyPress && isWindow()) {
    auto* receiver = qobject_cast<QWidget*>(watched);
    QWidget* focused = QApplication::focusWidget();
    if (receiver && receiver->window() == this && receiver == (focused ? focused : this)) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (FormKeyDown(key->key())) return true;
      if (FormKeyPress(key->key())) return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
