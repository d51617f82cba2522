// The friendly hints that rotate in the main window's status bar, read from
// the hint table cqfriendhint (numbered from 1).
#pragma once

#include <QString>

// The greeting that is hint number 1: the status bar shows it at start and
// the schema upgrade seeds it into a hint table that lacks it.
extern const QString kFirstFriendlyHint;

// A hint drawn at random from 1 to the number of hint rows; empty text when
// the drawn number has no row (a gap) or the table is empty.
QString GetFriendlyHint();

// The trimmed text of hint `number`, empty when there is no such row.
QString FriendlyHintNumbered(int number);
