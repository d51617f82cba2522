// What running statements need from the connection they run in: the open
// database, the session number, the transaction state and the rules for
// reading text values into numbers and dates. The client layer hands one
// to the processor; TKrxDirectExecSession serves code that holds a database
// object itself (tools, tests).
#pragma once

#include <cstdint>
#include <string>

namespace krx {

class TKrxDiskDatabaseData;

// How text assigned to a number or date column is read.
struct TKrxValueFormat {
  // Letters y, M (or m) and d give the order of a date's parts; any
  // non-digit separates them.
  std::string shortDateFormat = "yyyy/M/d";
  char decimalSeparator = '.';
};

class TKrxExecSession {
 public:
  virtual ~TKrxExecSession() = default;

  virtual TKrxDiskDatabaseData& Database() = 0;
  virtual int32_t SessionID() const = 0;
  virtual bool InTransaction() const = 0;
  virtual void StartTransaction() = 0;
  virtual void Commit(bool flush) = 0;
  virtual void Rollback() = 0;
  virtual const TKrxValueFormat& ValueFormat() const = 0;
  // Whether results may be presented for editing.
  virtual bool RequestLive() const { return false; }
};

class TKrxDirectExecSession : public TKrxExecSession {
 public:
  TKrxDirectExecSession(TKrxDiskDatabaseData& database, int32_t sessionID) : database_(database), session_(sessionID) {}

  TKrxDiskDatabaseData& Database() override { return database_; }
  int32_t SessionID() const override { return session_; }
  bool InTransaction() const override { return inTransaction_; }
  // "Transaction is already active" when one runs; commit and roll back
  // need one ("Transaction is not active").
  void StartTransaction() override;
  void Commit(bool flush) override;
  void Rollback() override;
  const TKrxValueFormat& ValueFormat() const override { return format_; }
  TKrxValueFormat& MutableValueFormat() { return format_; }

 private:
  TKrxDiskDatabaseData& database_;
  int32_t session_;
  bool inTransaction_ = false;
  TKrxValueFormat format_;
};

}  // namespace krx
