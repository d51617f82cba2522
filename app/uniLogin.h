// The login window shown before the main window can be reached, and the
// password digest it shares with the password change of the settings window.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QString>

#include <functional>

class QLineEdit;

// The MD5 digest of the text's bytes in the national code page (GB18030),
// 32 lower-case hexadecimal digits. Only digests are stored and compared.
QString PasswordDigest(const QString& text);

// How the start-up login is run: null (the default) shows TFRMLOGIN modal.
// A window test that shows the main window answers the login with its own
// runner instead of a person typing; true lets the user in.
using LoginRunner = std::function<bool(QWidget* parent)>;
void SetLoginRunner(LoginRunner runner);
// Runs the login: the runner when one is set, else the window.
bool RunLogin(QWidget* parent);

// A label that acts as a button: a hand cursor and a click signal.
class TClickLabel : public QLabel {
  Q_OBJECT

 public:
  TClickLabel(const QString& text, QWidget* parent);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class TFRMLOGIN : public QDialog {
  Q_OBJECT

 public:
  explicit TFRMLOGIN(QWidget* parent = nullptr);

  QLineEdit* edUser;
  QLineEdit* edPassword;
  QLabel* Label4;
  QLabel* lver;
  TClickLabel* btnLogin;
  TClickLabel* btnclose;
  QLabel* ilogin;

  // Checks the typed password against the stored digest, read afresh; the
  // window closes accepted only when they match.
  void btnLoginClick();
  // Leaves without logging in: the caller ends the program.
  void btncloseClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void FormShow();
};
