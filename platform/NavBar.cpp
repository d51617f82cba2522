#include "NavBar.h"

#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmor {

namespace {
constexpr int kHeaderHeight = 26;
const char* const kHeaderStyle =
    "QToolButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f4f7fc, stop:1 #c9d6ea);"
    " border: 1px solid #8ea4c8; font-weight: bold; color: #1f3a68; padding-left: 6px; text-align: left; }"
    "QToolButton[active=\"true\"] { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffe9b8, stop:1 #f7c45c);"
    " border-color: #c0902c; }";
const char* const kButtonStyle =
    "QToolButton { border: none; background: transparent; color: #10263f; padding-left: 12px; }"
    "QToolButton:hover { background: #e3ecf9; border: 1px solid #9db6dc; }"
    "QToolButton:pressed { background: #c9daf3; }";
}  // namespace

NavPanel::NavPanel(const QString& caption, QWidget* parent) : QWidget(parent) {
  // As high as its header and open body; the bar's free space stays below.
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  header_ = new QToolButton(this);
  header_->setText(caption);
  header_->setAutoRaise(false);
  header_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  header_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  header_->setFixedHeight(kHeaderHeight);
  header_->setCursor(Qt::PointingHandCursor);
  header_->setStyleSheet(QString::fromLatin1(kHeaderStyle));
  layout->addWidget(header_);

  body_ = new QWidget(this);
  bodyLayout_ = new QVBoxLayout(body_);
  bodyLayout_->setContentsMargins(1, 4, 1, 4);
  bodyLayout_->setSpacing(2);
  layout->addWidget(body_);
}

QString NavPanel::Caption() const { return header_->text(); }

bool NavPanel::IsOpen() const { return !body_->isHidden(); }

void NavPanel::SetHighlighted(bool on) {
  header_->setProperty("active", on);
  header_->style()->unpolish(header_);
  header_->style()->polish(header_);
}

void NavPanel::SetOpen(bool open) {
  body_->setVisible(open);
  // The bar's layout must hear of the new height also when this happens
  // while the window is being shown.
  updateGeometry();
}

QToolButton* NavPanel::AddButton(const QString& objectName, const QString& caption, const QString& hint,
                                 const QIcon& icon) {
  auto* button = new QToolButton(body_);
  button->setObjectName(objectName);
  button->setText(caption);
  button->setToolTip(hint);
  button->setIcon(icon);
  button->setIconSize(QSize(24, 24));
  button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextBesideIcon);
  button->setFixedSize(kButtonWidth, kButtonHeight);
  button->setCursor(Qt::PointingHandCursor);
  button->setAutoRaise(true);
  button->setStyleSheet(QString::fromLatin1(kButtonStyle));
  bodyLayout_->addWidget(button, 0, Qt::AlignHCenter);
  buttons_.append(button);
  return button;
}

NavBar::NavBar(QWidget* parent) : QWidget(parent) {
  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(1);
  layout_->addStretch(1);
}

NavPanel* NavBar::AddPanel(const QString& caption) {
  auto* panel = new NavPanel(caption, this);
  const int index = static_cast<int>(panels_.size());
  layout_->insertWidget(index, panel);
  panels_.append(panel);
  connect(panel->Header(), &QToolButton::clicked, this, [this, index] { HeaderClicked(index); });
  if (active_ < 0) SetActivePanel(index);
  return panel;
}

void NavBar::HeaderClicked(int index) {
  NavPanel* panel = panels_.value(index);
  if (!panel) return;
  if (panel->IsOpen()) {
    panel->SetOpen(false);
  } else {
    SetActivePanel(index);
  }
}

void NavBar::SetActivePanel(int index) {
  if (index < 0 || index >= panels_.size()) return;
  panels_[index]->SetOpen(true);
  for (int i = 0; i < panels_.size(); ++i) panels_[i]->SetHighlighted(i == index);
  if (active_ == index) return;
  active_ = index;
  emit ActivePanelChanged(index);
}

}  // namespace velmor
