// Opening the program's database file at start: the schema upgrade that
// brings an older file up to date, then the loading of the parameters into
// SysParas. Both run on the data module's components.
#pragma once

#include <QString>

// Opens AppDir + "data/cpbill" on frmData->KrxDB, runs UpgradeSchema and
// loads SysParas. AppDir is the program's directory. Engine errors are
// raised to the caller (the main window shows them and start-up goes on);
// the steps done before the error stay done.
void OpenDatabaseAndLoadParameters();
// The same with an explicit program directory (with its trailing "/").
void OpenDatabaseAndLoadParameters(const QString& appDir);

// Adds the parameter rows, columns, tables and the greeting that older files
// lack, on frmData->KrxLast. On an up-to-date file it only reads.
void UpgradeSchema();

// Fills SysParas from the visible parameter rows, the fixed texts, the
// default standard and the default unit (on frmData->KrxQ2). A field whose
// row is missing keeps its text.
void LoadSystemParameters();
