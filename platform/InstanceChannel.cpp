#include "InstanceChannel.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace velmor {

namespace {
constexpr int kConnectTimeoutMs = 1000;
}

InstanceChannel::InstanceChannel(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

InstanceChannel::~InstanceChannel() {
  if (server_) server_->close();
}

bool InstanceChannel::HoldsName() const { return server_ && server_->isListening(); }

InstanceChannel::Outcome InstanceChannel::Claim(int answerTimeoutMs) {
  // Two starts at the same moment may both find nobody and race for the
  // name; the loser asks the winner on its second round.
  for (int round = 0; round < 2; ++round) {
    switch (AskRunningInstance(answerTimeoutMs)) {
      case AskResult::Answered: return Outcome::AnsweredByRunning;
      case AskResult::NoAnswer: return Outcome::NoAnswer;
      case AskResult::NobodyListens: break;
    }
    if (Listen()) return Outcome::FirstInstance;
  }
  return Outcome::NoAnswer;
}

InstanceChannel::AskResult InstanceChannel::AskRunningInstance(int answerTimeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kConnectTimeoutMs)) return AskResult::NobodyListens;
  socket.write(&kAskByte, 1);
  socket.flush();
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < answerTimeoutMs) {
    const int left = answerTimeoutMs - static_cast<int>(waited.elapsed());
    if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(qMax(1, left))) {
      if (socket.state() != QLocalSocket::ConnectedState) break;
      continue;
    }
    char answer = 0;
    while (socket.getChar(&answer)) {
      if (answer == kAnswerByte) return AskResult::Answered;
    }
  }
  return AskResult::NoAnswer;
}

bool InstanceChannel::Listen() {
  auto server = std::make_unique<QLocalServer>();
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(name_)) {
    if (server->serverError() != QAbstractSocket::AddressInUseError) return false;
    // The name is taken. If nobody answers on it, it was left behind by an
    // instance that ended without cleaning up: clear it and take it.
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(kConnectTimeoutMs)) return false;
    QLocalServer::removeServer(name_);
    if (!server->listen(name_)) return false;
  }
  server_ = server.release();
  server_->setParent(this);
  connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::AnswerPendingConnections);
  return true;
}

void InstanceChannel::AnswerPendingConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto answerIfAsked = [this, socket] {
      char request = 0;
      while (socket->getChar(&request)) {
        if (request != kAskByte) continue;
        emit InstanceAsked();
        socket->write(&kAnswerByte, 1);
        socket->flush();
        socket->disconnectFromServer();
        return;
      }
    };
    connect(socket, &QLocalSocket::readyRead, this, answerIfAsked);
    if (socket->bytesAvailable() > 0) answerIfAsked();
  }
}

}  // namespace velmor
