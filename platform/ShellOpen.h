// Opening a file or a web address with the program the desktop associates
// with it, the way a user double-clicks it.
#pragma once

#include <QString>

namespace velmor {

// An executable file is started on its own; any other file opens with its
// associated program. Answers false, quietly, when the file is missing or
// nothing could open it.
bool OpenWithProgram(const QString& path);

// Opens the address in the default browser; false when that failed.
bool OpenWebAddress(const QString& address);

}  // namespace velmor
