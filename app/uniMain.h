// The main window: the top strip, the navigation bar, the content pane in
// which the working windows open, the main menu and the status bar. It sees
// every key pressed anywhere inside it, also inside the working windows,
// and acts on Enter and on the sale bill's function keys.
#pragma once

#include <QMainWindow>

#include "WorkingWindows.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenuBar;
class QSplitter;
class QStatusBar;
class QTimer;
namespace velmor {
class NavBar;
}

class TfrmMain : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kStatusPanels = 4;

  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  // Opens the working window of the kind in its slot: a fresh instance in
  // the content pane when the slot's window is not showing; in every case
  // it is shown and brought to the front. Answers the slot's instance.
  QWidget* OpenWorkingWindow(WindowKind kind);

  QLabel* StatusPanel(int index) const;

  // The controls, named as their object names.
  QWidget* pllll;
  QLabel* lad1;
  QLabel* lad2;
  QWidget* PLNAVI;
  velmor::NavBar* NB;
  QSplitter* Splitter1;
  QWidget* pContent;
  QStatusBar* SB;
  QMenuBar* mm;
  QTimer* TimerHint;
  QAction* nsyssetting;
  QAction* nbackup;
  QAction* nrestore;
  QAction* nexit;
  QAction* nproduct;
  QAction* ncustomer;
  QAction* nlinker;
  QAction* ncable;
  QAction* ncalc;
  QAction* nhelp;
  QAction* nonline;
  QAction* nABOUT;

 public slots:
  void spsalebillClick();
  void sbsearchbillClick();
  void spsalereportClick();
  void spproductClick();
  void spcustomerClick();
  void splinkerClick();
  void spcableClick();
  void nproductClick();
  void ncustomerClick();
  void nlinkerClick();
  void ncableClick();
  void nsyssettingClick();
  void nbackupClick();
  void nrestoreClick();
  void nexitClick();
  void ncalcClick();
  void nonlineClick();
  void nABOUTClick();
  void TimerHintTimer();
  void pllllDblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildTopStrip(QWidget* central);
  void BuildNavigation();
  void BuildMenu();
  void BuildStatusBar();

  void FormCreate();
  void FormShow();
  bool FormCloseQuery();
  void FormDestroy();
  // True when the key was consumed.
  bool FormKeyPress(QKeyEvent* key);
  void FormKeyDown(QKeyEvent* key);
  bool IsFirstDelivery(QWidget* receiver) const;
  void FitWorkingWindows();
  void ShowModalWindow(DialogKind kind);

  QLabel* statusPanels_[kStatusPanels] = {};
  bool shown_ = false;
  bool leavingFromLogin_ = false;
};

// The main window of the running program (null before it is created).
extern TfrmMain* frmMain;

// Where the top strip's banner and advertising line and the "在线讨论" item
// lead.
extern const QString kMakerWebSite;
extern const QString kDiscussionPage;
