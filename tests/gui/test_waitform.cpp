// The progress window: it shows only for an operation still running and not
// past half way after half a second, holds the other windows while up and
// gives them back after, stops the operation on Abort, steps aside in
// Background Mode and comes back when the application is restored, and a
// database hands one to a long operation through its progress handler.
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>
#include <stdexcept>
#include <string>

#include "KrxDatabase.h"
#include "KrxProgress.h"
#include "KrxWaitForm.h"
#include "TestSupport.h"
#include "uniData.h"

using velmor::TfrmWait;

namespace {

constexpr int kShownWithinMs = 3000;

// Runs the event loop until deferred deletes are done, so a window that
// freed itself is gone.
void FlushDeletes() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

// A window that has freed itself cannot be finished again; the test keeps a
// guarded pointer and finishes only a live one.
void FinishIfAlive(QPointer<TfrmWait>& wait) {
  if (wait) wait->Finish();
  FlushDeletes();
}

}  // namespace

class TestWaitForm : public QObject {
  Q_OBJECT

 private slots:
  void cleanup();
  void captionAndControls();
  void showsOnlyWhenStillRunningAndNotPastHalfWay_data();
  void showsOnlyWhenStillRunningAndNotPastHalfWay();
  void notShownBeforeTheDelay();
  void holdsOtherWindowsAndGivesThemBack();
  void abortSetsTheFlagAndStartClearsIt();
  void escapeAndClosingAbortWithoutClosing();
  void backgroundModeHidesAndComesBackOnRestore();
  void finishInBackgroundRestoresTheApplication();
  void databaseHandsAWindowToALongOperation();
  void silentDatabaseRunsUnreported();
  void theProgramsDatabaseShowsTheWindow();
  void scopeFinishesWhenTheOperationRaises();

 private:
  std::unique_ptr<QWidget> MakeWindow(const QString& title);
};

std::unique_ptr<QWidget> TestWaitForm::MakeWindow(const QString& title) {
  auto window = std::make_unique<QWidget>();
  window->setWindowTitle(title);
  window->resize(300, 200);
  window->show();
  return window;
}

void TestWaitForm::cleanup() {
  // No window of a failed test may leak into the next.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* wait = qobject_cast<TfrmWait*>(window)) delete wait;
  }
  FlushDeletes();
}

void TestWaitForm::captionAndControls() {
  auto wait = std::make_unique<TfrmWait>();
  QCOMPARE(wait->objectName(), QStringLiteral("frmWait"));
  QCOMPARE(wait->windowTitle(), QStringLiteral("Please Wait..."));
  QVERIFY(wait->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  auto* message = wait->findChild<QLabel*>(QStringLiteral("lbMessage"));
  QVERIFY(message != nullptr);
  QCOMPARE(message->text(), QStringLiteral("Wait..."));
  auto* bar = wait->findChild<QProgressBar*>(QStringLiteral("pbProgress"));
  QVERIFY(bar != nullptr);
  QCOMPARE(bar->minimum(), 0);
  QCOMPARE(bar->maximum(), 100);
  auto* abort = wait->findChild<QPushButton*>(QStringLiteral("btAbort"));
  QVERIFY(abort != nullptr);
  QCOMPARE(abort->text(), QStringLiteral("Abort"));
  QVERIFY(abort->isDefault());
  auto* background = wait->findChild<QPushButton*>(QStringLiteral("btBackground"));
  QVERIFY(background != nullptr);
  QCOMPARE(background->text(), QStringLiteral("Background Mode"));
  QVERIFY(!background->isDefault());

  wait->Start("Copying table customer...");
  QCOMPARE(message->text(), QStringLiteral("Copying table customer..."));
  wait->Progress(30);
  QCOMPARE(bar->value(), 30);
  wait->Progress(250);  // out of range is held at the ends
  QCOMPARE(bar->value(), 100);
  wait->Progress(-4);
  QCOMPARE(bar->value(), 0);
  QTRY_VERIFY_WITH_TIMEOUT(wait->isVisible(), kShownWithinMs);
  velmor::test::SaveScreenshot(wait.get());
}

void TestWaitForm::showsOnlyWhenStillRunningAndNotPastHalfWay_data() {
  QTest::addColumn<int>("progress");
  QTest::addColumn<bool>("finishFirst");
  QTest::addColumn<bool>("shown");
  QTest::newRow("just started") << 0 << false << true;
  QTest::newRow("exactly half way") << 50 << false << true;
  QTest::newRow("past half way") << 51 << false << false;
  QTest::newRow("all but done") << 100 << false << false;
  QTest::newRow("finished before the delay") << 10 << true << false;
}

void TestWaitForm::showsOnlyWhenStillRunningAndNotPastHalfWay() {
  QFETCH(int, progress);
  QFETCH(bool, finishFirst);
  QFETCH(bool, shown);
  QPointer<TfrmWait> wait = new TfrmWait;
  wait->Start("Importing...");
  wait->Progress(progress);
  if (finishFirst) {
    wait->Finish();
    QTest::qWait(800);
    FlushDeletes();
    QVERIFY2(wait.isNull(), "a finished window frees itself");
    return;
  }
  QTest::qWait(800);
  QCOMPARE(wait->isVisible(), shown);
  FinishIfAlive(wait);
  QVERIFY(wait.isNull());
}

void TestWaitForm::notShownBeforeTheDelay() {
  QPointer<TfrmWait> wait = new TfrmWait;
  QElapsedTimer clock;
  clock.start();
  wait->Start("Restructuring...");
  while (!wait->isVisible() && clock.elapsed() < kShownWithinMs) {
    wait->Progress(5);
    QTest::qWait(10);
  }
  QVERIFY(wait->isVisible());
  QVERIFY2(clock.elapsed() >= 500, qPrintable(QString::number(clock.elapsed())));
  FinishIfAlive(wait);
}

void TestWaitForm::holdsOtherWindowsAndGivesThemBack() {
  auto main = MakeWindow(QStringLiteral("main"));
  auto other = MakeWindow(QStringLiteral("other"));
  auto alreadyDisabled = MakeWindow(QStringLiteral("disabled"));
  alreadyDisabled->setEnabled(false);
  main->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(main.get()));

  QPointer<TfrmWait> wait = new TfrmWait;
  wait->Start("Copying...");
  QVERIFY(main->isEnabled());  // nothing held before it shows
  QTRY_VERIFY_WITH_TIMEOUT(wait->isVisible(), kShownWithinMs);
  QVERIFY(!main->isEnabled());
  QVERIFY(!other->isEnabled());
  QVERIFY(wait->isEnabled());

  other->activateWindow();  // the user clicks around meanwhile
  QTest::qWait(50);
  wait->Finish();
  FlushDeletes();
  QVERIFY(wait.isNull());
  QVERIFY(main->isEnabled());
  QVERIFY(other->isEnabled());
  QVERIFY2(!alreadyDisabled->isEnabled(), "a window disabled by someone else stays disabled");
  QTRY_COMPARE(QApplication::activeWindow(), main.get());
}

void TestWaitForm::abortSetsTheFlagAndStartClearsIt() {
  QPointer<TfrmWait> wait = new TfrmWait;
  wait->Start("Copying...");
  QVERIFY(!wait->Aborted());
  QTRY_VERIFY_WITH_TIMEOUT(wait->isVisible(), kShownWithinMs);
  QTest::mouseClick(wait->btAbort, Qt::LeftButton);
  QVERIFY(wait->Aborted());
  QVERIFY2(wait->isVisible(), "the window stays until the operation finishes");
  wait->Start("Again...");
  QVERIFY(!wait->Aborted());
  FinishIfAlive(wait);
}

void TestWaitForm::escapeAndClosingAbortWithoutClosing() {
  QPointer<TfrmWait> wait = new TfrmWait;
  wait->Start("Copying...");
  QTRY_VERIFY_WITH_TIMEOUT(wait->isVisible(), kShownWithinMs);
  QTest::keyClick(wait.data(), Qt::Key_Escape);
  QVERIFY(wait->Aborted());
  QVERIFY(wait->isVisible());

  wait->Start("Copying...");
  QTRY_VERIFY_WITH_TIMEOUT(wait->isVisible(), kShownWithinMs);
  QVERIFY(!wait->close());
  QVERIFY(wait->Aborted());
  QVERIFY(wait->isVisible());
  FinishIfAlive(wait);
  QVERIFY(wait.isNull());
}

void TestWaitForm::backgroundModeHidesAndComesBackOnRestore() {
  auto main = MakeWindow(QStringLiteral("main"));
  main->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(main.get()));
  QPointer<TfrmWait> wait = new TfrmWait;
  wait->Start("Importing table stock...");
  QTRY_VERIFY_WITH_TIMEOUT(wait->isVisible(), kShownWithinMs);

  QTest::mouseClick(wait->btBackground, Qt::LeftButton);
  QVERIFY(wait->InBackground());
  QVERIFY(!wait->isVisible());
  QVERIFY(main->isMinimized());
  QVERIFY(!wait->Aborted());
  wait->Progress(60);  // the operation runs on unseen
  QTest::qWait(50);
  QVERIFY(!wait->isVisible());

  main->showNormal();  // the user restores the application
  QTRY_VERIFY(wait->isVisible());
  QVERIFY(!wait->InBackground());
  QCOMPARE(wait->lbMessage->text(), QStringLiteral("Importing table stock..."));
  QCOMPARE(wait->pbProgress->value(), 60);
  QVERIFY(!main->isMinimized());
  QVERIFY2(!main->isEnabled(), "still held while the window is back");

  FinishIfAlive(wait);
  QVERIFY(main->isEnabled());
}

void TestWaitForm::finishInBackgroundRestoresTheApplication() {
  auto main = MakeWindow(QStringLiteral("main"));
  auto minimisedBefore = MakeWindow(QStringLiteral("minimised before"));
  minimisedBefore->showMinimized();
  main->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(main.get()));
  QPointer<TfrmWait> wait = new TfrmWait;
  wait->Start("Copying...");
  QTRY_VERIFY_WITH_TIMEOUT(wait->isVisible(), kShownWithinMs);
  QTest::mouseClick(wait->btBackground, Qt::LeftButton);
  QVERIFY(main->isMinimized());

  wait->Finish();
  FlushDeletes();
  QVERIFY(wait.isNull());
  QVERIFY(!main->isMinimized());
  QVERIFY(main->isEnabled());
  QVERIFY2(minimisedBefore->isMinimized(), "a window the user had minimised stays so");
  // Restoring after the end shows nothing again.
  main->showMinimized();
  main->showNormal();
  QTest::qWait(50);
  for (QWidget* window : QApplication::topLevelWidgets()) QVERIFY(qobject_cast<TfrmWait*>(window) == nullptr);
}

void TestWaitForm::databaseHandsAWindowToALongOperation() {
  auto main = MakeWindow(QStringLiteral("main"));
  main->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(main.get()));
  krx::TKrxDatabase database;
  velmor::KrxUseWaitForm(database);

  // The user stops the operation once the window is up.
  bool sawWindow = false;
  QTimer clicker;
  clicker.setInterval(20);
  connect(&clicker, &QTimer::timeout, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* wait = qobject_cast<TfrmWait*>(window);
      if (wait == nullptr || !wait->isVisible()) continue;
      sawWindow = true;
      QCOMPARE(wait->lbMessage->text(), QStringLiteral("Copying table goods..."));
      QVERIFY(!main->isEnabled());
      QTest::mouseClick(wait->btAbort, Qt::LeftButton);
      clicker.stop();
    }
  });
  clicker.start();

  constexpr int kSteps = 100000;
  int done = 0;
  {
    krx::TKrxProgressScope progress(database.MakeProgress(), "Copying table goods...");
    for (; done < kSteps; ++done) {
      if (progress.Aborted()) break;
      progress.Step(done, kSteps * 20);  // stays under half way
      QThread::msleep(1);
    }
  }
  FlushDeletes();
  QVERIFY(sawWindow);
  QVERIFY2(done < kSteps, "the operation stopped on Abort");
  QVERIFY(main->isEnabled());
  for (QWidget* window : QApplication::topLevelWidgets()) QVERIFY(qobject_cast<TfrmWait*>(window) == nullptr);
}

void TestWaitForm::silentDatabaseRunsUnreported() {
  krx::TKrxDatabase database;
  QVERIFY(database.MakeProgress() == nullptr);  // no handler: nothing to report to
  velmor::KrxUseWaitForm(database);
  database.SetSilentMode(true);
  QVERIFY(database.MakeProgress() == nullptr);
  krx::TKrxProgressScope progress(nullptr, "Copying...");
  progress.Step(5, 10);
  QVERIFY(!progress.Aborted());
}

void TestWaitForm::theProgramsDatabaseShowsTheWindow() {
  TfrmData data;
  krx::IKrxProgress* progress = data.KrxDB.MakeProgress();
  QVERIFY(dynamic_cast<TfrmWait*>(progress) != nullptr);
  progress->Start("Wait...");
  progress->Finish();
  FlushDeletes();
}

void TestWaitForm::scopeFinishesWhenTheOperationRaises() {
  auto main = MakeWindow(QStringLiteral("main"));
  QPointer<TfrmWait> wait = new TfrmWait;
  try {
    krx::TKrxProgressScope progress(wait.data(), "Restructuring...");
    QTRY_VERIFY_WITH_TIMEOUT(wait->isVisible(), kShownWithinMs);
    QVERIFY(!main->isEnabled());
    throw std::runtime_error("disk full");
  } catch (const std::runtime_error&) {
  }
  FlushDeletes();
  QVERIFY(wait.isNull());
  QVERIFY(main->isEnabled());
}

QTEST_MAIN(TestWaitForm)
#include "test_waitform.moc"
