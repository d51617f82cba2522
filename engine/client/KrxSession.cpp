#include "KrxSession.h"

#include <algorithm>

#include "KrxDatabase.h"
#include "KrxException.h"

namespace krx {

bool KrxSameComponentName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

TKrxSessionList& KrxSessions() {
  static TKrxSessionList list;
  return list;
}

// ---- session list ----

TKrxSessionList::TKrxSessionList() {
  // The default session cannot go through KrxSessions() while the list is
  // being made: it registers here directly.
  defaultSession_.reset(new TKrxSession(kKrxDefaultSessionName, TKrxSession::DefaultTag{}));
  sessions_.push_back(defaultSession_.get());
}

TKrxSessionList::~TKrxSessionList() {
  std::unique_ptr<TKrxSession> last = std::move(defaultSession_);
  last.reset();
  sessions_.clear();
}

TKrxSession* TKrxSessionList::FindSession(std::string_view name) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (name.empty()) return defaultSession_.get();
  for (TKrxSession* session : sessions_) {
    if (KrxSameComponentName(session->SessionName(), name)) return session;
  }
  return nullptr;
}

TKrxSession& TKrxSessionList::SessionByName(std::string_view name) {
  TKrxSession* session = FindSession(name);
  if (session == nullptr) throw EKrxException(KrxError::InvalidSessionName, std::string(name));
  return *session;
}

std::vector<std::string> TKrxSessionList::SessionNames() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  std::vector<std::string> names;
  for (TKrxSession* session : sessions_) names.push_back(session->SessionName());
  return names;
}

void TKrxSessionList::Add(TKrxSession* session) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  for (TKrxSession* other : sessions_) {
    if (other != session && KrxSameComponentName(other->SessionName(), session->SessionName())) {
      throw EKrxException(KrxError::DuplicateSessionName, session->SessionName());
    }
  }
  sessions_.push_back(session);
}

void TKrxSessionList::Remove(TKrxSession* session) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  sessions_.erase(std::remove(sessions_.begin(), sessions_.end(), session), sessions_.end());
}

// ---- session ----

TKrxSession::TKrxSession(std::string sessionName) : sessionName_(std::move(sessionName)) {
  if (sessionName_.empty()) throw EKrxException(KrxError::SessionNameMissing);
  KrxSessions().Add(this);
}

TKrxSession::~TKrxSession() {
  // Temporary components go first; components owned elsewhere only lose
  // their connection.
  std::vector<std::unique_ptr<TKrxDatabase>> temporary = std::move(temporaryDatabases_);
  temporary.clear();
  for (TKrxDatabase* database : std::vector<TKrxDatabase*>(databases_)) {
    try {
      database->Disconnect();
    } catch (...) {
    }
    database->DetachSession();
  }
  databases_.clear();
  if (!isDefault_) KrxSessions().Remove(this);
}

void TKrxSession::SetSessionName(std::string name) {
  if (active_) throw EKrxException(KrxError::SessionActive);
  if (name.empty()) throw EKrxException(KrxError::SessionNameMissing);
  sessionName_ = std::move(name);
}

void TKrxSession::SetActive(bool active) {
  std::lock_guard<std::recursive_mutex> guard(KrxSessions().Lock());
  if (active == active_) return;
  if (!active) {
    for (TKrxDatabase* database : std::vector<TKrxDatabase*>(databases_)) database->Disconnect();
  }
  active_ = active;
}

TKrxDatabase* TKrxSession::FindDatabase(std::string_view name) const {
  for (TKrxDatabase* database : databases_) {
    if (KrxSameComponentName(database->DatabaseName(), name)) return database;
  }
  return nullptr;
}

TKrxDatabase& TKrxSession::OpenDatabase(std::string_view name) {
  std::lock_guard<std::recursive_mutex> guard(KrxSessions().Lock());
  TKrxDatabase* database = FindDatabase(name);
  if (database == nullptr) {
    auto made = std::make_unique<TKrxDatabase>(sessionName_);
    made->MakeTemporary(std::string(name), keepConnections_);
    database = made.get();
    temporaryDatabases_.push_back(std::move(made));
  }
  if (!database->Connected()) database->Connect();
  database->AddUse();
  return *database;
}

void TKrxSession::CloseDatabase(TKrxDatabase& database) {
  std::lock_guard<std::recursive_mutex> guard(KrxSessions().Lock());
  if (database.ReleaseUse() > 0) return;
  if (database.KeepConnection() || database.Disconnecting()) return;
  database.Disconnect();
  if (database.Temporary()) {
    auto it = std::find_if(temporaryDatabases_.begin(), temporaryDatabases_.end(),
                           [&](const auto& owned) { return owned.get() == &database; });
    if (it != temporaryDatabases_.end()) temporaryDatabases_.erase(it);
  }
}

void TKrxSession::AddDatabase(TKrxDatabase* database) {
  std::lock_guard<std::recursive_mutex> guard(KrxSessions().Lock());
  databases_.push_back(database);
}

void TKrxSession::RemoveDatabase(TKrxDatabase* database) {
  std::lock_guard<std::recursive_mutex> guard(KrxSessions().Lock());
  databases_.erase(std::remove(databases_.begin(), databases_.end(), database), databases_.end());
}

}  // namespace krx
