#include "uniHints.h"

#include <QRandomGenerator>
#include <stdexcept>

#include "KrxQuery.h"
#include "uniData.h"
#include "uniFunction.h"

const QString kFirstFriendlyHint =
    QStringLiteral("欢迎使用Velmor科技系列软件！访问 www.velmor.example 获取更多...");

namespace {

TfrmData& DataModule() {
  if (!frmData) throw std::logic_error("the data module has not been created");
  return *frmData;
}

}  // namespace

QString FriendlyHintNumbered(int number) {
  krx::TKrxQuery& query = DataModule().KrxHINT;
  query.Close();
  query.SetSQLText(QStringLiteral("select fhint from cqfriendhint where finterid=%1").arg(number).toUtf8().toStdString());
  query.Open();
  struct Closer {
    krx::TKrxQuery& q;
    ~Closer() { q.Close(); }
  } closer{query};
  query.First();
  if (query.Eof()) return QString();
  return QString::fromStdString(query.FieldByName("fhint").AsString()).trimmed();
}

QString GetFriendlyHint() {
  const int count = CountRecords(DataModule().KrxQ2, QStringLiteral("cqfriendhint"), QStringLiteral("finterid"), QString());
  // No number can be drawn from an empty table.
  if (count <= 0) return QString();
  // The global generator is seeded from the system once; every draw is fresh.
  const int number = static_cast<int>(QRandomGenerator::global()->bounded(1, count + 1));
  return FriendlyHintNumbered(number);
}
