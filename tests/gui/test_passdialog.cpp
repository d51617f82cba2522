// The password window: its look, OK and Cancel, and a database component
// that asks through it when its file is enciphered, retrying while a
// password is given and never asking when silent.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>

#include "KrxDatabase.h"
#ifndef Q_MOC_RUN  // the message table is more than moc can read
#include "KrxException.h"
#endif
#include "KrxPassDialog.h"
#include "KrxQuery.h"
#include "TestSupport.h"

using velmor::TKrxPassDialog;

namespace {

// Types text key by key; characters outside ASCII come as key events that
// carry only their text, as an input method delivers them.
void TypeText(QWidget* widget, const QString& text) {
  for (QChar ch : text) {
    if (ch.unicode() < 0x80) QTest::keyClick(widget, ch.toLatin1());
    else QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

// Answers the password windows that come up, one answer per window in
// turn: a text is typed and OK clicked, no text means Cancel. Remembers
// what each window showed when it came up.
class PassDialogAnswers {
 public:
  explicit PassDialogAnswers(QList<std::optional<QString>> answers) : answers_(std::move(answers)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  int Shown() const { return shown_; }
  const QStringList& EditTextsOnShow() const { return editTexts_; }

 private:
  void Poll() {
    auto* dialog = qobject_cast<TKrxPassDialog*>(QApplication::activeModalWidget());
    // Each window is answered once; a later one may reuse the same address.
    if (dialog == nullptr || !dialog->isVisible() || dialog->property("answered").toBool()) return;
    dialog->setProperty("answered", true);
    editTexts_ << dialog->Pass->text();
    std::optional<QString> answer = shown_ < answers_.size() ? answers_[shown_] : std::nullopt;
    ++shown_;
    if (answer) {
      TypeText(dialog->Pass, *answer);
      QTest::mouseClick(dialog->cbOk, Qt::LeftButton);
    } else {
      QTest::mouseClick(dialog->cbCancel, Qt::LeftButton);
    }
  }

  QList<std::optional<QString>> answers_;
  QTimer timer_;
  int shown_ = 0;
  QStringList editTexts_;
};

QString MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const krx::EKrxException& e) {
    return QString::fromUtf8(e.what());
  }
  return QStringLiteral("no error");
}

const QString kPassword = QStringLiteral("开单Pass-7");

}  // namespace

class TestPassDialog : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void looksAsGiven() {
    TKrxPassDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Database authentication"));
    QCOMPARE(dialog.size(), QSize(216, 118));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());  // a dialog border: no resizing
    QVERIFY(dialog.isModal());
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY((dialog.frameGeometry().center() - screenCentre).manhattanLength() <= 2);

    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lbName")), dialog.lbName);
    QVERIFY(dialog.lbName->text().isEmpty());
    QVERIFY(dialog.lbName->alignment() & Qt::AlignHCenter);
    QCOMPARE(dialog.lbName->x(), dialog.width() - dialog.lbName->x() - dialog.lbName->width());

    QLabel* caption = nullptr;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->text() == QStringLiteral("Password:")) caption = label;
    }
    QVERIFY(caption != nullptr);
    QCOMPARE(caption->buddy(), dialog.Pass);

    QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("Pass")), dialog.Pass);
    QCOMPARE(dialog.Pass->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.Pass->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, dialog.Pass), int('*'));
    QVERIFY(dialog.Pass->text().isEmpty());
    // Beside its caption, on the same line.
    QVERIFY(dialog.Pass->geometry().left() > caption->geometry().right());
    QVERIFY(dialog.Pass->geometry().intersects(QRect(0, caption->y(), dialog.width(), caption->height())));

    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("cbOk")), dialog.cbOk);
    QCOMPARE(dialog.cbOk->text(), QStringLiteral("OK"));
    QVERIFY(dialog.cbOk->isDefault());
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("cbCancel")), dialog.cbCancel);
    QCOMPARE(dialog.cbCancel->text(), QStringLiteral("Cancel"));
    for (QWidget* control : QList<QWidget*>{dialog.lbName, caption, dialog.Pass, dialog.cbOk, dialog.cbCancel}) {
      QVERIFY2(dialog.rect().contains(control->geometry()), qPrintable(control->objectName()));
    }

    QTest::keyClicks(dialog.Pass, QStringLiteral("abc"));
    velmor::test::SaveScreenshot(&dialog);
  }

  void okAcceptsWithTheTypedTextCancelAndEnterAsExpected() {
    {
      TKrxPassDialog dialog;
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      TypeText(dialog.Pass, kPassword);
      QCOMPARE(dialog.Pass->text(), kPassword);
      QTest::mouseClick(dialog.cbOk, Qt::LeftButton);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    {
      TKrxPassDialog dialog;
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      QTest::keyClicks(dialog.Pass, QStringLiteral("x"));
      QTest::mouseClick(dialog.cbCancel, Qt::LeftButton);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    {
      // Enter in the edit is the default button.
      TKrxPassDialog dialog;
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      QTest::keyClicks(dialog.Pass, QStringLiteral("y"));
      QTest::keyClick(dialog.Pass, Qt::Key_Return);
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
  }

  void askingGivesTheTextOnlyOnOk() {
    QString password = QStringLiteral("before");
    {
      PassDialogAnswers answers({kPassword});
      QVERIFY(velmor::KrxAskPassword(password));
      QCOMPARE(answers.Shown(), 1);
      QCOMPARE(answers.EditTextsOnShow(), QStringList{QString()});
    }
    QCOMPARE(password, kPassword);
    PassDialogAnswers answers({std::nullopt});
    QVERIFY(!velmor::KrxAskPassword(password));
    QCOMPARE(password, kPassword);
  }

  void encipheredDatabaseOpensWithThePasswordTypedIntoTheWindow() {
    const std::string file = MakeEncipheredFile("ok.db");
    krx::TKrxDatabase db;
    Configure(db, "PASSOK", file);
    velmor::KrxUsePassDialog(db);
    // A wrong password asks again with an empty edit; the right one opens.
    PassDialogAnswers answers({QStringLiteral("wrong"), kPassword});
    db.Connect();
    QVERIFY(db.Connected());
    QCOMPARE(answers.Shown(), 2);
    QCOMPARE(answers.EditTextsOnShow(), (QStringList{QString(), QString()}));
    QCOMPARE(QString::fromStdString(db.Password()), kPassword);

    krx::TKrxQuery q("PassOkQuery");
    q.SetDatabaseName("PASSOK");
    q.SetSQLText("select fname from cqsecret");
    q.Open();
    QVERIFY(!q.Eof());
    QCOMPARE(QString::fromStdString(q.Fields(0).AsString()), QStringLiteral("机密电缆"));
    q.Close();
  }

  void cancelOrSilenceLeavesTheEnginesError() {
    const std::string file = MakeEncipheredFile("cancel.db");
    const QString refused = QStringLiteral("Cannot open database because incorrect password - Native error: 30445");
    {
      krx::TKrxDatabase db;
      Configure(db, "PASSCANCEL", file);
      velmor::KrxUsePassDialog(db);
      PassDialogAnswers answers({QStringLiteral("wrong"), std::nullopt});
      QCOMPARE(MessageOf([&] { db.Connect(); }), refused);
      QVERIFY(!db.Connected());
      QCOMPARE(answers.Shown(), 2);
    }
    {
      krx::TKrxDatabase db;
      Configure(db, "PASSSILENT", file);
      db.SetSilentMode(true);
      velmor::KrxUsePassDialog(db);
      PassDialogAnswers answers({kPassword});
      QCOMPARE(MessageOf([&] { db.Connect(); }), refused);
      QVERIFY(!db.Connected());
      QTest::qWait(50);
      QCOMPARE(answers.Shown(), 0);
    }
  }

 private:
  void Configure(krx::TKrxDatabase& db, const std::string& alias, const std::string& file) {
    db.SetDatabaseName(alias);
    db.SetDatabaseFileName(file);
    db.SetCipherID(5);
  }

  std::string MakeEncipheredFile(const QString& name) {
    const std::string file = dir_.filePath(name).toStdString();
    krx::TKrxDatabase maker;
    maker.SetDatabaseName("PASSMAKER");
    maker.SetDatabaseFileName(file);
    maker.SetCipherID(5);
    maker.SetPassword(kPassword.toStdString());
    maker.CreateDataBase();
    maker.Connect();
    krx::TKrxQuery q("PassMakerQuery");
    q.SetDatabaseName("PASSMAKER");
    q.SetSQLText("create table cqsecret(fname varchar(40))");
    q.ExecSQL();
    q.SetSQLText("insert into cqsecret values ('机密电缆')");
    q.ExecSQL();
    maker.Disconnect();
    return file;
  }

  QTemporaryDir dir_;
};

QTEST_MAIN(TestPassDialog)
#include "test_passdialog.moc"
