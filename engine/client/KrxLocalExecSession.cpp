#include "KrxLocalExecSession.h"

#include "KrxLocalSession.h"

namespace krx {

TKrxLocalExecSession::TKrxLocalExecSession(TKrxLocalSession& session, const TKrxFormatSettings& settings,
                                           bool requestLive)
    : session_(session), requestLive_(requestLive) {
  format_.shortDateFormat = settings.shortDateFormat;
  format_.decimalSeparator = settings.decimalSeparator;
}

TKrxDiskDatabaseData& TKrxLocalExecSession::Database() { return session_.Data(); }

int32_t TKrxLocalExecSession::SessionID() const { return session_.SessionNumber(); }

bool TKrxLocalExecSession::InTransaction() const { return session_.InTransaction(); }

void TKrxLocalExecSession::StartTransaction() { session_.StartTransaction(); }

void TKrxLocalExecSession::Commit(bool flush) { session_.Commit(flush); }

void TKrxLocalExecSession::Rollback() { session_.Rollback(); }

}  // namespace krx
