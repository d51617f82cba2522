#include "KrxStatementRunner.h"

#include "KrxDatabase.h"
#include "KrxEngineError.h"
#include "KrxException.h"
#include "KrxFormatSettings.h"
#include "KrxLocalExecSession.h"
#include "KrxLocale.h"
#include "KrxResultSource.h"

namespace krx {

TKrxRunResult KrxRunStatements(TKrxSQLProcessor& processor, TKrxDatabase& database, bool requestLive) {
  // Text values are read with the settings in force now, so a locale change
  // reaches queries made before it.
  TKrxLocalExecSession session(database.LocalSession(), KrxDefaultFormatSettings(), requestLive);
  TKrxRunResult run;
  try {
    processor.Execute(session);
  } catch (const EKrxEngineError&) {
    throw;
  } catch (const EKrxException& e) {
    // The core speaks the national code page; callers read UTF-8.
    throw EKrxException(KrxGbToUtf8(e.Message()), e.NativeError());
  }
  run.rowsAffected = processor.RowsAffected();
  if (std::unique_ptr<TKrxResultCursor> result = processor.TakeResult()) {
    run.readOnly = result->ReadOnly();
    run.rows = std::make_unique<TKrxResultSource>(std::move(result));
  }
  return run;
}

}  // namespace krx
