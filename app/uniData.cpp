#include "uniData.h"

#include "KrxPassDialog.h"
#include "KrxWaitForm.h"
#include "ShellPictures.h"

TfrmData* frmData = nullptr;

TfrmData::TfrmData(QObject* parent)
    : QObject(parent),
      KrxQ1("KrxQ1"),
      KrxQ2("KrxQ2"),
      KrxPRINT("KrxPRINT"),
      KrxLast("KrxLast"),
      KrxHINT("KrxHINT") {
  setObjectName(QStringLiteral("frmData"));
  KrxDB.SetName("KrxDB");
  KrxDB.SetDatabaseName("QUOTE");
  KrxDB.SetSessionName("Default");
  KrxDB.SetExclusive(false);
  KrxDB.SetMultiUser(false);
  KrxDB.SetMaxConnections(5000);
  velmor::KrxUsePassDialog(KrxDB);
  velmor::KrxUseWaitForm(KrxDB);  // long table operations show their progress
  for (krx::TKrxQuery* query : {&KrxQ1, &KrxQ2, &KrxPRINT, &KrxLast, &KrxHINT}) {
    query->SetDatabaseName("QUOTE");
    query->SetReadOnly(false);
  }
  ilimg = {
      MakeFolderIcon(false),
      MakeFolderIcon(true),
      MakeGlyphIcon(QStringLiteral("产"), QColor(0x2e, 0x7d, 0x32)),
      MakeGlyphIcon(QStringLiteral("客"), QColor(0x15, 0x65, 0xc0)),
      MakeGlyphIcon(QStringLiteral("联"), QColor(0x6a, 0x1b, 0x9a)),
      MakeGlyphIcon(QStringLiteral("缆"), QColor(0x00, 0x83, 0x8f)),
      MakeGlyphIcon(QStringLiteral("单"), QColor(0xd8, 0x43, 0x15)),
      MakeGlyphIcon(QStringLiteral("查"), QColor(0xef, 0x6c, 0x00)),
      MakeGlyphIcon(QStringLiteral("表"), QColor(0x45, 0x5a, 0x64)),
  };
  if (!frmData) frmData = this;
}

TfrmData::~TfrmData() {
  Disconnect();
  if (frmData == this) frmData = nullptr;
}

void TfrmData::Disconnect() { KrxDB.Disconnect(); }
