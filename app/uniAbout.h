// The About window: the system, its version and user, a word to the cable
// makers and traders it is for, and how to reach its maker.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TFRMABOUT : public QDialog {
  Q_OBJECT

 public:
  explicit TFRMABOUT(QWidget* parent = nullptr);

  QLabel* ilogo;
  QLabel* linfo;
  QPushButton* btnOK;

  void btnOKClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
};
