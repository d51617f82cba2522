#include "MessageBox.h"

namespace velmor {

const QString kMessageTitle = QStringLiteral("Velmor科技");

namespace {
MessageResponder& Responder() {
  static MessageResponder responder;
  return responder;
}

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

void SetMessageResponder(MessageResponder responder) { Responder() = std::move(responder); }

QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, MsgIcon icon,
                                        QMessageBox::StandardButtons buttons) {
  if (Responder()) return Responder()({kMessageTitle, text, icon, buttons});
  QMessageBox box(ToQtIcon(icon), kMessageTitle, text, buttons, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void ShowInfo(QWidget* parent, const QString& text) { ShowMessage(parent, text, MsgIcon::Information); }

void ShowError(QWidget* parent, const QString& text) { ShowMessage(parent, text, MsgIcon::Error); }

bool AskYesNo(QWidget* parent, const QString& text, MsgIcon icon) {
  return ShowMessage(parent, text, icon, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace velmor
