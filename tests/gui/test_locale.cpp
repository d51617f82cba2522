// The short date format setting: its default, keeping a format, refusing
// unusable ones, surviving a damaged or unwritable settings file.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "LocaleSettings.h"

using velmor::FormatShortDate;
using velmor::GetShortDateFormat;
using velmor::LocaleSettingsPath;
using velmor::SetShortDateFormat;

class TestLocale : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir config_;

 private slots:
  void initTestCase() {
    // A configuration folder of this test's own, never the user's.
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
    QVERIFY(LocaleSettingsPath().startsWith(config_.path()));
  }

  void init() {
    QFile::remove(LocaleSettingsPath());
    QDir(config_.path()).removeRecursively();
    QDir().mkpath(config_.path());
  }

  void defaultIsTheChineseLocalesShortDate() {
    QCOMPARE(GetShortDateFormat(), QStringLiteral("yyyy/M/d"));
    QCOMPARE(FormatShortDate(QDate(2024, 3, 5)), QStringLiteral("2024/3/5"));
  }

  void storedFormatIsKeptInTheSettingsFile() {
    QVERIFY(SetShortDateFormat("yyyy-MM-dd"));
    QCOMPARE(GetShortDateFormat(), QStringLiteral("yyyy-MM-dd"));
    QCOMPARE(FormatShortDate(QDate(2024, 3, 5)), QStringLiteral("2024-03-05"));
    QFile file(LocaleSettingsPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("yyyy-MM-dd"));

    QVERIFY(SetShortDateFormat("dd.MM.yyyy"));
    QCOMPARE(GetShortDateFormat(), QStringLiteral("dd.MM.yyyy"));
  }

  void unusableFormatsAreRefusedAndTheOldOneStays_data() {
    QTest::addColumn<QString>("format");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("   ");
    QTest::newRow("no date part") << QStringLiteral("hh:mm");
    QTest::newRow("line break") << QStringLiteral("yyyy\nMM-dd");
    QTest::newRow("too long") << QStringLiteral("yyyy-MM-dd") + QString(71, u' ');
  }
  void unusableFormatsAreRefusedAndTheOldOneStays() {
    QFETCH(QString, format);
    QVERIFY(SetShortDateFormat("dd.MM.yyyy"));
    QVERIFY(!SetShortDateFormat(format));
    QCOMPARE(GetShortDateFormat(), QStringLiteral("dd.MM.yyyy"));
  }

  void longestAcceptedFormat() {
    const QString date = QStringLiteral("yyyy年M月d日");
    const QString format = date + QString(80 - date.size(), u' ');
    QCOMPARE(format.size(), 80);
    QVERIFY(SetShortDateFormat(format));
    QCOMPARE(GetShortDateFormat(), format);
  }

  void damagedSettingFallsBackToTheDefault() {
    QDir().mkpath(QFileInfo(LocaleSettingsPath()).absolutePath());
    QFile file(LocaleSettingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\nShortDateFormat=\n");
    file.close();
    QCOMPARE(GetShortDateFormat(), QStringLiteral("yyyy/M/d"));
  }

  void unwritableSettingIsReportedAsFailure() {
    // A plain file where the settings folder should be.
    const QString folder = QFileInfo(LocaleSettingsPath()).absolutePath();
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!SetShortDateFormat("yyyy-MM-dd"));
    QCOMPARE(GetShortDateFormat(), QStringLiteral("yyyy/M/d"));
    QFile::remove(folder);
  }
};

QTEST_MAIN(TestLocale)
#include "test_locale.moc"
