// The single-instance guard. It runs before anything else of the program:
// a start that finds a running instance asks it to bring its main window
// forward and then ends without showing a window or the login.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "InstanceChannel.h"

// The name of the instance channel, shared by every start of the program.
extern const QString kInstanceName;

class TMultInst : public QObject {
  Q_OBJECT

 public:
  // How long a later start waits for the running instance's answer.
  static constexpr int kAnswerTimeoutMs = 5000;

  explicit TMultInst(QObject* parent = nullptr, const QString& name = kInstanceName);

  // Looks for a running instance and asks it to come forward; takes the
  // name when there is none.
  velmor::InstanceChannel::Outcome Run(int answerTimeoutMs = kAnswerTimeoutMs);

  // The window that comes forward when a later start asks.
  void SetMainWindow(QWidget* window) { mainWindow_ = window; }

 private:
  void BringMainWindowForward();

  velmor::InstanceChannel channel_;
  QPointer<QWidget> mainWindow_;
};

// Restores the window when it is minimised, otherwise raises it, and
// activates it.
void BringWindowForward(QWidget* window);

// The notice a start shows when the running instance does not answer.
extern const QString kNoAnswerMessage;
