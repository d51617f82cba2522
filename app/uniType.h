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

// The record attached to every class-tree node.
struct TBases {
  qint32 ItemID = 0;
  qint32 ParentID = 0;
  QString Caption;
  QString TableName;
};

// A request to write a list grid to a spreadsheet file: the file (empty: ask
// the user) and the sheet's name, which is also the list's title.
struct TSAVEGRID {
  QString FileName;
  QString SheetName;
};
