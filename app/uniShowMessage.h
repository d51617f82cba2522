// The borderless notice window kept ready from start-up: topmost, never
// taking the activation, hidden by its own close button.
#pragma once

#include <QWidget>

class QToolButton;

class TfrmSHOWMESSAGE : public QWidget {
  Q_OBJECT

 public:
  // Owned by no window: the creator keeps it until exit.
  TfrmSHOWMESSAGE();
  ~TfrmSHOWMESSAGE() override;

  QToolButton* btnclose;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};

// The instance made at start, while it lives.
extern TfrmSHOWMESSAGE* frmSHOWMESSAGE;
