// The slots of the long-lived windows and the factory that makes a window
// of each kind. The main window asks the factory for a fresh instance when
// the one in a slot is not showing; other windows act on whatever instance
// a slot currently holds (the product picker of the sale bill, for one,
// puts itself into the product slot).
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class QDialog;

enum class WindowKind {
  SaleBill,            // TfrmSaleBill
  SaleBillManagement,  // Tfrmsalebillmanagement
  SaleReport,          // TfrmSaleReport
  Product,             // TfrmProduct
  Customer,            // TfrmCustomer
  Linker,              // TfrmLinker
};

// The windows created anew at each use and shown modal.
enum class DialogKind {
  SysSetting,  // TFRMSYSSETTING
  Knowledge,   // TfrmKnowledge
  About,       // TFRMABOUT
};

// The slot holding the current instance of the kind (null when none).
QPointer<QWidget>& WindowSlot(WindowKind kind);
// The window's caption, as its own class sets it.
QString WindowCaption(WindowKind kind);

// A new working window of the kind as a child of parent.
QWidget* CreateWorkingWindow(WindowKind kind, QWidget* parent);
// A new modal window of the kind, owned by the caller.
std::unique_ptr<QDialog> CreateModalWindow(DialogKind kind, QWidget* parent);

// The login at start: true when the user got in, false when the user left
// through the login window's exit button.
bool RunLoginWindow(QWidget* parent);

// Copying the database file to a backup and back.
void RunBackup(QWidget* parent);
void RunRestore(QWidget* parent);
