// The parameters the sale-bill tests start from: two decimals, 米 as the
// default unit, a default customer and the capitals shown.
#pragma once

#include "uniType.h"

inline void UseSaleBillTestParameters() {
  SysParas = TSysParas{};
  SysParas.QtyDecimals = QStringLiteral("0.00");
  SysParas.PriceDecimals = QStringLiteral("0.00");
  SysParas.MoneyFormat = QStringLiteral("0.00");
  SysParas.DefaultUnitName = QStringLiteral("米");
  SysParas.DefaultCustomer = QStringLiteral("零售客户");
  SysParas.ShowCapitals = QStringLiteral("1");
}
