// The grid settings window: the user renames the columns of one list and
// changes their widths; the stored layout is rewritten at once and shows
// the next time the list is built.
#pragma once

#include <QDialog>
#include <QString>

class QPushButton;

namespace krx {
class TKrxQuery;
}
namespace velmor {
class StringGrid;
}

class Tfrmgridsetting : public QDialog {
  Q_OBJECT

 public:
  // The window reads and writes through `query` (the data module's KrxQ1).
  explicit Tfrmgridsetting(krx::TKrxQuery& query, QWidget* parent = nullptr);
  ~Tfrmgridsetting() override;

  // The table whose layout is edited; the opener sets it and the caption.
  QString TableName;

  // Fills the grid from the layout rows the settings window offers.
  void FormShow();
  // Stores widths and captions, tells the user and closes the window.
  void btnsaveClick();

  velmor::StringGrid* advgrid = nullptr;
  QPushButton* btnsave = nullptr;
  QPushButton* btncancel = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Execute(const QString& sql);

  krx::TKrxQuery& KrxQ1;
};
