// Month and day names of the engine's locale (Chinese), in the narrow code
// page, for the MONTH, MON, DAY and DDD elements.
#pragma once

#include "KrxDateFormat.h"

namespace krx {

const TKrxDateNames& KrxLocaleDateNames();

}  // namespace krx
