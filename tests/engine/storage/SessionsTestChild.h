// A child process for tests of several processes on one file. The body
// runs in a forked child under an alarm, so a child that hangs dies instead
// of holding the test up; parent and child speak through one-byte messages.
// Fork before this process opens the file: a forked child shares the
// parent's open file descriptions, and with them its byte locks.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <stdexcept>
#include <thread>

namespace krx::test {

class ChildProcess {
 public:
  using Body = std::function<int(ChildProcess&)>;

  explicit ChildProcess(const Body& body, int alarmSeconds = 60) {
    if (pipe(toParent_) != 0 || pipe(toChild_) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
      alarm(static_cast<unsigned>(alarmSeconds));
      int code = 0;
      try {
        code = body(*this);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "child: %s\n", e.what());
        code = 100;
      } catch (...) {
        code = 101;
      }
      _exit(code);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {toParent_[0], toParent_[1], toChild_[0], toChild_[1]}) close(fd);
  }

  // In the parent: the child's next message, or 0 after the timeout.
  char Receive(int timeoutMs = 30000) { return ReadByte(toParent_[0], timeoutMs); }
  // Whether a message is waiting now.
  bool HasMessage() { return Ready(toParent_[0], 0); }
  void Send(char c) { WriteByte(toChild_[1], c); }
  // The child's exit code; it is killed after the timeout (-1).
  int Finish(int timeoutMs = 60000) {
    auto start = std::chrono::steady_clock::now();
    int status = 0;
    for (;;) {
      pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) break;
      if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(timeoutMs)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        reaped_ = true;
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    reaped_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // In the child.
  void Tell(char c) { WriteByte(toParent_[1], c); }
  char Await(int timeoutMs = 30000) { return ReadByte(toChild_[0], timeoutMs); }

 private:
  static bool Ready(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1;
  }
  static char ReadByte(int fd, int timeoutMs) {
    char c = 0;
    if (!Ready(fd, timeoutMs) || read(fd, &c, 1) != 1) return 0;
    return c;
  }
  static void WriteByte(int fd, char c) {
    if (write(fd, &c, 1) != 1) throw std::runtime_error("pipe write");
  }

  pid_t pid_ = -1;
  bool reaped_ = false;
  int toParent_[2] = {-1, -1};
  int toChild_[2] = {-1, -1};
};

}  // namespace krx::test
