#include "uniType.h"

TSysParas SysParas;
