// Backup and restore of the database file on a fresh copy of the initial
// database: the proposed name, no overwriting, failures reported, and a
// restore that never leaves the program without its database.
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "KrxDatabase.h"
#include "KrxQuery.h"
#include "LocaleSettings.h"
#include "ShellWindowsDatabase.h"
#include "TestSupport.h"
#include "uniBackup.h"

using velmor::test::MessageAnswers;

namespace {

// Answers the file dialogs: the backup dialog accepts `target` (empty: the
// proposed name unchanged), the restore dialog gives `source`.
struct ChosenFiles {
  explicit ChosenFiles(QString target = QString(), QString source = QString()) {
    SetBackupFileDialogs({[this, target](QWidget*, const QString& proposed) {
                            proposedSeen = proposed;
                            return target.isEmpty() ? proposed : target;
                          },
                          [source](QWidget*) { return source; }});
  }
  ~ChosenFiles() { SetBackupFileDialogs({}); }
  QString proposedSeen;
};

// The user name stored in a database file, read on a component of its own.
QString UserNameIn(const QString& file) {
  krx::TKrxDatabase db;
  db.SetDatabaseName("BACKUPCHECK");
  db.SetDatabaseFileName(file.toStdString());
  db.Connect();
  krx::TKrxQuery query;
  query.SetDatabaseName("BACKUPCHECK");
  const QString name = ReadFirstValue(query, QStringLiteral("select fparameter from pisysparameter where fname='用户名'"),
                                      "fparameter");
  db.Disconnect();
  return name;
}

void SetUserName(shelltest::ShellDatabase& db, const QString& name) {
  db.Exec(QStringLiteral("update pisysparameter set fparameter=") + SqlQuoted(name) + QStringLiteral(" where fname='用户名'"));
}

}  // namespace

class TestBackup : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  }

  void proposedNameIsTodayInTheShortDateFormat() {
    const struct {
      const char* format;
      QString name;
    } kCases[] = {
        {"yyyy-MM-dd", QStringLiteral("Velmor开单") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))},
        {"yyyy/M/d", QStringLiteral("Velmor开单") + QDate::currentDate().toString(QStringLiteral("yyyy-M-d"))},
    };
    for (const auto& c : kCases) {
      QVERIFY(velmor::SetShortDateFormat(QString::fromLatin1(c.format)));
      QCOMPARE(ProposedBackupName(), c.name);
    }
  }

  void backupTwiceOnOneDayIsRefusedTheSecondTime() {
    OPEN_SHELL_DATABASE(db);
    SetUserName(db, QStringLiteral("第一次"));
    ChosenFiles files;
    {
      MessageAnswers answers;
      nbackupClick(nullptr);
      QVERIFY(answers.Asked().isEmpty());
    }
    const QString backup = files.proposedSeen;
    QCOMPARE(QFileInfo(backup).fileName(), ProposedBackupName() + QStringLiteral(".QBX"));
    QCOMPARE(QFileInfo(backup).absolutePath(), QFileInfo(db.AppDir()).absolutePath());
    QVERIFY(db.data.KrxDB.Connected());
    SetUserName(db, QStringLiteral("第二次"));
    const QByteArray firstCopy = [&] {
      QFile f(backup);
      f.open(QIODevice::ReadOnly);
      return f.readAll();
    }();
    {
      MessageAnswers answers;
      nbackupClick(nullptr);
      QCOMPARE(answers.Texts(), QStringList{QStringLiteral("文件已存在，备份失败。")});
      QCOMPARE(answers.Asked().first().icon, velmor::MsgIcon::Error);
    }
    QCOMPARE(files.proposedSeen, backup);
    QFile f(backup);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), firstCopy);
    f.close();
    QVERIFY(db.data.KrxDB.Connected());
    QCOMPARE(db.Parameter(QStringLiteral("用户名")), QStringLiteral("第二次"));
    QCOMPARE(UserNameIn(backup), QStringLiteral("第一次"));
  }

  void failedCopyIsReportedAndTheDatabaseStaysConnected() {
    OPEN_SHELL_DATABASE(db);
    const QString target = db.AppDir() + QStringLiteral("no-such-folder/b.QBX");
    ChosenFiles files(target);
    MessageAnswers answers;
    nbackupClick(nullptr);
    QCOMPARE(answers.Texts().size(), 1);
    QVERIFY(answers.Texts().first().startsWith(QStringLiteral("复制数据库文件失败，备份失败。")));
    QVERIFY(!QFile::exists(target));
    QVERIFY(db.data.KrxDB.Connected());
    QVERIFY(!db.Parameter(QStringLiteral("用户名")).isEmpty());
  }

  void restoreBringsBackTheOlderFile() {
    OPEN_SHELL_DATABASE(db);
    SetUserName(db, QStringLiteral("备份前"));
    const QString backup = db.AppDir() + QStringLiteral("old.QBX");
    {
      ChosenFiles files(backup);
      MessageAnswers answers;
      nbackupClick(nullptr);
      QVERIFY(answers.Asked().isEmpty());
    }
    SetUserName(db, QStringLiteral("备份后"));
    ChosenFiles files(QString(), backup);
    MessageAnswers answers;
    nrestoreClick(nullptr);
    QVERIFY(answers.Asked().isEmpty());
    QVERIFY(db.data.KrxDB.Connected());
    QCOMPARE(db.Parameter(QStringLiteral("用户名")), QStringLiteral("备份前"));
    QVERIFY(QFile::exists(backup));
    QVERIFY(!QFile::exists(db.DatabaseFile() + QStringLiteral(".previous")));
    QVERIFY(!QFile::exists(db.DatabaseFile() + QStringLiteral(".restore")));
  }

  void restoreRefusesAFileThatIsNoDatabase() {
    OPEN_SHELL_DATABASE(db);
    SetUserName(db, QStringLiteral("现在的"));
    const QString junk = db.AppDir() + QStringLiteral("junk.QBX");
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    const qint64 sizeBefore = QFileInfo(db.DatabaseFile()).size();
    ChosenFiles files(QString(), junk);
    MessageAnswers answers;
    nrestoreClick(nullptr);
    QCOMPARE(answers.Texts().size(), 1);
    QVERIFY(answers.Texts().first().startsWith(QStringLiteral("所选文件不是本系统的数据库文件，恢复失败。")));
    QVERIFY(db.data.KrxDB.Connected());
    QCOMPARE(db.Parameter(QStringLiteral("用户名")), QStringLiteral("现在的"));
    QVERIFY(QFileInfo(db.DatabaseFile()).size() >= sizeBefore);
    QVERIFY(!QFile::exists(db.DatabaseFile() + QStringLiteral(".restore")));
  }

  void restoreOfAMissingFileOrCancelDoesNothing() {
    OPEN_SHELL_DATABASE(db);
    SetUserName(db, QStringLiteral("不变"));
    for (const QString& source : {QString(), db.AppDir() + QStringLiteral("missing.QBX")}) {
      ChosenFiles files(QString(), source);
      MessageAnswers answers;
      nrestoreClick(nullptr);
      QVERIFY(answers.Asked().isEmpty());
      QVERIFY(db.data.KrxDB.Connected());
      QCOMPARE(db.Parameter(QStringLiteral("用户名")), QStringLiteral("不变"));
    }
  }
};

QTEST_MAIN(TestBackup)
#include "test_backup.moc"
