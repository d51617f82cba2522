// Start-up routines whose full bodies belong to the database file, the
// parameter loading and the friendly hints. Until those land, the shell
// calls them here; their owners replace this file and keep the signatures.
#pragma once

#include <QString>

// The greeting that is friendly hint number 1: the status bar shows it at
// start, and the schema upgrade seeds it into the hint table.
extern const QString kFirstFriendlyHint;

// Opens the database file, upgrades its schema and loads SysParas. For now
// it fills only the fixed texts and paths of SysParas; the rows of the
// parameter table come with the database file.
void OpenDatabaseAndLoadParameters();

// The text for the status bar's hint panel on each tick of the hint timer.
// For now the greeting; random hints of the hint table come with the hints.
QString GetFriendlyHint();
