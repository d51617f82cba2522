#include "uniMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStringEncoder>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "ComServer.h"
#include "GridEnterMove.h"
#include "MessageBox.h"
#include "NavBar.h"
#include "ShellOpen.h"
#include "ShellPictures.h"
#include "StartupSeams.h"
#include "uniData.h"
#include "VelmorApplication.h"
#include "uniType.h"

TfrmMain* frmMain = nullptr;

const QString kMakerWebSite = QStringLiteral("https://www.velmor.example/");
const QString kDiscussionPage = QStringLiteral("https://www.velmor.example/bbs/");

namespace {

constexpr QSize kDesignSize(1032, 746);
constexpr int kTopStripHeight = 25;
constexpr int kBevelHeight = 2;
constexpr int kBannerWidth = 107;
constexpr int kAdvertWidth = 238;
constexpr int kNavigationWidth = 152;
constexpr int kSplitterWidth = 2;
constexpr int kStatusBarHeight = 18;
constexpr int kStatusPanelWidths[TfrmMain::kStatusPanels] = {185, 150, 450, 50};
constexpr int kPixelsPerUserNameByte = 8;
constexpr int kHintIntervalMs = 60000;

const QString kAdvertText = QStringLiteral("专业线缆开单软件 · 访问Velmor科技网站");

// A working window counts as showing unless it was hidden (closed) or never
// shown; it may lie behind another one.
bool IsShowing(const QWidget* window) { return window && !window->isHidden(); }

QFrame* MakeBevel(QWidget* parent) {
  auto* bevel = new QFrame(parent);
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);
  bevel->setFixedHeight(kBevelHeight);
  return bevel;
}

bool IsEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  if (!frmMain) frmMain = this;
  setWindowTitle(kApplicationTitle);
  resize(kDesignSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(), kDesignSize);
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  setCentralWidget(central);
  BuildTopStrip(central);

  Splitter1 = new QSplitter(Qt::Horizontal, central);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(kSplitterWidth);
  Splitter1->setChildrenCollapsible(false);
  column->addWidget(Splitter1, 1);

  PLNAVI = new QWidget(Splitter1);
  PLNAVI->setObjectName(QStringLiteral("PLNAVI"));
  PLNAVI->setAutoFillBackground(true);
  QPalette white = PLNAVI->palette();
  white.setColor(QPalette::Window, Qt::white);
  PLNAVI->setPalette(white);
  BuildNavigation();

  pContent = new QWidget(Splitter1);
  pContent->setObjectName(QStringLiteral("pContent"));
  pContent->installEventFilter(this);
  Splitter1->addWidget(PLNAVI);
  Splitter1->addWidget(pContent);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({kNavigationWidth, kDesignSize.width() - kNavigationWidth - kSplitterWidth});

  BuildMenu();
  BuildStatusBar();

  TimerHint = new QTimer(this);
  TimerHint->setObjectName(QStringLiteral("TimerHint"));
  TimerHint->setInterval(kHintIntervalMs);
  connect(TimerHint, &QTimer::timeout, this, &TfrmMain::TimerHintTimer);

  // Keys are previewed for the whole window hierarchy, working windows
  // included, before the focused control sees them.
  qApp->installEventFilter(this);
  FormCreate();
}

TfrmMain::~TfrmMain() {
  qApp->removeEventFilter(this);
  FormDestroy();
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::BuildTopStrip(QWidget* central) {
  auto* column = static_cast<QVBoxLayout*>(central->layout());
  column->addWidget(MakeBevel(central));
  pllll = new QWidget(central);
  pllll->setObjectName(QStringLiteral("pllll"));
  pllll->setFixedHeight(kTopStripHeight);
  pllll->installEventFilter(this);
  auto* row = new QHBoxLayout(pllll);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  lad2 = new QLabel(pllll);
  lad2->setObjectName(QStringLiteral("lad2"));
  lad2->setFixedSize(kBannerWidth, kTopStripHeight);
  lad2->setPixmap(MakeBanner(kBannerWidth, kTopStripHeight));
  lad2->setCursor(Qt::PointingHandCursor);
  lad2->installEventFilter(this);
  row->addWidget(lad2);
  row->addStretch(1);

  lad1 = new QLabel(kAdvertText, pllll);
  lad1->setObjectName(QStringLiteral("lad1"));
  lad1->setFixedWidth(kAdvertWidth);
  lad1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lad1->setCursor(Qt::PointingHandCursor);
  lad1->setStyleSheet(QStringLiteral("color: #1f3a68;"));
  lad1->installEventFilter(this);
  row->addWidget(lad1);

  column->addWidget(pllll);
  column->addWidget(MakeBevel(central));
}

void TfrmMain::BuildNavigation() {
  auto* fill = new QVBoxLayout(PLNAVI);
  fill->setContentsMargins(0, 0, 0, 0);
  NB = new velmor::NavBar(PLNAVI);
  NB->setObjectName(QStringLiteral("NB"));
  fill->addWidget(NB);
  const QList<QIcon>& images = frmData ? frmData->ilimg : QList<QIcon>();
  auto image = [&images](int index) { return images.value(index); };

  velmor::NavPanel* basics = NB->AddPanel(QStringLiteral("基础资料"));
  connect(basics->AddButton(QStringLiteral("spproduct"), QStringLiteral("产品资料"), QStringLiteral("产品资料"),
                            image(TfrmData::ImgProduct)),
          &QToolButton::clicked, this, &TfrmMain::spproductClick);
  connect(basics->AddButton(QStringLiteral("spcustomer"), QStringLiteral("客户资料"), QStringLiteral("客户资料"),
                            image(TfrmData::ImgCustomer)),
          &QToolButton::clicked, this, &TfrmMain::spcustomerClick);
  connect(basics->AddButton(QStringLiteral("splinker"), QStringLiteral("联  系  人"), QStringLiteral("联系人"),
                            image(TfrmData::ImgLinker)),
          &QToolButton::clicked, this, &TfrmMain::splinkerClick);
  connect(basics->AddButton(QStringLiteral("spcable"), QStringLiteral("线缆资料"), QString(),
                            image(TfrmData::ImgCable)),
          &QToolButton::clicked, this, &TfrmMain::spcableClick);

  velmor::NavPanel* sales = NB->AddPanel(QStringLiteral("销售开单"));
  connect(sales->AddButton(QStringLiteral("spsalebill"), QStringLiteral("开        单"), QStringLiteral("开销售单"),
                           image(TfrmData::ImgSaleBill)),
          &QToolButton::clicked, this, &TfrmMain::spsalebillClick);
  connect(sales->AddButton(QStringLiteral("sbsearchbill"), QStringLiteral("查        单"),
                           QStringLiteral("查找以往销售单"), image(TfrmData::ImgSearchBill)),
          &QToolButton::clicked, this, &TfrmMain::sbsearchbillClick);
  connect(sales->AddButton(QStringLiteral("spsalereport"), QStringLiteral("报        表"), QStringLiteral("报表统计"),
                           image(TfrmData::ImgSaleReport)),
          &QToolButton::clicked, this, &TfrmMain::spsalereportClick);
}

void TfrmMain::BuildMenu() {
  mm = new QMenuBar(this);
  mm->setObjectName(QStringLiteral("mm"));
  setMenuBar(mm);
  auto item = [this](QMenu* menu, const char* name, const QString& caption, void (TfrmMain::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
  };

  QMenu* system = mm->addMenu(QStringLiteral("系统"));
  nsyssetting = item(system, "nsyssetting", QStringLiteral("系统设置"), &TfrmMain::nsyssettingClick);
  system->addSeparator();
  nbackup = item(system, "nbackup", QStringLiteral("数据备份"), &TfrmMain::nbackupClick);
  nrestore = item(system, "nrestore", QStringLiteral("数据还原"), &TfrmMain::nrestoreClick);
  system->addSeparator();
  nexit = item(system, "nexit", QStringLiteral("退出系统"), &TfrmMain::nexitClick);

  QMenu* tools = mm->addMenu(QStringLiteral("工具"));
  nproduct = item(tools, "nproduct", QStringLiteral("电缆产品"), &TfrmMain::nproductClick);
  ncustomer = item(tools, "ncustomer", QStringLiteral("客户资料"), &TfrmMain::ncustomerClick);
  nlinker = item(tools, "nlinker", QStringLiteral("联系人资料"), &TfrmMain::nlinkerClick);
  tools->addSeparator();
  ncable = item(tools, "ncable", QStringLiteral("线缆资料"), &TfrmMain::ncableClick);
  tools->addSeparator();
  ncalc = item(tools, "ncalc", QStringLiteral("计算器"), &TfrmMain::ncalcClick);

  QMenu* about = mm->addMenu(QStringLiteral("关于"));
  nhelp = about->addAction(QStringLiteral("帮助"));  // no action
  nhelp->setObjectName(QStringLiteral("nhelp"));
  nonline = item(about, "nonline", QStringLiteral("在线讨论"), &TfrmMain::nonlineClick);
  about->addSeparator();
  nABOUT = item(about, "nABOUT", QStringLiteral("关于"), &TfrmMain::nABOUTClick);
}

void TfrmMain::BuildStatusBar() {
  SB = new QStatusBar(this);
  SB->setObjectName(QStringLiteral("SB"));
  SB->setFixedHeight(kStatusBarHeight);
  SB->setSizeGripEnabled(false);
  setStatusBar(SB);
  for (int i = 0; i < kStatusPanels; ++i) {
    auto* panel = new QLabel(SB);
    panel->setObjectName(QStringLiteral("SBPanel%1").arg(i));
    panel->setFixedWidth(kStatusPanelWidths[i]);
    panel->setAlignment(i == 3 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    panel->setFrameStyle(i == 1 ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
    SB->addWidget(panel);
    statusPanels_[i] = panel;
  }
  statusPanels_[2]->setText(kFirstFriendlyHint);
}

QLabel* TfrmMain::StatusPanel(int index) const {
  return index >= 0 && index < kStatusPanels ? statusPanels_[index] : nullptr;
}

void TfrmMain::FormCreate() {
  try {
    OpenDatabaseAndLoadParameters();
  } catch (const std::exception& error) {
    // Start-up goes on without the rest; the login then meets the same fault.
    velmor::ShowError(this, QString::fromUtf8(error.what()));
    return;
  }
  TimerHint->start();
  if (IsReportEngineRegistered()) return;
  for (const char* library : kReportEngineLibraries) {
    const QString path = SysParas.AppDir + QString::fromLatin1(library);
    if (!QFileInfo::exists(path)) continue;
    try {
      RegisterComServer(path, true);
    } catch (...) {
      // A library that fails to register is left as it is.
    }
  }
}

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TfrmMain::FormShow() {
  if (!RunLoginWindow(this)) {
    leavingFromLogin_ = true;
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  setWindowTitle(SysParas.CompanyTitle + QStringLiteral(" - ") + SysParas.UserName + QStringLiteral(" - ") +
                 SysParas.PrintTitle);
  // The width follows the name's bytes in the national code page.
  QStringEncoder nationalCodePage("GB18030");
  const QByteArray nameBytes = nationalCodePage.encode(SysParas.UserName);
  statusPanels_[1]->setText(SysParas.UserName);
  statusPanels_[1]->setFixedWidth(kPixelsPerUserNameByte * static_cast<int>(nameBytes.size()));
  NB->SetActivePanel(1);
  spsalebillClick();
}

bool TfrmMain::FormCloseQuery() {
  if (leavingFromLogin_) return true;
  return velmor::AskYesNo(this, QStringLiteral("确实要退出【") + SysParas.SystemName + QStringLiteral("】吗？"),
                          velmor::MsgIcon::None);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TfrmMain::FormDestroy() {
  if (frmData) frmData->Disconnect();
}

QWidget* TfrmMain::OpenWorkingWindow(WindowKind kind) {
  QPointer<QWidget>& slot = WindowSlot(kind);
  if (!IsShowing(slot)) {
    // A closed window is never shown again; its fresh successor takes the slot.
    if (slot) slot->deleteLater();
    QWidget* window = CreateWorkingWindow(kind, pContent);
    window->setGeometry(pContent->rect());
    if (kind == WindowKind::SaleBill) window->setProperty("BillInterID", QStringLiteral("0"));
    slot = window;
  }
  QWidget* window = slot;
  window->show();
  window->raise();
  if (window->isWindow()) window->activateWindow();
  return window;
}

void TfrmMain::FitWorkingWindows() {
  for (QWidget* child : pContent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (!child->isWindow()) child->setGeometry(pContent->rect());
  }
}

void TfrmMain::ShowModalWindow(DialogKind kind) {
  std::unique_ptr<QDialog> dialog = CreateModalWindow(kind, this);
  if (dialog) dialog->exec();
}

void TfrmMain::spsalebillClick() { OpenWorkingWindow(WindowKind::SaleBill); }
void TfrmMain::sbsearchbillClick() { OpenWorkingWindow(WindowKind::SaleBillManagement); }
void TfrmMain::spsalereportClick() { OpenWorkingWindow(WindowKind::SaleReport); }
void TfrmMain::spproductClick() { nproduct->trigger(); }
void TfrmMain::spcustomerClick() { ncustomer->trigger(); }
void TfrmMain::splinkerClick() { nlinker->trigger(); }
void TfrmMain::spcableClick() { ncable->trigger(); }
void TfrmMain::nproductClick() { OpenWorkingWindow(WindowKind::Product); }
void TfrmMain::ncustomerClick() { OpenWorkingWindow(WindowKind::Customer); }
void TfrmMain::nlinkerClick() { OpenWorkingWindow(WindowKind::Linker); }
void TfrmMain::ncableClick() { ShowModalWindow(DialogKind::Knowledge); }
void TfrmMain::nsyssettingClick() { ShowModalWindow(DialogKind::SysSetting); }
void TfrmMain::nbackupClick() { RunBackup(this); }
void TfrmMain::nrestoreClick() { RunRestore(this); }
void TfrmMain::nexitClick() { close(); }
void TfrmMain::ncalcClick() { velmor::OpenWithProgram(SysParas.AppDir + QStringLiteral("calc")); }
void TfrmMain::nonlineClick() { velmor::OpenWebAddress(kDiscussionPage); }
void TfrmMain::nABOUTClick() { ShowModalWindow(DialogKind::About); }

void TfrmMain::TimerHintTimer() { statusPanels_[2]->setText(GetFriendlyHint()); }

void TfrmMain::pllllDblClick() { PLNAVI->setVisible(PLNAVI->isHidden()); }

bool TfrmMain::IsFirstDelivery(QWidget* receiver) const {
  // A key goes first to the focused control and then, when ignored, up
  // through its parents; only that first delivery is previewed.
  QWidget* focused = QApplication::focusWidget();
  return receiver == (focused ? focused : receiver->window());
}

bool TfrmMain::FormKeyPress(QKeyEvent* key) {
  if (!IsEnter(key)) return false;
  QWidget* focused = QApplication::focusWidget();
  if (MoveOnEnterInGrid(focused)) return true;
  // Elsewhere Enter also moves to the next control, and the control on
  // which it was pressed still receives it.
  focusNextChild();
  return false;
}

void TfrmMain::FormKeyDown(QKeyEvent* key) {
  QWidget* bill = WindowSlot(WindowKind::SaleBill);
  if (!IsShowing(bill)) return;
  auto click = [bill](const char* name) {
    if (auto* button = bill->findChild<QAbstractButton*>(QString::fromLatin1(name))) button->click();
  };
  switch (key->key()) {
    case Qt::Key_F2: click("spnewbill"); break;
    case Qt::Key_F3: click("spsavebill"); break;
    case Qt::Key_F7: click("sppreviewbill"); break;
    case Qt::Key_F8: click("sbprintbill"); break;
    case Qt::Key_F9:
      if (auto* search = bill->findChild<QWidget*>(QStringLiteral("edsearch"))) search->setFocus();
      break;
    default: break;
  }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* receiver = qobject_cast<QWidget*>(watched);
      if (!receiver || receiver->window() != this || !IsFirstDelivery(receiver)) break;
      auto* key = static_cast<QKeyEvent*>(event);
      FormKeyDown(key);
      if (FormKeyPress(key)) return true;
      break;
    }
    case QEvent::MouseButtonDblClick:
      if (watched == pllll) {
        pllllDblClick();
        return true;
      }
      break;
    case QEvent::MouseButtonRelease:
      if ((watched == lad1 || watched == lad2) && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        velmor::OpenWebAddress(kMakerWebSite);
        return true;
      }
      break;
    case QEvent::Resize:
      if (watched == pContent) FitWorkingWindows();
      break;
    default: break;
  }
  return QMainWindow::eventFilter(watched, event);
}
