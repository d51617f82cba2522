#include "WorkingWindows.h"

#include "UNISYSSETTING.h"
#include "uniAbout.h"
#include "uniBackup.h"
#include "uniData.h"
#include "uniLogin.h"
#include "uniSaleBill.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
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
    auto* titleBar = new QWidget(this);
    titleBar->setObjectName(QStringLiteral("pResult"));
    titleBar->setFixedHeight(37);
    titleBar->setAutoFillBackground(true);
    QPalette titlePalette = titleBar->palette();
    titlePalette.setColor(QPalette::Window, kTitleBarColour);
    titleBar->setPalette(titlePalette);
    auto* titleLayout = new QHBoxLayout(titleBar);
    titleLayout->setContentsMargins(8, 0, 8, 0);
    auto* title = new QLabel(QStringLiteral(" ") + caption, titleBar);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    titleLayout->addWidget(title);
    titleLayout->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("关闭"), titleBar);
    close->setObjectName(QStringLiteral("sbclose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    titleLayout->addWidget(close);
    layout->addWidget(titleBar);
    layout->addStretch(1);
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
    case WindowKind::SaleBill: window = new TfrmSaleBill(parent, &frmData->KrxQ1, &frmData->KrxQ2); break;
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
