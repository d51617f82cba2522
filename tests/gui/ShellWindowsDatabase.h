// A fresh copy of the initial database in a temporary program directory,
// opened on a data module of its own with SysParas loaded from it, for the
// tests of the shell's small windows.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#ifndef Q_MOC_RUN  // the message table is more than moc can read
#include "KrxException.h"
#endif
#include "uniData.h"
#include "uniDatabase.h"
#include "uniShellSql.h"
#include "uniType.h"

namespace shelltest {

// The statements of a seed script: comment lines dropped, split at the
// semicolons outside quoted literals.
inline QStringList ScriptStatements(const QString& script) {
  QString body;
  for (const QString& line : script.split(QLatin1Char('\n')))
    if (!line.trimmed().startsWith(QLatin1String("--"))) body += line + QLatin1Char('\n');
  QStringList statements;
  QString current;
  bool quoted = false;
  for (QChar c : body) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (c == QLatin1Char(';') && !quoted) {
      if (!current.trimmed().isEmpty()) statements << current.trimmed();
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.trimmed().isEmpty()) statements << current.trimmed();
  return statements;
}

class ShellDatabase {
 public:
  // The program directory, with its trailing "/".
  QString AppDir() const { return dir.path() + QLatin1Char('/'); }
  QString DatabaseFile() const { return AppDir() + QStringLiteral("data/cpbill"); }

  // Lays out data/cpbill (a copy of the built one, or made from the seed
  // script) and opens it. False, with the reason, when the engine cannot
  // yet run the statements.
  bool Make(QString* why) {
    QDir(dir.path()).mkpath(QStringLiteral("data"));
    try {
      const QString built = qEnvironmentVariable("VELMOR_PROGRAM_DIR") + QStringLiteral("/data/cpbill");
      if (!qEnvironmentVariableIsEmpty("VELMOR_PROGRAM_DIR") && QFile::exists(built)) {
        QFile::copy(built, DatabaseFile());
      } else {
        RunSeedScript();
      }
      SysParas = TSysParas();
      OpenDatabaseAndLoadParameters(AppDir());
      return true;
    } catch (const krx::EKrxException& error) {
      constexpr int32_t kNotExecutableYet = 22004;
      if (error.NativeError() != kNotExecutableYet) throw;
      *why = QString::fromStdString(error.what());
      return false;
    }
  }

  QString Parameter(const QString& name) {
    return ReadFirstValue(data.KrxQ2, QStringLiteral("select fparameter from pisysparameter where fname=") + SqlQuoted(name),
                      "fparameter");
  }
  int Count(const QString& table) {
    return ReadFirstValue(data.KrxQ2, QStringLiteral("select count(*) as n from ") + table, "n").toInt();
  }
  void Exec(const QString& sql) { ExecStatement(data.KrxQ2, sql); }

  QTemporaryDir dir;
  TfrmData data;

 private:
  void RunSeedScript() {
    QFile script(qEnvironmentVariable("VELMOR_SOURCE_DIR", QStringLiteral(".")) + QStringLiteral("/data/cpbill.sql"));
    if (!script.open(QIODevice::ReadOnly)) throw std::runtime_error("data/cpbill.sql not found; set VELMOR_SOURCE_DIR");
    data.KrxDB.SetDatabaseFileName(DatabaseFile().toStdString());
    data.KrxDB.CreateDataBase();
    data.KrxDB.Connect();
    for (const QString& sql : ScriptStatements(QString::fromUtf8(script.readAll()))) ExecStatement(data.KrxQ1, sql);
    data.KrxDB.Disconnect();
  }
};

}  // namespace shelltest

#define OPEN_SHELL_DATABASE(name)                                          \
  shelltest::ShellDatabase name;                                           \
  do {                                                                     \
    QString why;                                                           \
    if (!name.Make(&why)) QSKIP(qPrintable(why));                          \
  } while (false)
