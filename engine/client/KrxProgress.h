// How a long table operation of the client components (copying, importing,
// restructuring a table) tells the user how far it has come and learns that
// the user wants it stopped. The engine knows no windows: the database
// component's OnProgress handler hands out a reporter, which the platform
// layer fills with its progress window.
#pragma once

#include <string>

namespace krx {

class IKrxProgress {
 public:
  virtual ~IKrxProgress() = default;
  // Begins one operation: sets the message and clears the abort flag.
  virtual void Start(const std::string& message) = 0;
  // How far the operation has come, 0..100.
  virtual void Progress(int percent) = 0;
  // Polled by the operation between steps; true once the user asked to stop.
  virtual bool Aborted() const = 0;
  // Ends the operation. A reporter handed out by OnProgress frees itself
  // here, so nobody may touch it afterwards.
  virtual void Finish() = 0;
};

// Starts the reporter (when there is one) for the span of one operation and
// finishes it however the operation ends, a raised error included.
class TKrxProgressScope {
 public:
  TKrxProgressScope(IKrxProgress* progress, const std::string& message) : progress_(progress) {
    if (progress_ != nullptr) progress_->Start(message);
  }
  ~TKrxProgressScope() {
    if (progress_ != nullptr) progress_->Finish();
  }
  TKrxProgressScope(const TKrxProgressScope&) = delete;
  TKrxProgressScope& operator=(const TKrxProgressScope&) = delete;

  // Reports done of total steps as a percentage.
  void Step(long long done, long long total) {
    if (progress_ == nullptr) return;
    int percent = total <= 0 ? 100 : static_cast<int>(done * 100 / total);
    progress_->Progress(percent < 0 ? 0 : (percent > 100 ? 100 : percent));
  }
  bool Aborted() const { return progress_ != nullptr && progress_->Aborted(); }

 private:
  IKrxProgress* progress_;
};

}  // namespace krx
