// The connection a query's statements run in: the database component's
// local session (its database object, session number and transaction) and
// the format in which text values are read into numbers and dates.
#pragma once

#include "KrxExecSession.h"
#include "KrxFormatSettings.h"

namespace krx {

class TKrxLocalSession;

class TKrxLocalExecSession : public TKrxExecSession {
 public:
  TKrxLocalExecSession(TKrxLocalSession& session, const TKrxFormatSettings& settings, bool requestLive);

  TKrxDiskDatabaseData& Database() override;
  int32_t SessionID() const override;
  bool InTransaction() const override;
  // Through the local session, so that the database component sees a
  // transaction started or ended by SQL text.
  void StartTransaction() override;
  void Commit(bool flush) override;
  void Rollback() override;
  const TKrxValueFormat& ValueFormat() const override { return format_; }
  bool RequestLive() const override { return requestLive_; }

 private:
  TKrxLocalSession& session_;
  TKrxValueFormat format_;
  bool requestLive_;
};

}  // namespace krx
