// Sessions: named groups of database components. At engine start the
// session "Default" exists; every session registers itself in the process
// list, and names are unique without regard to case.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace krx {

inline constexpr const char* kKrxDefaultSessionName = "Default";

class TKrxDatabase;

class TKrxSession {
 public:
  // Registers the session ("Session name missing" for an empty name,
  // "Duplicate session name '%s'" when taken).
  explicit TKrxSession(std::string sessionName);
  ~TKrxSession();
  TKrxSession(const TKrxSession&) = delete;
  TKrxSession& operator=(const TKrxSession&) = delete;

  const std::string& SessionName() const { return sessionName_; }
  // Renaming needs an inactive session.
  void SetSessionName(std::string name);
  bool Active() const { return active_; }
  void SetActive(bool active);
  bool KeepConnections() const { return keepConnections_; }
  void SetKeepConnections(bool keep) { keepConnections_ = keep; }
  bool AutoSessionName() const { return autoSessionName_; }
  void SetAutoSessionName(bool autoName) { autoSessionName_ = autoName; }

  // The database components of the session.
  const std::vector<TKrxDatabase*>& Databases() const { return databases_; }
  // The component whose DatabaseName is `name` (any case); null when none.
  TKrxDatabase* FindDatabase(std::string_view name) const;

  // A dataset's database: the component named so, or a temporary one made
  // for the name; connected, with its use count raised.
  TKrxDatabase& OpenDatabase(std::string_view name);
  // Lowers the use count; at 0 a component without KeepConnection
  // disconnects, and a temporary one is freed.
  void CloseDatabase(TKrxDatabase& database);

  // Called by the database components themselves.
  void AddDatabase(TKrxDatabase* database);
  void RemoveDatabase(TKrxDatabase* database);

 private:
  friend class TKrxSessionList;
  struct DefaultTag {};
  TKrxSession(std::string sessionName, DefaultTag) : sessionName_(std::move(sessionName)), isDefault_(true) {}

  std::string sessionName_;
  bool isDefault_ = false;
  bool active_ = false;
  bool keepConnections_ = true;
  bool autoSessionName_ = false;
  std::vector<TKrxDatabase*> databases_;
  std::vector<std::unique_ptr<TKrxDatabase>> temporaryDatabases_;
};

class TKrxSessionList {
 public:
  TKrxSessionList();
  ~TKrxSessionList();

  // "Invalid session name '%s'" when there is none of that name; an empty
  // name is the session "Default".
  TKrxSession& SessionByName(std::string_view name);
  TKrxSession* FindSession(std::string_view name);
  TKrxSession& DefaultSession() { return *defaultSession_; }
  std::vector<std::string> SessionNames();

  void Add(TKrxSession* session);
  void Remove(TKrxSession* session);
  std::recursive_mutex& Lock() { return lock_; }

 private:
  std::recursive_mutex lock_;
  std::vector<TKrxSession*> sessions_;
  std::unique_ptr<TKrxSession> defaultSession_;
};

// The process's session list, made with the session "Default" on first use.
TKrxSessionList& KrxSessions();

// Names of components compare without regard to ASCII case.
bool KrxSameComponentName(std::string_view a, std::string_view b);

}  // namespace krx
