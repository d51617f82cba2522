#include "MultInst.h"

const QString kInstanceName = QStringLiteral("{8E752146-66E2-4D32-840D-4D083D0D4383}");

const QString kNoAnswerMessage =
    QStringLiteral("Velmor电缆销售开单系统已在运行，但没有应答。\n请关闭正在运行的程序后再启动。");

TMultInst::TMultInst(QObject* parent, const QString& name) : QObject(parent), channel_(name) {
  connect(&channel_, &velmor::InstanceChannel::InstanceAsked, this, &TMultInst::BringMainWindowForward);
}

velmor::InstanceChannel::Outcome TMultInst::Run(int answerTimeoutMs) { return channel_.Claim(answerTimeoutMs); }

void TMultInst::BringMainWindowForward() { BringWindowForward(mainWindow_); }

void BringWindowForward(QWidget* window) {
  if (!window) return;
  if (window->isMinimized()) {
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  }
  window->show();
  window->raise();
  window->activateWindow();
}
