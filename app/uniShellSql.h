// The few statement helpers the shell's small windows share: a typed value
// as a quoted SQL literal, one changing statement, one value read.
#pragma once

#include <QString>

#include "KrxQuery.h"

// The value between single quotes, a quote inside it doubled, so that what a
// user typed can never end the literal early.
inline QString SqlQuoted(const QString& value) {
  QString escaped = value;
  escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

// Runs one changing statement on the query and leaves it closed.
inline void ExecStatement(krx::TKrxQuery& query, const QString& sql) {
  query.Close();
  query.SetSQLText(sql.toUtf8().toStdString());
  query.ExecSQL();
  query.Close();
}

// The named field of the first row, or empty text when there is no row.
inline QString ReadFirstValue(krx::TKrxQuery& query, const QString& sql, const char* field) {
  query.Close();
  query.SetSQLText(sql.toUtf8().toStdString());
  query.Open();
  QString value;
  query.First();
  if (!query.Eof()) value = QString::fromStdString(query.FieldByName(field).AsString());
  query.Close();
  return value;
}

// Writes one row of pisysparameter.
inline void WriteParameter(krx::TKrxQuery& query, const QString& name, const QString& value) {
  ExecStatement(query, QStringLiteral("update pisysparameter set fparameter=") + SqlQuoted(value) +
                           QStringLiteral(" where fname=") + SqlQuoted(name));
}
