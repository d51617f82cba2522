// The login window and the user and password change of the settings window,
// on a fresh copy of the initial database.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "ShellWindowsDatabase.h"
#include "TestSupport.h"
#include "UNISYSSETTING.h"
#include "uniLogin.h"

using velmor::test::MessageAnswers;

namespace {

void ShowActive(QWidget* window) {
  window->show();
  window->activateWindow();
  QVERIFY(QTest::qWaitForWindowExposed(window));
}

// Types the password and presses Enter, the way a user logs in.
void EnterPassword(TFRMLOGIN& login, const QString& password) {
  login.edPassword->setText(password);
  QTest::keyClick(login.edPassword, Qt::Key_Return);
}

}  // namespace

class TestLogin : public QObject {
  Q_OBJECT

 private slots:
  void digestIsMd5OfTheNationalCodePageBytes() {
    const struct {
      const char* text;
      const char* digest;
    } kCases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"密码", "d2293e30f0c964c5f6242486aa8a483c"},  // GB18030 C3DC C2EB, not the UTF-8 bytes
        {" pw ", "fb2e39e3717f21ab7e420b76f06d5e3a"},
    };
    for (const auto& c : kCases) QCOMPARE(PasswordDigest(QString::fromUtf8(c.text)), QString::fromLatin1(c.digest));
  }

  void emptyPasswordLogsInWithEnter() {
    OPEN_SHELL_DATABASE(db);
    MessageAnswers answers;
    TFRMLOGIN login;
    ShowActive(&login);
    QCOMPARE(login.size(), QSize(379, 212));
    QCOMPARE(login.windowTitle(), QStringLiteral("登录  -  行业软件 专业品质"));
    QVERIFY(login.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(login.edUser->text(), db.Parameter(QStringLiteral("用户名")));
    QVERIFY(!login.edUser->isEnabled());
    QCOMPARE(login.lver->text(), QStringLiteral("QBX V2.0"));
    QCOMPARE(login.edPassword->echoMode(), QLineEdit::Password);
    velmor::test::SaveScreenshot(&login);
    EnterPassword(login, QString());
    QCOMPARE(login.result(), int(QDialog::Accepted));
    QVERIFY(answers.Asked().isEmpty());
  }

  void wrongPasswordIsRefusedAndTheWindowStays() {
    OPEN_SHELL_DATABASE(db);
    MessageAnswers answers;
    TFRMLOGIN login;
    ShowActive(&login);
    login.edPassword->setText(QStringLiteral(" "));  // a blank is not the empty password
    QTest::mouseClick(login.btnLogin, Qt::LeftButton);
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral(" 密码不正确. ")});
    QCOMPARE(answers.Asked().first().icon, velmor::MsgIcon::Error);
    QCOMPARE(answers.Asked().first().title, QStringLiteral("Velmor科技"));
    QVERIFY(login.isVisible());
    QCOMPARE(login.result(), int(QDialog::Rejected));
  }

  void exitLeavesWithoutLoggingIn() {
    OPEN_SHELL_DATABASE(db);
    MessageAnswers answers;
    TFRMLOGIN login;
    ShowActive(&login);
    QTest::mouseClick(login.btnclose, Qt::LeftButton);
    QVERIFY(!login.isVisible());
    QCOMPARE(login.result(), int(QDialog::Rejected));
    QVERIFY(answers.Asked().isEmpty());
  }

  void changeRefusesWithTheRightMessageAndFocus() {
    OPEN_SHELL_DATABASE(db);
    const struct {
      const char* user;
      const char* oldPassword;
      const char* new1;
      const char* new2;
      const char* message;
      const char* focus;
    } kCases[] = {
        {"  ", "", "a", "a", "必须输入用户名称。", "edusername"},
        {"张三", "", "abc", "abd", "两次输入的密码不相同，请重新输入。", "fnewpw1"},
        {"张三", "x", "abc", "abc", "原密码有误，请正确输入原来的密码。", "foldpw"},
    };
    const QString digestBefore = db.Parameter(QStringLiteral("密码"));
    const QString userBefore = db.Parameter(QStringLiteral("用户名"));
    for (const auto& c : kCases) {
      MessageAnswers answers;
      TFRMSYSSETTING form;
      ShowActive(&form);
      QVERIFY(QTest::qWaitForWindowActive(&form));
      form.pc->setCurrentWidget(form.tslogin);
      form.edusername->setText(QString::fromUtf8(c.user));
      form.foldpw->setText(QString::fromUtf8(c.oldPassword));
      form.fnewpw1->setText(QString::fromUtf8(c.new1));
      form.fnewpw2->setText(QString::fromUtf8(c.new2));
      QTest::mouseClick(form.sbmodiftpassword, Qt::LeftButton);
      QCOMPARE(answers.Texts(), QStringList{QString::fromUtf8(c.message)});
      QCOMPARE(answers.Asked().first().icon, velmor::MsgIcon::Error);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.focus));
      QVERIFY(form.lHINT->text().isEmpty());
    }
    QCOMPARE(db.Parameter(QStringLiteral("密码")), digestBefore);
    QCOMPARE(db.Parameter(QStringLiteral("用户名")), userBefore);
  }

  void changedPasswordIsStoredTrimmedAndCheckedAtOnce() {
    OPEN_SHELL_DATABASE(db);
    {
      MessageAnswers answers;
      TFRMSYSSETTING form;
      ShowActive(&form);
      form.edusername->setText(QStringLiteral("  O'Brien 王 "));
      form.foldpw->setText(QString());
      form.fnewpw1->setText(QStringLiteral(" pw "));
      form.fnewpw2->setText(QStringLiteral("pw"));
      QTest::mouseClick(form.sbmodiftpassword, Qt::LeftButton);
      QVERIFY(answers.Asked().isEmpty());
      QCOMPARE(form.lHINT->text(), QStringLiteral("更改【用户和密码】成功"));
    }
    QCOMPARE(db.Parameter(QStringLiteral("密码")), PasswordDigest(QStringLiteral("pw")));
    QCOMPARE(SysParas.Password, PasswordDigest(QStringLiteral("pw")));
    QCOMPARE(db.Parameter(QStringLiteral("用户名")), QStringLiteral("O'Brien 王"));
    QCOMPARE(SysParas.UserName, QStringLiteral("O'Brien 王"));

    // The login reads the digest afresh and takes the text as typed.
    MessageAnswers answers;
    TFRMLOGIN login;
    ShowActive(&login);
    QCOMPARE(login.edUser->text(), QStringLiteral("O'Brien 王"));
    for (const char* wrong : {"", " pw "}) {
      EnterPassword(login, QString::fromLatin1(wrong));
      QVERIFY(login.isVisible());
    }
    QCOMPARE(answers.Texts().size(), 2);
    EnterPassword(login, QStringLiteral("pw"));
    QCOMPARE(login.result(), int(QDialog::Accepted));

    // Back to the empty password, which then needs the new old one.
    MessageAnswers again;
    TFRMSYSSETTING form;
    ShowActive(&form);
    form.foldpw->setText(QStringLiteral("pw"));
    QTest::mouseClick(form.sbmodiftpassword, Qt::LeftButton);
    QVERIFY(again.Asked().isEmpty());
    QCOMPARE(db.Parameter(QStringLiteral("密码")), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
  }
};

QTEST_MAIN(TestLogin)
#include "test_login.moc"
