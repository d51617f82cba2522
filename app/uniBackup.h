// Backup and restore of the database file. A backup is a byte copy of the
// file made while the database is disconnected; a restore copies a backup
// back. Neither leaves the program without a working database: a failed
// copy is reported, and a restore first checks that the chosen file is a
// database of this program and puts the previous file back when the
// restored one cannot be connected.
#pragma once

#include <QString>
#include <functional>

class QWidget;

// Where the user chooses the files; a test answers in place of the dialogs.
// An empty answer means the user cancelled.
struct BackupFileDialogs {
  std::function<QString(QWidget* parent, const QString& proposedPath)> chooseBackupTarget;
  std::function<QString(QWidget* parent)> chooseRestoreSource;
};
// Empty functions bring back the file dialogs.
void SetBackupFileDialogs(BackupFileDialogs dialogs);

// "Velmor开单" and today's date in the short date format, made fit for a
// file name (a "/" of the date becomes "-").
QString ProposedBackupName();

// The database file the data module is connected to.
QString DatabaseFilePath();

// The menu items 备份 and 恢复: ask for the file, then copy.
void nbackupClick(QWidget* parent);
void nrestoreClick(QWidget* parent);

// The copies themselves; true when done. Failures are shown to the user.
bool BackupDatabaseTo(QWidget* parent, const QString& target);
bool RestoreDatabaseFrom(QWidget* parent, const QString& source);
