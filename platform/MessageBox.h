// Every message box of the program goes through these few calls, titled
// "Velmor科技". A test installs a responder to answer them without a person
// and to see what was asked.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace velmor {

enum class MsgIcon { None, Information, Warning, Error, Question };

struct MessageRequest {
  QString title;
  QString text;
  MsgIcon icon;
  QMessageBox::StandardButtons buttons;
};

using MessageResponder = std::function<QMessageBox::StandardButton(const MessageRequest&)>;

// Replaces the dialog by the responder (nullptr restores the dialog).
void SetMessageResponder(MessageResponder responder);

extern const QString kMessageTitle;  // "Velmor科技"

QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, MsgIcon icon,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// A notice with the information icon.
void ShowInfo(QWidget* parent, const QString& text);
// A refusal or failure with the error icon.
void ShowError(QWidget* parent, const QString& text);
// A question with Yes and No; true only on Yes.
bool AskYesNo(QWidget* parent, const QString& text, MsgIcon icon = MsgIcon::Question);

}  // namespace velmor
