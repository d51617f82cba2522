// Enter in a list grid moves the cursor the way a bill is typed line by
// line: right over the visible columns, and from the last column to the
// next row (a new one at the end).
#pragma once

class QWidget;

// Moves the cursor of the string grid that is the focused widget or holds
// it; false (and nothing moved) when there is no such grid.
bool MoveOnEnterInGrid(QWidget* focused);
