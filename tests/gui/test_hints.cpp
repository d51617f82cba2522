// The friendly hints of the status bar drawn from the hint table.
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "KrxDatabase.h"
#ifndef Q_MOC_RUN  // the message table is more than moc can read
#include "KrxException.h"
#endif
#include "KrxQuery.h"
#include "uniData.h"
#include "uniHints.h"

namespace {

constexpr int32_t kNotExecutableYet = 22004;
constexpr int kDraws = 300;

// A database with a hint table holding the given numbers, hint n reading
// "提示n".
class HintDatabase {
 public:
  explicit HintDatabase(const QList<int>& numbers) {
    data.KrxDB.SetDatabaseFileName((dir.path() + "/cpbill").toStdString());
    data.KrxDB.CreateDataBase();
    data.KrxDB.Connect();
    Exec("CREATE TABLE cqfriendhint(finterid Integer,fhint char(200))");
    for (int n : numbers) Exec(QString("insert into cqfriendhint values(%1,'%2')").arg(n).arg(Text(n)));
  }
  static QString Text(int number) { return QString("提示%1").arg(number); }
  void Exec(const QString& sql) {
    data.KrxQ1.Close();
    data.KrxQ1.SetSQLText(sql.toUtf8().toStdString());
    data.KrxQ1.ExecSQL();
  }
  QSet<QString> Draws() {
    QSet<QString> seen;
    for (int i = 0; i < kDraws; ++i) seen.insert(GetFriendlyHint());
    return seen;
  }

  QTemporaryDir dir;
  TfrmData data;
};

std::unique_ptr<HintDatabase> OpenHintDatabase(const QList<int>& numbers, QString* why) {
  try {
    return std::make_unique<HintDatabase>(numbers);
  } catch (const krx::EKrxException& error) {
    if (error.NativeError() != kNotExecutableYet) throw;
    *why = QString::fromStdString(error.what());
    return nullptr;
  }
}

#define OPEN_HINT_DATABASE(name, numbers)                                   \
  QString why;                                                             \
  std::unique_ptr<HintDatabase> name##Holder = OpenHintDatabase(numbers, &why); \
  if (!name##Holder) QSKIP(qPrintable(why));                               \
  HintDatabase& name = *name##Holder

}  // namespace

class TestHints : public QObject {
  Q_OBJECT

 private slots:
  void withoutGapsEveryDrawIsOneOfTheTexts() {
    OPEN_HINT_DATABASE(hints, (QList<int>{1, 2, 3, 4, 5}));
    const QSet<QString> expected{HintDatabase::Text(1), HintDatabase::Text(2), HintDatabase::Text(3),
                                 HintDatabase::Text(4), HintDatabase::Text(5)};
    QCOMPARE(hints.Draws(), expected);
  }

  void aGapDrawnGivesEmptyText() {
    // Four rows: numbers 1 to 4 are drawn, 3 has no row, 5 is never drawn.
    OPEN_HINT_DATABASE(hints, (QList<int>{1, 2, 4, 5}));
    const QSet<QString> expected{HintDatabase::Text(1), HintDatabase::Text(2), QString(), HintDatabase::Text(4)};
    QCOMPARE(hints.Draws(), expected);
  }

  void anEmptyTableGivesEmptyText() {
    OPEN_HINT_DATABASE(hints, QList<int>{});
    QCOMPARE(GetFriendlyHint(), QString());
    QVERIFY(!hints.data.KrxHINT.Active());
  }

  void aNumberedHintIsTrimmedAndAMissingOneEmpty() {
    OPEN_HINT_DATABASE(hints, QList<int>{1});
    hints.Exec("insert into cqfriendhint values(2,'  别忘了备份 ''数据''  ')");
    QCOMPARE(FriendlyHintNumbered(2), QString("别忘了备份 '数据'"));
    QCOMPARE(FriendlyHintNumbered(1), HintDatabase::Text(1));
    QCOMPARE(FriendlyHintNumbered(7), QString());
    QVERIFY(!hints.data.KrxHINT.Active());
  }
};

QTEST_MAIN(TestHints)
#include "test_hints.moc"
