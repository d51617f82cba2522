// The data module: the one object that owns what every window shares for
// data access. It is created first at start and lives until exit. The
// database component and the query components join it with the engine's
// client layer.
#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

#include "KrxDatabase.h"
#include "KrxQuery.h"

class TfrmData : public QObject {
  Q_OBJECT

 public:
  // Positions in ilimg: the class trees show 0 for a node and 1 for the
  // selected node; the navigation bar takes the rest.
  enum ImageIndex {
    ImgClass = 0,
    ImgClassSelected,
    ImgProduct,
    ImgCustomer,
    ImgLinker,
    ImgCable,
    ImgSaleBill,
    ImgSearchBill,
    ImgSaleReport,
  };

  explicit TfrmData(QObject* parent = nullptr);
  ~TfrmData() override;

  // The image list of the trees and the navigation bar.
  QList<QIcon> ilimg;

  // The database file data/cpbill (alias "QUOTE", single-user, shared) and
  // the queries every window gives its SQL text to.
  krx::TKrxDatabase KrxDB;
  krx::TKrxQuery KrxQ1;    // login, settings, data clearing, most working windows
  krx::TKrxQuery KrxQ2;    // the shared list routines and the parameter load
  krx::TKrxQuery KrxPRINT; // bill printing
  krx::TKrxQuery KrxLast;  // the schema upgrade
  krx::TKrxQuery KrxHINT;  // friendly hints

  // Closes the connection to the database file; done when the main window
  // goes away.
  void Disconnect();
};

// The data module of the running program (null before it is created).
extern TfrmData* frmData;
