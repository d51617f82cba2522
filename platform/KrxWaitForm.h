// The progress window of long table operations: it stays out of the way of
// quick ones (it appears only after half a second, and only if the
// operation is not past half way by then), and while it is up it holds the
// rest of the application still and offers to stop the operation or to let
// it run on with the application minimised.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "KrxProgress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace krx {
class TKrxDatabase;
}

namespace velmor {

class TfrmWait : public QDialog, public krx::IKrxProgress {
  Q_OBJECT

 public:
  explicit TfrmWait(QWidget* parent = nullptr);
  ~TfrmWait() override;

  void Start(const std::string& message) override;
  void Progress(int percent) override;
  bool Aborted() const override;
  // Puts the application back as it was and frees the window.
  void Finish() override;

  bool Running() const { return running_; }
  bool InBackground() const { return inBackground_; }

  QLabel* lbMessage = nullptr;
  QProgressBar* pbProgress = nullptr;
  QPushButton* btAbort = nullptr;
  QPushButton* btBackground = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void ShowDelayed();
  void Abort();
  void GoBackground();
  void ComeBack();
  void HoldOtherWindows();
  void ReleaseOtherWindows();
  void RestoreMinimised();

  QTimer showTimer_;
  bool running_ = false;
  bool aborted_ = false;
  bool inBackground_ = false;
  bool appLeftActive_ = false;
  bool watchingRestore_ = false;
  int progress_ = 0;
  QPointer<QWidget> previousActive_;
  // Only the windows this window changed are changed back: one disabled or
  // minimised by someone else stays so.
  QList<QPointer<QWidget>> disabled_;
  QList<QPointer<QWidget>> minimised_;
};

// Makes the database's long table operations report through a fresh
// progress window each; a silent database shows none.
void KrxUseWaitForm(krx::TKrxDatabase& database);

}  // namespace velmor
