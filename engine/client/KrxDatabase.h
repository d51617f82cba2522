// The database component: names one database file under an alias
// (DatabaseName) for the datasets of its session, connects to it through a
// local session and keeps the list of its open datasets.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KrxLocalSession.h"
#include "KrxProgress.h"

namespace krx {

class TKrxDataSet;
class TKrxSession;

class TKrxDatabase {
 public:
  // Joins the named session (empty: "Default"; "Invalid session name '%s'"
  // when there is none).
  explicit TKrxDatabase(std::string sessionName = {});
  ~TKrxDatabase();
  TKrxDatabase(const TKrxDatabase&) = delete;
  TKrxDatabase& operator=(const TKrxDatabase&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // Properties; those that name the file or the session need the
  // disconnected state ("Cannot perform this operation on an open database").
  const std::string& DatabaseName() const { return databaseName_; }
  void SetDatabaseName(std::string name);
  const std::string& DatabaseFileName() const { return fileName_; }
  // A different path disconnects first; the same path changes nothing.
  void SetDatabaseFileName(std::string fileName);
  const std::string& SessionName() const { return sessionName_; }
  void SetSessionName(std::string name);
  bool Exclusive() const { return exclusive_; }
  void SetExclusive(bool exclusive);
  bool MultiUser() const { return multiUser_; }
  void SetMultiUser(bool multiUser);
  int32_t MaxConnections() const { return maxConnections_; }
  void SetMaxConnections(int32_t count);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool KeepConnection() const { return keepConnection_; }
  void SetKeepConnection(bool keep) { keepConnection_ = keep; }
  const std::string& Password() const { return password_; }
  void SetPassword(std::string password);
  uint8_t CipherID() const { return cipherID_; }
  void SetCipherID(uint8_t id);
  uint16_t PageSize() const { return pageSize_; }
  void SetPageSize(uint16_t size);
  uint16_t ExtentPageCount() const { return extentPageCount_; }
  void SetExtentPageCount(uint16_t count);
  bool SilentMode() const { return silentMode_; }
  void SetSilentMode(bool silent) { silentMode_ = silent; }
  bool DisableTempFiles() const { return disableTempFiles_; }
  void SetDisableTempFiles(bool disable) { disableTempFiles_ = disable; }

  // Asked when the file needs a password: may set Password and answers
  // whether to try again.
  std::function<bool(TKrxDatabase&)> OnPassword;

  // Asked at the start of a long table operation for the reporter of its
  // progress (see KrxProgress.h); none (nullptr) runs it unreported.
  std::function<IKrxProgress*(TKrxDatabase&)> OnProgress;
  IKrxProgress* MakeProgress() { return OnProgress ? OnProgress(*this) : nullptr; }

  bool Connected() const { return localSession_ != nullptr; }
  void SetConnected(bool connected);
  void Connect();
  // Closes every query of the database, then every other dataset, then the
  // local session.
  void Disconnect();
  bool Disconnecting() const { return disconnecting_; }
  // True when the file was found not correctly closed at the last connect.
  bool NeedsRepair() const { return needsRepair_; }

  // Makes a new database file with the component's page size, extent,
  // maximum connections, cipher and password.
  void CreateDataBase();

  // The names of the tables of the file (UTF-8); never raises, and leaves
  // a disconnected component disconnected again.
  void GetTableNames(std::vector<std::string>& names);

  void StartTransaction();
  void Commit(bool flush = true);
  void Rollback();
  bool InTransaction() const;

  TKrxSession& Session();
  TKrxLocalSession& LocalSession();
  const std::vector<TKrxDataSet*>& DataSets() const { return dataSets_; }

  // Called by the session and the datasets.
  void MakeTemporary(std::string databaseName, bool keepConnection);
  bool Temporary() const { return temporary_; }
  void AddUse() { ++useCount_; }
  int ReleaseUse() { return useCount_ > 0 ? --useCount_ : 0; }
  int UseCount() const { return useCount_; }
  void AddDataSet(TKrxDataSet* dataSet);
  void RemoveDataSet(TKrxDataSet* dataSet);
  void DetachSession() { session_ = nullptr; }

 private:
  void CheckInactive() const;
  void CheckActive() const;
  bool AskPassword();

  std::string name_;
  std::string databaseName_;
  std::string fileName_;
  std::string sessionName_;
  TKrxSession* session_ = nullptr;
  bool exclusive_ = false;
  bool multiUser_ = false;
  int32_t maxConnections_ = 500;
  bool readOnly_ = false;
  bool keepConnection_ = true;
  std::string password_;
  uint8_t cipherID_ = 0;
  uint16_t pageSize_ = 4096;
  uint16_t extentPageCount_ = 8;
  bool silentMode_ = false;
  bool disableTempFiles_ = false;
  bool temporary_ = false;
  bool disconnecting_ = false;
  bool needsRepair_ = false;
  int useCount_ = 0;
  std::unique_ptr<TKrxLocalSession> localSession_;
  std::vector<TKrxDataSet*> dataSets_;
};

}  // namespace krx
