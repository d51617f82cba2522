// The routines the main window runs at its creation and on its hint timer.
#pragma once

#include "uniDatabase.h"
#include "uniHints.h"
