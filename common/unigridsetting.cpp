#include "unigridsetting.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "KrxQuery.h"
#include "MessageBox.h"
#include "StringGrid.h"

namespace {

constexpr int kColId = 1;
constexpr int kColCaption = 2;
constexpr int kColWidth = 3;

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

QString QuoteSql(const QString& value) {
  QString quoted = value;
  quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
  return quoted;
}

// The identifier of a layout row as it goes into SQL: only a whole number,
// anything else could change the statement.
bool IsWholeNumber(const QString& text) {
  bool ok = false;
  text.toLongLong(&ok);
  return ok;
}

}  // namespace

Tfrmgridsetting::Tfrmgridsetting(krx::TKrxQuery& query, QWidget* parent) : QDialog(parent), KrxQ1(query) {
  setObjectName(QStringLiteral("frmgridsetting"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(291, 358);

  advgrid = new velmor::StringGrid(this);
  advgrid->setObjectName(QStringLiteral("advgrid"));
  advgrid->setGeometry(0, 0, 291, 318);
  advgrid->setColCount(4);
  advgrid->setRowCount(2);
  advgrid->setFixedRows(1);
  advgrid->setFixedCols(1);
  const QStringList captions = {QString(), QStringLiteral("ID"), QStringLiteral("名称"), QStringLiteral("宽度")};
  const int widths[] = {30, 3, 139, 93};
  for (int c = 0; c < 4; ++c) {
    advgrid->setCell(c, 0, captions[c]);
    advgrid->setCellAlignment(c, 0, Qt::AlignCenter);
    advgrid->setColWidth(c, widths[c]);
  }
  advgrid->setEditable(true);
  advgrid->GetEditorType = [](int col, int) {
    if (col == kColId) return velmor::EditorType::None;
    if (col == kColWidth) return velmor::EditorType::PositiveNumber;
    return velmor::EditorType::Edit;
  };

  btnsave = new QPushButton(QStringLiteral("保存(&Y)"), this);
  btnsave->setObjectName(QStringLiteral("btnsave"));
  btnsave->setGeometry(120, 325, 75, 25);
  btncancel = new QPushButton(QStringLiteral("取消(&C)"), this);
  btncancel->setObjectName(QStringLiteral("btncancel"));
  btncancel->setGeometry(205, 325, 75, 25);
  connect(btnsave, &QPushButton::clicked, this, [this] { btnsaveClick(); });
  connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

Tfrmgridsetting::~Tfrmgridsetting() = default;

void Tfrmgridsetting::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  FormShow();
}

void Tfrmgridsetting::FormShow() {
  advgrid->setColWidth(kColId, 0);
  KrxQ1.Close();
  KrxQ1.SetSQLText(Utf8(QStringLiteral("select * from picxGridsetting where ftablename='") + QuoteSql(TableName) +
                        QStringLiteral("' and fsethide=0 order by findex")));
  KrxQ1.Open();
  advgrid->beginUpdate();
  advgrid->clearRows(1, advgrid->rowCount() - 1);
  advgrid->setRowCount(2);
  int row = 1;
  while (!KrxQ1.Eof()) {
    advgrid->setCell(0, row, QString::number(row));
    advgrid->setCell(kColId, row, QString::fromStdString(KrxQ1.FieldByName("fitemid").AsString()));
    advgrid->setCell(kColCaption, row, QString::fromStdString(KrxQ1.FieldByName("fshowname").AsString()));
    advgrid->setCell(kColWidth, row, QString::fromStdString(KrxQ1.FieldByName("fwidth").AsString()));
    advgrid->addRow();
    ++row;
    KrxQ1.Next();
  }
  KrxQ1.Close();
  advgrid->endUpdate();
}

void Tfrmgridsetting::Execute(const QString& sql) {
  KrxQ1.Close();
  KrxQ1.SetSQLText(Utf8(sql));
  KrxQ1.ExecSQL();
}

void Tfrmgridsetting::btnsaveClick() {
  if (advgrid->isEditing() && !advgrid->commitEdit()) return;
  btnsave->setEnabled(false);
  // A failed statement stops the save with the engine's message; the button
  // must not stay dead after it.
  struct Reenable {
    QPushButton* button;
    ~Reenable() { button->setEnabled(true); }
  } reenable{btnsave};

  const int lastRow = advgrid->rowCount() - 1;
  for (int row = 1; row <= lastRow; ++row) {
    const QString id = advgrid->cell(kColId, row).trimmed();
    if (id.isEmpty() || !IsWholeNumber(id)) continue;
    QString width = advgrid->cell(kColWidth, row).trimmed();
    if (width.isEmpty()) width = QStringLiteral("0");
    if (!IsWholeNumber(width)) width = QStringLiteral("0");
    Execute(QStringLiteral("Update picxGridsetting set fwidth=") + width + QStringLiteral(" where fitemid=") + id);
  }
  for (int row = 1; row <= lastRow; ++row) {
    const QString id = advgrid->cell(kColId, row).trimmed();
    // Layouts travel as comma-separated lists, so a caption cannot hold an
    // ASCII comma without shifting every column after it.
    QString caption = advgrid->cell(kColCaption, row).trimmed();
    caption.replace(QLatin1Char(','), QChar(u'，'));
    if (id.isEmpty() || !IsWholeNumber(id) || caption.isEmpty()) continue;
    Execute(QStringLiteral("Update picxGridsetting set fshowname='") + QuoteSql(caption) +
            QStringLiteral("' where fitemid=") + id);
  }
  velmor::ShowInfo(this, QStringLiteral("保存成功！在您下次登录系统时才能看到效果。"));
  accept();
}
