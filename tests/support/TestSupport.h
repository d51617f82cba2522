// Helpers shared by the window tests.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include "MessageBox.h"

class QWidget;

namespace velmor::test {

// Saves a PNG of the widget into $SCREENSHOT_DIR (when set), named after the
// widget's class: "TfrmMain.png", or "TfrmSaleBill-filled.png" with a suffix.
void SaveScreenshot(QWidget* widget, const QString& suffix = QString());

// Puts a fresh copy of the program directory's initial database at
// data/cpbill beside the test program, where the main window opens it.
// Returns false when the build laid out none.
bool InstallInitialDatabase();

// Answers every message box with the given buttons in turn (the last one
// repeats) and remembers the texts asked, while it lives.
class MessageAnswers {
 public:
  explicit MessageAnswers(QList<QMessageBox::StandardButton> answers = {QMessageBox::Ok});
  ~MessageAnswers();
  const QList<MessageRequest>& Asked() const { return asked_; }
  QStringList Texts() const;

 private:
  QList<QMessageBox::StandardButton> answers_;
  QList<MessageRequest> asked_;
};

}  // namespace velmor::test
