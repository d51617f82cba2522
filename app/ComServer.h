// The report engine and its registration. The report engine is a library
// of this program; the part that prints installs a factory for it at start.
// Registration entries of a shared library are called the way an installer
// would: load it, look up the entry, call it, unload it.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// Makes a report engine; may throw when the engine cannot start.
using ReportEngineFactory = std::function<std::unique_ptr<QObject>()>;
void SetReportEngineFactory(ReportEngineFactory factory);

// True when a report engine can be created right now (the engine made for
// the question is released again).
bool IsReportEngineRegistered();

// Loads the shared library at path, calls its "DllRegisterServer" (register
// true) or "DllUnregisterServer" entry and answers true when that returned
// a value that is not negative. The library is unloaded in every case;
// false when it does not load or lacks the entry.
bool RegisterComServer(const QString& path, bool registerServer);

// The report engine libraries looked for beside the program.
extern const char* const kReportEngineLibraries[2];
