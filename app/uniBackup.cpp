#include "uniBackup.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>
#include <string>
#include <vector>

#include "KrxDatabase.h"
#include "KrxException.h"
#include "LocaleSettings.h"
#include "MessageBox.h"
#include "uniData.h"
#include "uniFunction.h"
#include "uniType.h"

namespace {

const QString kBackupFilter = QStringLiteral("QBX (*.QBX)");

BackupFileDialogs& Dialogs() {
  static BackupFileDialogs dialogs;
  return dialogs;
}

QString AskBackupTarget(QWidget* parent, const QString& proposedPath) {
  if (Dialogs().chooseBackupTarget) return Dialogs().chooseBackupTarget(parent, proposedPath);
  QFileDialog dialog(parent, QStringLiteral("备份"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("QBX"));
  dialog.setNameFilter(kBackupFilter);
  // An existing file is refused below, never overwritten.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.selectFile(proposedPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

QString AskRestoreSource(QWidget* parent) {
  if (Dialogs().chooseRestoreSource) return Dialogs().chooseRestoreSource(parent);
  QFileDialog dialog(parent, QStringLiteral("恢复"), SysParas.AppDir);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(QStringLiteral("QBX"));
  dialog.setNameFilter(kBackupFilter);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

// Connects the data module to the database file again; false (the engine's
// message shown) when that fails.
bool Reconnect(QWidget* parent, const QString& databaseFile) {
  try {
    frmData->KrxDB.SetDatabaseFileName(databaseFile.toStdString());
    frmData->KrxDB.Connect();
    return true;
  } catch (const std::exception& error) {
    velmor::ShowError(parent, QString::fromStdString(error.what()));
    return false;
  }
}

// A byte copy onto a file that does not exist yet, checked for its length;
// a partial copy is removed.
bool CopyWhole(const QString& source, const QString& target, QString* why) {
  QFile from(source);
  if (!from.copy(target)) {
    *why = from.errorString();
    QFile::remove(target);
    return false;
  }
  if (QFileInfo(target).size() != QFileInfo(source).size()) {
    *why = QStringLiteral("复制的文件长度不符");
    QFile::remove(target);
    return false;
  }
  return true;
}

// Empty text when the file opens as a database with the parameter table of
// this program, else why not.
QString CheckIsProgramDatabase(const QString& file) {
  try {
    krx::TKrxDatabase check;
    check.SetName("KrxRestoreCheck");
    check.SetDatabaseName("QBXRESTORECHECK");
    check.SetDatabaseFileName(file.toStdString());
    check.SetExclusive(false);
    check.SetMultiUser(false);
    check.Connect();
    std::vector<std::string> tables;
    check.GetTableNames(tables);
    check.Disconnect();
    const bool hasParameters = std::any_of(tables.begin(), tables.end(), [](const std::string& name) {
      return QString::fromStdString(name).compare(QLatin1String("pisysparameter"), Qt::CaseInsensitive) == 0;
    });
    if (!hasParameters) return QStringLiteral("文件中没有系统参数表");
    return QString();
  } catch (const std::exception& error) {
    return QString::fromStdString(error.what());
  }
}

}  // namespace

void SetBackupFileDialogs(BackupFileDialogs dialogs) { Dialogs() = std::move(dialogs); }

QString ProposedBackupName() {
  QString date = velmor::FormatShortDate(QDate::currentDate());
  date.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char('\\'), QLatin1Char('-'));
  return CleanFileName(QStringLiteral("Velmor开单") + date);
}

QString DatabaseFilePath() {
  const std::string& connected = frmData->KrxDB.DatabaseFileName();
  if (!connected.empty()) return QString::fromStdString(connected);
  return QDir(SysParas.AppDir).filePath(QStringLiteral("data/cpbill"));
}

void nbackupClick(QWidget* parent) {
  const QString proposed = QDir(SysParas.AppDir).filePath(ProposedBackupName() + QStringLiteral(".QBX"));
  const QString target = AskBackupTarget(parent, proposed);
  if (target.isEmpty()) return;
  BackupDatabaseTo(parent, target);
}

void nrestoreClick(QWidget* parent) {
  const QString source = AskRestoreSource(parent);
  if (source.isEmpty() || !QFile::exists(source)) return;
  RestoreDatabaseFrom(parent, source);
}

bool BackupDatabaseTo(QWidget* parent, const QString& target) {
  if (QFileInfo::exists(target)) {
    velmor::ShowError(parent, QStringLiteral("文件已存在，备份失败。"));
    return false;
  }
  const QString database = DatabaseFilePath();
  frmData->KrxDB.Disconnect();
  QString why;
  const bool copied = CopyWhole(database, target, &why);
  const bool connected = Reconnect(parent, database);
  if (!copied) {
    velmor::ShowError(parent, QStringLiteral("复制数据库文件失败，备份失败。\n") + why);
    return false;
  }
  return connected;
}

bool RestoreDatabaseFrom(QWidget* parent, const QString& source) {
  const QString database = DatabaseFilePath();
  if (QFileInfo(source).canonicalFilePath() == QFileInfo(database).canonicalFilePath()) return true;
  // The chosen file is copied beside the database and checked there, while
  // the current database stays connected.
  const QString staged = database + QStringLiteral(".restore");
  const QString previous = database + QStringLiteral(".previous");
  QFile::remove(staged);
  QString why;
  if (!CopyWhole(source, staged, &why)) {
    velmor::ShowError(parent, QStringLiteral("复制备份文件失败，恢复失败。\n") + why);
    return false;
  }
  why = CheckIsProgramDatabase(staged);
  if (!why.isEmpty()) {
    QFile::remove(staged);
    velmor::ShowError(parent, QStringLiteral("所选文件不是本系统的数据库文件，恢复失败。\n") + why);
    return false;
  }
  frmData->KrxDB.Disconnect();
  QFile::remove(previous);
  if (!QFile::rename(database, previous)) {
    QFile::remove(staged);
    Reconnect(parent, database);
    velmor::ShowError(parent, QStringLiteral("无法替换当前数据库文件，恢复失败。"));
    return false;
  }
  if (!QFile::rename(staged, database)) {
    QFile::rename(previous, database);
    QFile::remove(staged);
    Reconnect(parent, database);
    velmor::ShowError(parent, QStringLiteral("无法替换当前数据库文件，恢复失败。"));
    return false;
  }
  try {
    frmData->KrxDB.SetDatabaseFileName(database.toStdString());
    frmData->KrxDB.Connect();
  } catch (const std::exception& error) {
    // The previous database goes back in place and is connected again.
    frmData->KrxDB.Disconnect();
    QFile::remove(database);
    QFile::rename(previous, database);
    Reconnect(parent, database);
    velmor::ShowError(parent, QStringLiteral("恢复的数据库无法打开，已保留原来的数据库。\n") +
                                  QString::fromStdString(error.what()));
    return false;
  }
  QFile::remove(previous);
  return true;
}
