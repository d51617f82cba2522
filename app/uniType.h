// The global parameter record, filled at start and read by every window.
#pragma once

#include <QString>

struct TSysParas {
  QString UserName;
  QString CompanyTitle;
  QString SystemName;
  QString PrintTitle;
  QString VersionText;
  QString AppDir;
  QString SystemDir;
  QString Password;
  QString QtyDecimals;
  QString PriceDecimals;
  QString MoneyFormat;
  QString BillPrefix;
  QString DefaultStandardID;
  QString DefaultStandardName;
  QString DefaultUnitName;
  QString DefaultCustomer;
  QString ShowCapitals;
  QString SaleColumnSource;
  QString DuplicateProductMode;
  QString NameModelSpec;
  QString AutoSaveOnPrint;
  QString PromptOnSave;
  QString BarcodeMinLength;
  QString BarcodeEnabled;
  QString FillEmptyRows;
  QString StrictColourSum;
};

extern TSysParas SysParas;
