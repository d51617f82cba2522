// One running instance per user session. The first start takes a local
// socket of a fixed name (it plays the part of a named mutex); a later start
// connects to it, sends its request and waits for the answer, so that the
// running instance can bring its window forward before the later one ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace velmor {

class InstanceChannel : public QObject {
  Q_OBJECT

 public:
  enum class Outcome {
    FirstInstance,      // nobody held the name; this instance now holds it
    AnsweredByRunning,  // a running instance received the request and answered
    NoAnswer,           // a running instance accepted but did not answer in time
  };

  // The request a later start sends and the answer of the running one.
  static constexpr char kAskByte = '2';
  static constexpr char kAnswerByte = '1';

  explicit InstanceChannel(QString name, QObject* parent = nullptr);
  ~InstanceChannel() override;

  // Asks a running instance to come forward, or takes the name when there is
  // none (a socket left behind by a crashed instance is cleared). Waits at
  // most answerTimeoutMs for the answer.
  Outcome Claim(int answerTimeoutMs);

  bool HoldsName() const;
  const QString& Name() const { return name_; }

 signals:
  // A later start asked this instance to come forward; emitted before the
  // answer is sent.
  void InstanceAsked();

 private:
  enum class AskResult { NobodyListens, Answered, NoAnswer };
  AskResult AskRunningInstance(int answerTimeoutMs);
  bool Listen();
  void AnswerPendingConnections();

  QString name_;
  QLocalServer* server_ = nullptr;  // child of this object once listening
};

}  // namespace velmor
