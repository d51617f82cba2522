#include "WorkingWindows.h"

#include "UNISYSSETTING.h"
#include "uniAbout.h"
#include "uniBackup.h"
#include "uniLogin.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

namespace {

constexpr int kWindowKinds = 6;

struct WindowInfo {
  const char* objectName;
  const char* caption;
};

// Object names follow the instance variables of the window units.
const std::array<WindowInfo, kWindowKinds> kWindows = {{
    {"frmSaleBill", "销售单"},
    {"frmsalebillmanagement", "查找销售单"},
    {"frmSaleReport", "统计报表"},
    {"frmProduct", "电缆产品库"},
    {"frmCustomer", "客户资料"},
    {"frmLinker", "联系人资料"},
}};

const QColor kTitleBarColour(255, 202, 149);

// PLACEHOLDER — a working window whose real class has not been written
// yet: its caption in a title bar and a button that closes it, so that the
// navigation works. Each kind's real window replaces it in
// CreateWorkingWindow.
class TPendingWorkingWindow : public QWidget {
 public:
  TPendingWorkingWindow(const QString& caption, QWidget* parent) : QWidget(parent) {
    setWindowTitle(caption);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    titleBar_ = new QWidget(this);
    titleBar_->setObjectName(QStringLiteral("pResult"));
    titleBar_->setFixedHeight(37);
    titleBar_->setAutoFillBackground(true);
    QPalette titlePalette = titleBar_->palette();
    titlePalette.setColor(QPalette::Window, kTitleBarColour);
    titleBar_->setPalette(titlePalette);
    titleLayout_ = new QHBoxLayout(titleBar_);
    titleLayout_->setContentsMargins(8, 0, 8, 0);
    auto* title = new QLabel(QStringLiteral(" ") + caption, titleBar_);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    titleLayout_->addWidget(title);
    titleLayout_->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("关闭"), titleBar_);
    close->setObjectName(QStringLiteral("sbclose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    titleLayout_->addWidget(close);
    layout->addWidget(titleBar_);
    layout->addStretch(1);
  }

 protected:
  // Adds a button of the title bar before its close button.
  QToolButton* AddTitleButton(const QString& objectName, const QString& caption) {
    auto* button = new QToolButton(titleBar_);
    button->setObjectName(objectName);
    button->setText(caption);
    button->setAutoRaise(true);
    titleLayout_->insertWidget(titleLayout_->count() - 1, button);
    return button;
  }
  QWidget* titleBar_;
  QHBoxLayout* titleLayout_;
};

// PLACEHOLDER — the sale bill window until it is written: it carries the
// controls the main window's function keys act on, which do nothing yet.
class TPendingSaleBill : public TPendingWorkingWindow {
 public:
  explicit TPendingSaleBill(QWidget* parent) : TPendingWorkingWindow(kWindows[0].caption, parent) {
    AddTitleButton(QStringLiteral("spnewbill"), QStringLiteral("新增(F2)"));
    AddTitleButton(QStringLiteral("spsavebill"), QStringLiteral("保存(F3)"));
    AddTitleButton(QStringLiteral("sppreviewbill"), QStringLiteral("预览(F7)"));
    AddTitleButton(QStringLiteral("sbprintbill"), QStringLiteral("打印(F8)"));
    auto* search = new QLineEdit(titleBar_);
    search->setObjectName(QStringLiteral("edsearch"));
    search->setFixedWidth(160);
    titleLayout_->insertWidget(1, search);
  }
};

// PLACEHOLDER — a modal window whose real class has not been written yet.
std::unique_ptr<QDialog> MakePendingDialog(const QString& caption, QSize size, QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle(caption);
  dialog->resize(size);
  auto* layout = new QVBoxLayout(dialog.get());
  layout->addStretch(1);
  auto* ok = new QPushButton(QStringLiteral("关闭"), dialog.get());
  QObject::connect(ok, &QPushButton::clicked, dialog.get(), &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignRight);
  return dialog;
}

}  // namespace

QPointer<QWidget>& WindowSlot(WindowKind kind) {
  static std::array<QPointer<QWidget>, kWindowKinds> windowSlots;
  return windowSlots.at(static_cast<size_t>(kind));
}

QString WindowCaption(WindowKind kind) {
  return QString::fromUtf8(kWindows.at(static_cast<size_t>(kind)).caption);
}

QWidget* CreateWorkingWindow(WindowKind kind, QWidget* parent) {
  QWidget* window = nullptr;
  switch (kind) {
    case WindowKind::SaleBill: window = new TPendingSaleBill(parent); break;
    case WindowKind::SaleBillManagement:
    case WindowKind::SaleReport:
    case WindowKind::Product:
    case WindowKind::Customer:
    case WindowKind::Linker: window = new TPendingWorkingWindow(WindowCaption(kind), parent); break;
  }
  window->setObjectName(QString::fromLatin1(kWindows.at(static_cast<size_t>(kind)).objectName));
  return window;
}

std::unique_ptr<QDialog> CreateModalWindow(DialogKind kind, QWidget* parent) {
  switch (kind) {
    case DialogKind::SysSetting: return std::make_unique<TFRMSYSSETTING>(parent);
    case DialogKind::Knowledge: return MakePendingDialog(QStringLiteral("线缆知识"), {800, 560}, parent);
    case DialogKind::About: return std::make_unique<TFRMABOUT>(parent);
  }
  return nullptr;
}

bool RunLoginWindow(QWidget* parent) { return RunLogin(parent); }

void RunBackup(QWidget* parent) { nbackupClick(parent); }
void RunRestore(QWidget* parent) { nrestoreClick(parent); }
