// The program entry: the single-instance guard first, then the data module
// the notice window and the main window, then the message loop.
#include "MessageBox.h"
#include "MultInst.h"
#include "VelmorApplication.h"
#include "uniData.h"
#include "uniMain.h"
#include "uniShowMessage.h"

int main(int argc, char* argv[]) {
  TVelmorApplication app(argc, argv);

  TMultInst guard;
  switch (guard.Run()) {
    case velmor::InstanceChannel::Outcome::AnsweredByRunning: return 0;
    case velmor::InstanceChannel::Outcome::NoAnswer:
      velmor::ShowError(nullptr, kNoAnswerMessage);
      return 1;
    case velmor::InstanceChannel::Outcome::FirstInstance: break;
  }

  TfrmData data;
  TfrmSHOWMESSAGE notice;  // kept ready, hidden, for notices
  TfrmMain main;
  guard.SetMainWindow(&main);
  main.showMaximized();
  return app.exec();
}
