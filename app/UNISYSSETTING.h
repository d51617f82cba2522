// The settings window: the system parameters on the first page, the user
// and password change on the second, the data clearing buttons and the date
// format on the third. Each parameter is written to pisysparameter and to
// SysParas at once.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QWidget;

class TFRMSYSSETTING : public QDialog {
  Q_OBJECT

 public:
  explicit TFRMSYSSETTING(QWidget* parent = nullptr);

  QTabWidget* pc;
  QWidget* tssyspara;
  QWidget* tslogin;
  QWidget* tschushihua;
  QLabel* lHINT;
  QPushButton* btnsave;
  QPushButton* btnclose;

  // 系统参数
  QSpinBox* edqtyround;
  QSpinBox* edpriceround;
  QSpinBox* edtiaomaqty;
  QCheckBox* cbtiaomastart;
  QLineEdit* eddefaultcs;
  QCheckBox* cbshowdaxie;
  QRadioButton* rbcpk;
  QRadioButton* rbxsd;
  QRadioButton* rbnorepeat;
  QRadioButton* rballowrepeat;
  QRadioButton* rbxg1;
  QRadioButton* rbxg2;
  QRadioButton* rbxg3;
  QRadioButton* rbautosave;
  QRadioButton* rbnotautosave;
  QRadioButton* rbsavehint;
  QRadioButton* rbnosavehint;

  // 登录项
  QLineEdit* edusername;
  QLineEdit* foldpw;
  QLineEdit* fnewpw1;
  QLineEdit* fnewpw2;
  QPushButton* sbmodiftpassword;

  // 初始化
  QPushButton* b1;
  QPushButton* b2;
  QPushButton* b3;
  QPushButton* b4;
  QPushButton* b5;
  QCheckBox* cbIfPrintSpace;
  QRadioButton* rbpd;
  QRadioButton* rbbpd;
  QLabel* ldateformathint;
  QLineEdit* eddateformat;
  QPushButton* btnsyssetdate;

  void btnsaveClick();
  void sbmodiftpasswordClick();
  void btnsyssetdateClick();
  void b1Click();
  void b2Click();
  void b3Click();
  void b4Click();
  void b5Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildParameterPage();
  void BuildLoginPage();
  void BuildClearingPage();
  void FormShow();
  void RefreshDateFormatLabel();
  // Asks the question; on Yes runs the statements with the button disabled.
  void ClearData(QPushButton* button, const QString& question, const QStringList& statements);
};
