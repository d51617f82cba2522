// The window that asks for a database file's password, and the link that
// lets a database component show it when its file turns out to be
// enciphered. The engine knows no windows: it only calls its OnPassword
// handler, which KrxUsePassDialog fills in.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace krx {
class TKrxDatabase;
}

namespace velmor {

class TKrxPassDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TKrxPassDialog(QWidget* parent = nullptr);

  QLabel* lbName = nullptr;  // centred across the top, empty unless set
  QLineEdit* Pass = nullptr;  // the password, masked with '*'
  QPushButton* cbOk = nullptr;
  QPushButton* cbCancel = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};

// Shows the window with an empty edit; true when it was closed with OK, the
// typed text then in password.
bool KrxAskPassword(QString& password, QWidget* parent = nullptr);

// Makes the database ask through the window when opening fails for want of
// the right password: OK stores the text as its Password and the open is
// tried again, Cancel lets the error stand. A silent database never shows
// the window.
void KrxUsePassDialog(krx::TKrxDatabase& database);

}  // namespace velmor
