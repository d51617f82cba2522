// The in-cell editors of the string grid: which widget each editor kind is,
// and reading and writing its text without caring which kind it is.
#pragma once

#include <QString>
#include <QStringList>

#include "StringGrid.h"

class QWidget;

namespace velmor {

struct CellEditorOptions {
  QStringList items;        // drop-down items (ComboEdit)
  bool autoComplete = false;  // complete the typed text from the items
};

// A new editor widget owned by `parent`, or nullptr for EditorType::None.
QWidget* CreateCellEditor(EditorType type, const CellEditorOptions& options, QWidget* parent);
QString CellEditorText(const QWidget* editor);
// Puts `text` into the editor; all of it selected or the caret at its end.
void SetCellEditorText(QWidget* editor, const QString& text, bool selectAll);
// The widget that receives the keys: the editor or its inner line edit.
QWidget* CellEditorKeyTarget(QWidget* editor);
// Opens the drop-down list of a ComboEdit editor; other editors ignore it.
void DropDownCellEditor(QWidget* editor);
bool IsCellEditorDroppedDown(const QWidget* editor);

}  // namespace velmor
