// The shared routines that read the database through a query component.
#include <QString>
#include <QStringList>

#include "KrxQuery.h"
#include "StringGrid.h"
#include "uniFunction.h"

namespace {

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

QString QuoteSql(const QString& value) {
  QString quoted = value;
  quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
  return quoted;
}

// Opens `sql` on the query and answers the first field of the first row as
// text (empty without a row); the query is closed again whatever happens.
QString FirstValue(krx::TKrxQuery& query, const QString& sql) {
  query.Close();
  query.SetSQLText(Utf8(sql));
  query.Open();
  struct Closer {
    krx::TKrxQuery& q;
    ~Closer() { q.Close(); }
  } closer{query};
  if (query.Eof() || query.FieldCount() == 0) return QString();
  return QString::fromStdString(query.Fields(0).AsString());
}

qlonglong ToWholeNumber(const QString& text) {
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok);
  if (!ok) throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
  return value;
}

}  // namespace

QString GetFieldNames(krx::TKrxDataSet& query) {
  QStringList names;
  for (const std::string& name : query.FieldNames()) names << QString::fromStdString(name);
  return names.join(QLatin1Char(','));
}

QString LoadGridSettingColumn(krx::TKrxQuery& query, const QString& table, const QString& settingsTable,
                              const QString& column) {
  query.Close();
  query.SetSQLText(Utf8(QStringLiteral("select ") + column + QStringLiteral(" from ") + settingsTable +
                        QStringLiteral(" where ftablename='") + QuoteSql(table) +
                        QStringLiteral("' and fhide=0 order by findex asc ")));
  query.Open();
  struct Closer {
    krx::TKrxQuery& q;
    ~Closer() { q.Close(); }
  } closer{query};
  QStringList values;
  while (!query.Eof()) {
    values << QString::fromStdString(query.Fields(0).AsString());
    query.Next();
  }
  return values.join(QLatin1Char(','));
}

void LoadGridFromQuery(velmor::StringGrid* grid, krx::TKrxDataSet& data, krx::TKrxQuery& layoutQuery,
                       const QString& table, bool footer) {
  const QString settings = QStringLiteral("picxGridsetting");
  const QStringList fields = SplitByCommas(GetFieldNames(data));
  const QStringList captions = SplitByCommas(LoadGridSettingColumn(layoutQuery, table, settings, QStringLiteral("fshowname")));
  const QStringList widths = SplitByCommas(LoadGridSettingColumn(layoutQuery, table, settings, QStringLiteral("fwidth")));
  const QStringList aligns = SplitByCommas(LoadGridSettingColumn(layoutQuery, table, settings, QStringLiteral("falign")));
  // Widths are read before the grid changes: a bad layout leaves it as it was.
  std::vector<int> pixels;
  for (int i = 0; i < captions.size(); ++i) pixels.push_back(static_cast<int>(ToWholeNumber(widths.value(i))));

  grid->beginUpdate();
  struct Resume {
    velmor::StringGrid* g;
    ~Resume() { g->endUpdate(); }
  } resume{grid};
  grid->clear();
  grid->clearMerges();
  grid->setRowCount(0);
  grid->setFooterVisible(footer);
  grid->setColCount(static_cast<int>(captions.size()) + 1);
  const int rows = static_cast<int>(data.RecordCount());
  grid->setRowCount(rows == 0 ? (footer ? 3 : 2) : rows + (footer ? 2 : 1));
  for (int i = 0; i < captions.size(); ++i) {
    grid->setColWidth(i + 1, pixels[static_cast<size_t>(i)]);
    grid->setCell(i + 1, 0, captions[i]);
    grid->setCellAlignment(i + 1, 0, Qt::AlignCenter);
  }
  std::vector<Qt::Alignment> fieldAlign;
  for (int i = 0; i < fields.size(); ++i) {
    const QString a = aligns.value(i).trimmed();
    fieldAlign.push_back(a == QLatin1String("-1") ? Qt::AlignLeft
                         : a == QLatin1String("0") ? Qt::AlignHCenter
                         : a == QLatin1String("1") ? Qt::AlignRight
                                                   : Qt::Alignment());
  }
  data.First();
  for (int row = 1; !data.Eof(); ++row, data.Next()) {
    grid->setCell(0, row, QString::number(row));
    for (int i = 0; i < fields.size() && i < data.FieldCount(); ++i) {
      grid->setCell(i + 1, row, QString::fromStdString(data.Fields(i).AsString()));
      if (fieldAlign[static_cast<size_t>(i)]) grid->setCellAlignment(i + 1, row, fieldAlign[static_cast<size_t>(i)]);
    }
  }
}

QString GetNextNumber(krx::TKrxQuery& query, const QString& table, const QString& column, const QString& condition) {
  const QString value = FirstValue(query, QStringLiteral("select max(") + column + QStringLiteral(") as ") + column +
                                              QStringLiteral(" from ") + table + QStringLiteral(" ") + condition);
  if (value.isEmpty()) return QStringLiteral("1");
  return QString::number(ToWholeNumber(value) + 1);
}

int CountRecords(krx::TKrxQuery& query, const QString& table, const QString& column, const QString& condition) {
  const QString value = FirstValue(query, QStringLiteral("select count(") + column + QStringLiteral(") as ") + column +
                                              QStringLiteral(" from ") + table + QStringLiteral(" ") + condition);
  return static_cast<int>(ToWholeNumber(value.isEmpty() ? QStringLiteral("0") : value));
}

QString GetFieldValue(krx::TKrxQuery& query, const QString& table, const QString& column, const QString& condition) {
  return FirstValue(query, QStringLiteral("select ") + column + QStringLiteral(" from ") + table +
                               QStringLiteral(" ") + condition);
}

QString MakeBillNumber(krx::TKrxQuery& query, int width) {
  const QString counter =
      FirstValue(query, QStringLiteral("select fparameter from pisysparameter where FName='单据编号'"));
  return FormatBillNumber(SysParas.BillPrefix, counter, width);
}
