#include "StringGridSearchBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "StringGrid.h"

namespace velmor {

StringGridSearchBar::StringGridSearchBar(StringGrid& grid, QWidget* parent) : QWidget(parent), grid_(grid) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  find_ = new QLineEdit(this);
  find_->setObjectName(QStringLiteral("edfind"));
  next_ = new QPushButton(QStringLiteral("下一个"), this);
  next_->setObjectName(QStringLiteral("sbnext"));
  previous_ = new QPushButton(QStringLiteral("上一个"), this);
  previous_->setObjectName(QStringLiteral("sbprevious"));
  highlight_ = new QCheckBox(QStringLiteral("高亮显示"), this);
  highlight_->setObjectName(QStringLiteral("cbhighlight"));
  layout->addWidget(find_, 1);
  layout->addWidget(next_);
  layout->addWidget(previous_);
  layout->addWidget(highlight_);
  connect(next_, &QPushButton::clicked, this, [this] { search(false); });
  connect(previous_, &QPushButton::clicked, this, [this] { search(true); });
  connect(find_, &QLineEdit::returnPressed, this, [this] { search(false); });
  connect(find_, &QLineEdit::textChanged, this, [this] { updateHighlight(); });
  connect(highlight_, &QCheckBox::toggled, this, [this] { updateHighlight(); });
}

void StringGridSearchBar::search(bool backwards) { grid_.findNext(find_->text(), backwards); }

void StringGridSearchBar::updateHighlight() {
  grid_.setHighlightText(highlight_->isChecked() ? find_->text() : QString());
}

}  // namespace velmor
