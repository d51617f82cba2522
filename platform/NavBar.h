// The navigation bar beside the content pane: captioned panels of tool
// buttons stacked one under the other. A click on a panel's header folds
// the panel to its header or opens it again; the panel last opened is the
// active one and its header is highlighted.
#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>

class QToolButton;
class QVBoxLayout;

namespace velmor {

class NavPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kButtonWidth = 150;
  static constexpr int kButtonHeight = 33;

  NavPanel(const QString& caption, QWidget* parent);

  QString Caption() const;
  // A tool button of 150 × 33 with a hand cursor; the hint is its tool tip
  // (an empty hint shows none).
  QToolButton* AddButton(const QString& objectName, const QString& caption, const QString& hint,
                         const QIcon& icon = QIcon());
  QList<QToolButton*> Buttons() const { return buttons_; }

  bool IsOpen() const;
  void SetOpen(bool open);
  QToolButton* Header() const { return header_; }

 private:
  friend class NavBar;
  void SetHighlighted(bool on);

  QToolButton* header_;
  QWidget* body_;
  QVBoxLayout* bodyLayout_;
  QList<QToolButton*> buttons_;
};

class NavBar : public QWidget {
  Q_OBJECT

 public:
  explicit NavBar(QWidget* parent = nullptr);

  NavPanel* AddPanel(const QString& caption);
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  NavPanel* Panel(int index) const { return panels_.value(index); }

  int ActivePanel() const { return active_; }
  // Opens the panel and makes it the active one.
  void SetActivePanel(int index);

 signals:
  void ActivePanelChanged(int index);

 private:
  QVBoxLayout* layout_;
  void HeaderClicked(int index);

  QList<NavPanel*> panels_;
  int active_ = -1;
};

}  // namespace velmor
