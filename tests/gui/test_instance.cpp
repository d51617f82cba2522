// One running instance: a second start of the program asks the running one
// to come forward and ends; a name left behind by a crashed instance is
// taken over; a running instance that does not answer is not waited for
// without end.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

#include "InstanceChannel.h"
#include "MultInst.h"
#include "TestSupport.h"
#include "uniData.h"
#include "uniLogin.h"
#include "uniMain.h"

using velmor::InstanceChannel;

class TestInstance : public QObject {
  Q_OBJECT

 private:
  // The socket names live in a folder of their own, so that a program the
  // user runs on this machine is never disturbed.
  QTemporaryDir socketDir_;

  static QString Program() {
    return QDir(qEnvironmentVariable("VELMOR_PROGRAM_DIR")).filePath(QStringLiteral("velmor"));
  }

  // Starts the program a second time and waits for it to end, while this
  // process keeps answering.
  static bool RunSecondStart(int& exitCode) {
    QProcess second;
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    QSignalSpy finished(&second, &QProcess::finished);
    second.start(Program(), {});
    if (!second.waitForStarted(10000)) return false;
    if (!finished.wait(60000)) {
      second.kill();
      second.waitForFinished();
      return false;
    }
    exitCode = second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
    return true;
  }

 private slots:
  void initTestCase() {
    QVERIFY(socketDir_.isValid());
    qputenv("TMPDIR", socketDir_.path().toLocal8Bit());
    QCOMPARE(QDir::tempPath(), QDir(socketDir_.path()).absolutePath());
    QVERIFY(velmor::test::InstallInitialDatabase());
    SetLoginRunner([](QWidget*) { return true; });  // no person types the password here
  }

  void aSecondStartRaisesTheRunningInstanceAndEnds() {
    QVERIFY2(QFileInfo(Program()).isExecutable(), qPrintable(Program()));
    TfrmData data;
    TfrmMain main;
    TMultInst guard;
    QCOMPARE(guard.Run(), InstanceChannel::Outcome::FirstInstance);
    guard.SetMainWindow(&main);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    velmor::test::SaveScreenshot(&main, QStringLiteral("instance"));

    // Minimised: the second start restores it.
    main.showMinimized();
    QTRY_VERIFY(main.isMinimized());
    int exitCode = -1;
    QVERIFY(RunSecondStart(exitCode));
    QCOMPARE(exitCode, 0);
    QTRY_VERIFY(!main.isMinimized());
    QTRY_VERIFY(main.isActiveWindow());

    // Behind another window: the second start brings it to the front.
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!main.isActiveWindow());
    QVERIFY(RunSecondStart(exitCode));
    QCOMPARE(exitCode, 0);
    QTRY_VERIFY(main.isActiveWindow());
    QVERIFY(!main.isMinimized());
  }

  void aRunningInstanceAnswersEveryLaterStart() {
    InstanceChannel running(QStringLiteral("velmor-test-answers"));
    QCOMPARE(running.Claim(1000), InstanceChannel::Outcome::FirstInstance);
    QVERIFY(running.HoldsName());
    QSignalSpy asked(&running, &InstanceChannel::InstanceAsked);
    // A later start played by a plain socket that asks and reads the answer
    // while this event loop serves the running side.
    for (int start = 1; start <= 2; ++start) {
      QLocalSocket later;
      later.connectToServer(running.Name());
      QVERIFY(later.waitForConnected(1000));
      later.write(&InstanceChannel::kAskByte, 1);
      QTRY_COMPARE(asked.count(), start);
      QTRY_VERIFY(later.bytesAvailable() > 0);
      char answer = 0;
      QVERIFY(later.getChar(&answer));
      QCOMPARE(answer, InstanceChannel::kAnswerByte);
    }
  }

  void aNameLeftByACrashedInstanceIsTakenOver() {
    const QString name = QStringLiteral("velmor-test-stale");
    const QByteArray path = QDir(QDir::tempPath()).filePath(name).toLocal8Bit();
    // A socket file nobody listens on, as a killed instance leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(QString::fromLocal8Bit(path)));

    InstanceChannel channel(name);
    QCOMPARE(channel.Claim(1000), InstanceChannel::Outcome::FirstInstance);
    QVERIFY(channel.HoldsName());
  }

  void aRunningInstanceThatDoesNotAnswerIsNotWaitedForLong() {
    QLocalServer silent;  // accepts, never answers
    QVERIFY(silent.listen(QStringLiteral("velmor-test-silent")));
    InstanceChannel later(silent.serverName());
    QElapsedTimer waited;
    waited.start();
    QCOMPARE(later.Claim(300), InstanceChannel::Outcome::NoAnswer);
    QVERIFY(!later.HoldsName());
    QVERIFY(waited.elapsed() < 5000);
  }
};

QTEST_MAIN(TestInstance)
#include "test_instance.moc"
