#include "KrxPassDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>

#include "KrxDatabase.h"

namespace velmor {

namespace {

constexpr int kClientWidth = 216;
constexpr int kClientHeight = 118;

// The edit masks with '*' whatever the platform style would draw.
class AsteriskMaskStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

TKrxPassDialog::TKrxPassDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("KrxPassDialog"));
  setWindowTitle(QStringLiteral("Database authentication"));
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);

  lbName = new QLabel(this);
  lbName->setObjectName(QStringLiteral("lbName"));
  lbName->setAlignment(Qt::AlignCenter);
  lbName->setGeometry(8, 10, kClientWidth - 16, 16);

  auto* passwordLabel = new QLabel(QStringLiteral("Password:"), this);
  passwordLabel->setObjectName(QStringLiteral("lbPassword"));
  passwordLabel->setGeometry(14, 40, 62, 21);

  Pass = new QLineEdit(this);
  Pass->setObjectName(QStringLiteral("Pass"));
  Pass->setEchoMode(QLineEdit::Password);
  auto* maskStyle = new AsteriskMaskStyle;
  maskStyle->setParent(Pass);
  Pass->setStyle(maskStyle);
  Pass->setGeometry(78, 40, 124, 21);
  passwordLabel->setBuddy(Pass);

  cbOk = new QPushButton(QStringLiteral("OK"), this);
  cbOk->setObjectName(QStringLiteral("cbOk"));
  cbOk->setDefault(true);
  cbOk->setGeometry(26, 80, 75, 25);
  connect(cbOk, &QPushButton::clicked, this, &QDialog::accept);

  cbCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cbCancel->setObjectName(QStringLiteral("cbCancel"));
  cbCancel->setGeometry(115, 80, 75, 25);
  connect(cbCancel, &QPushButton::clicked, this, &QDialog::reject);

  Pass->setFocus();
}

void TKrxPassDialog::showEvent(QShowEvent* event) {
  // Centred on the screen, not on whatever window happens to be active.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    // By the frame, where the frame is known already.
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  QDialog::showEvent(event);
}

bool KrxAskPassword(QString& password, QWidget* parent) {
  TKrxPassDialog dialog(parent);
  dialog.Pass->clear();
  if (dialog.exec() != QDialog::Accepted) return false;
  password = dialog.Pass->text();
  return true;
}

void KrxUsePassDialog(krx::TKrxDatabase& database) {
  database.OnPassword = [](krx::TKrxDatabase& target) {
    if (target.SilentMode()) return false;
    QString password;
    if (!KrxAskPassword(password)) return false;
    target.SetPassword(password.toStdString());
    return true;
  };
}

}  // namespace velmor
