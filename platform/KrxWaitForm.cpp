#include "KrxWaitForm.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "KrxDatabase.h"

namespace velmor {

namespace {

constexpr int kShowDelayMs = 500;
// Past this point the operation is nearly done: showing a window now would
// only flash it.
constexpr int kShowAtMostPercent = 50;
constexpr int kClientWidth = 320;
constexpr int kClientHeight = 112;

}  // namespace

TfrmWait::TfrmWait(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmWait"));
  setWindowTitle(QStringLiteral("Please Wait..."));
  setFixedSize(kClientWidth, kClientHeight);

  lbMessage = new QLabel(QStringLiteral("Wait..."), this);
  lbMessage->setObjectName(QStringLiteral("lbMessage"));
  lbMessage->setGeometry(12, 10, kClientWidth - 24, 20);

  pbProgress = new QProgressBar(this);
  pbProgress->setObjectName(QStringLiteral("pbProgress"));
  pbProgress->setRange(0, 100);
  pbProgress->setValue(0);
  pbProgress->setGeometry(12, 36, kClientWidth - 24, 20);

  btAbort = new QPushButton(QStringLiteral("Abort"), this);
  btAbort->setObjectName(QStringLiteral("btAbort"));
  btAbort->setDefault(true);
  btAbort->setAutoDefault(true);
  btAbort->setGeometry(kClientWidth / 2 - 128, 72, 120, 28);
  connect(btAbort, &QPushButton::clicked, this, &TfrmWait::Abort);

  btBackground = new QPushButton(QStringLiteral("Background Mode"), this);
  btBackground->setObjectName(QStringLiteral("btBackground"));
  btBackground->setAutoDefault(false);
  btBackground->setGeometry(kClientWidth / 2 + 8, 72, 120, 28);
  connect(btBackground, &QPushButton::clicked, this, &TfrmWait::GoBackground);

  // Precise: a coarse timer may fire a few per cent early.
  showTimer_.setTimerType(Qt::PreciseTimer);
  showTimer_.setSingleShot(true);
  showTimer_.setInterval(kShowDelayMs);
  connect(&showTimer_, &QTimer::timeout, this, &TfrmWait::ShowDelayed);
}

TfrmWait::~TfrmWait() {
  // Freed without Finish (its owner went away mid-operation): the
  // application must not stay disabled or minimised behind it.
  if (watchingRestore_) qApp->removeEventFilter(this);
  RestoreMinimised();
  ReleaseOtherWindows();
}

void TfrmWait::Start(const std::string& message) {
  lbMessage->setText(QString::fromStdString(message));
  aborted_ = false;
  progress_ = 0;
  pbProgress->setValue(0);
  running_ = true;
  showTimer_.start();
}

void TfrmWait::Progress(int percent) {
  progress_ = std::clamp(percent, 0, 100);
  pbProgress->setValue(progress_);
  // The operation runs on this thread: let the timer fire and the buttons
  // answer between its steps.
  QCoreApplication::processEvents();
}

bool TfrmWait::Aborted() const {
  QCoreApplication::processEvents();
  return aborted_;
}

void TfrmWait::Finish() {
  running_ = false;
  showTimer_.stop();
  if (watchingRestore_) {
    qApp->removeEventFilter(this);
    watchingRestore_ = false;
  }
  inBackground_ = false;
  hide();
  RestoreMinimised();
  QPointer<QWidget> previous = previousActive_;
  ReleaseOtherWindows();
  if (previous && previous->isVisible()) {
    previous->raise();
    previous->activateWindow();
  }
  previousActive_ = nullptr;
  deleteLater();
}

void TfrmWait::ShowDelayed() {
  if (!running_ || progress_ > kShowAtMostPercent) return;
  HoldOtherWindows();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
  raise();
  activateWindow();
}

void TfrmWait::HoldOtherWindows() {
  if (!disabled_.isEmpty()) return;
  QWidget* active = QApplication::activeWindow();
  previousActive_ = active == this ? nullptr : active;
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (QWidget* window : windows) {
    if (window == this || !window->isWindow() || !window->isEnabled()) continue;
    window->setEnabled(false);
    disabled_.append(window);
  }
}

void TfrmWait::ReleaseOtherWindows() {
  for (const QPointer<QWidget>& window : std::as_const(disabled_)) {
    if (window) window->setEnabled(true);
  }
  disabled_.clear();
}

void TfrmWait::Abort() { aborted_ = true; }

void TfrmWait::reject() {
  // Escape (the Cancel button's key) stops the operation like the button;
  // the window itself goes only when the operation finishes.
  Abort();
}

void TfrmWait::closeEvent(QCloseEvent* event) {
  if (running_) {
    Abort();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TfrmWait::GoBackground() {
  if (!running_ || inBackground_) return;
  inBackground_ = true;
  appLeftActive_ = false;
  hide();
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (QWidget* window : windows) {
    if (window == this || !window->isVisible() || window->isMinimized()) continue;
    minimised_.append(window);
  }
  if (!watchingRestore_) {
    qApp->installEventFilter(this);
    watchingRestore_ = true;
  }
  for (const QPointer<QWidget>& window : std::as_const(minimised_)) {
    if (window) window->showMinimized();
  }
}

bool TfrmWait::eventFilter(QObject* watched, QEvent* event) {
  if (inBackground_) {
    if (event->type() == QEvent::ApplicationStateChange) {
      // Minimising leaves the application inactive; becoming active again
      // after that is the user bringing it back.
      if (QGuiApplication::applicationState() != Qt::ApplicationActive) {
        appLeftActive_ = true;
      } else if (appLeftActive_) {
        ComeBack();
      }
    } else if (event->type() == QEvent::WindowStateChange) {
      auto* window = qobject_cast<QWidget*>(watched);
      if (window != nullptr && window != this && window->isWindow() && !window->isMinimized() &&
          minimised_.contains(window)) {
        ComeBack();
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmWait::ComeBack() {
  inBackground_ = false;
  RestoreMinimised();
  if (!running_) return;
  show();
  raise();
  activateWindow();
}

void TfrmWait::RestoreMinimised() {
  const QList<QPointer<QWidget>> windows = std::exchange(minimised_, {});
  for (const QPointer<QWidget>& window : windows) {
    if (window && window->isMinimized()) window->showNormal();
  }
}

void KrxUseWaitForm(krx::TKrxDatabase& database) {
  database.OnProgress = [](krx::TKrxDatabase& target) -> krx::IKrxProgress* {
    if (target.SilentMode()) return nullptr;
    // Parentless: it sits above every window, and frees itself on Finish.
    return new TfrmWait;
  };
}

}  // namespace velmor
