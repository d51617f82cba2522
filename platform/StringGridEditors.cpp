#include "StringGridEditors.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace velmor {

namespace {

// A decimal number as it is typed: an optional sign, digits and one decimal
// separator (the locale's, and "." which every keyboard offers).
QRegularExpression DecimalPattern() {
  const QString point = QRegularExpression::escape(QLocale().decimalPoint());
  return QRegularExpression(QStringLiteral("^[-+]?\\d*(?:[\\.%1]\\d*)?$").arg(point));
}

QLineEdit* NewLineEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setFrame(false);
  return edit;
}

}  // namespace

QWidget* CreateCellEditor(EditorType type, const CellEditorOptions& options, QWidget* parent) {
  switch (type) {
    case EditorType::None:
      return nullptr;
    case EditorType::Edit:
      return NewLineEdit(parent);
    case EditorType::Numeric: {
      auto* edit = NewLineEdit(parent);
      edit->setValidator(new QRegularExpressionValidator(DecimalPattern(), edit));
      return edit;
    }
    case EditorType::PositiveNumber: {
      auto* edit = NewLineEdit(parent);
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^\\d*$")), edit));
      return edit;
    }
    case EditorType::ComboEdit: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(true);
      combo->setFrame(false);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setMaxVisibleItems(12);
      combo->addItems(options.items);
      if (options.autoComplete) {
        auto* completer = new QCompleter(options.items, combo);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setCompletionMode(QCompleter::InlineCompletion);
        combo->setCompleter(completer);
      } else {
        combo->setCompleter(nullptr);
      }
      return combo;
    }
  }
  return nullptr;
}

QString CellEditorText(const QWidget* editor) {
  if (auto* combo = qobject_cast<const QComboBox*>(editor)) return combo->currentText();
  if (auto* edit = qobject_cast<const QLineEdit*>(editor)) return edit->text();
  return QString();
}

void SetCellEditorText(QWidget* editor, const QString& text, bool selectAll) {
  QLineEdit* edit = qobject_cast<QLineEdit*>(editor);
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    const int index = combo->findText(text, Qt::MatchExactly);
    combo->setCurrentIndex(index);
    edit = combo->lineEdit();
  }
  if (!edit) return;
  edit->setText(text);
  if (selectAll) {
    edit->selectAll();
  } else {
    edit->deselect();
    edit->setCursorPosition(text.size());
  }
}

QWidget* CellEditorKeyTarget(QWidget* editor) {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) return combo->lineEdit();
  return editor;
}

void DropDownCellEditor(QWidget* editor) {
  auto* combo = qobject_cast<QComboBox*>(editor);
  if (!combo || combo->count() == 0) return;
  // Showing the list must not move the text typed so far.
  const QString typed = combo->currentText();
  combo->showPopup();
  if (combo->lineEdit()->text() != typed) combo->lineEdit()->setText(typed);
}

bool IsCellEditorDroppedDown(const QWidget* editor) {
  auto* combo = qobject_cast<const QComboBox*>(editor);
  return combo && combo->view() && combo->view()->isVisible();
}

}  // namespace velmor
