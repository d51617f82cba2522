#include "uniShowMessage.h"

#include <QPainter>
#include <QResizeEvent>
#include <QToolButton>

TfrmSHOWMESSAGE* frmSHOWMESSAGE = nullptr;

TfrmSHOWMESSAGE::TfrmSHOWMESSAGE()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("frmSHOWMESSAGE"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  resize(274, 177);
  QFont songti(QStringLiteral("宋体"));
  songti.setPixelSize(12);
  setFont(songti);
  btnclose = new QToolButton(this);
  btnclose->setObjectName(QStringLiteral("btnclose"));
  btnclose->setText(QStringLiteral("×"));
  btnclose->setAutoRaise(true);
  btnclose->setFocusPolicy(Qt::NoFocus);
  btnclose->setFixedSize(17, 17);
  btnclose->move(width() - 17, 0);
  connect(btnclose, &QToolButton::clicked, this, &QWidget::hide);
  if (!frmSHOWMESSAGE) frmSHOWMESSAGE = this;
}

TfrmSHOWMESSAGE::~TfrmSHOWMESSAGE() {
  if (frmSHOWMESSAGE == this) frmSHOWMESSAGE = nullptr;
}

void TfrmSHOWMESSAGE::paintEvent(QPaintEvent*) {
  // A frame on the left, top and right; the bottom stays open.
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  const int right = width() - 1;
  const int bottom = height() - 1;
  painter.drawLine(0, 0, 0, bottom);
  painter.drawLine(0, 0, right, 0);
  painter.drawLine(right, 0, right, bottom);
}

void TfrmSHOWMESSAGE::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  btnclose->move(width() - btnclose->width(), 0);
  update();
}
