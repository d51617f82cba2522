// The search bar under a string grid: a find field with "下一个" and
// "上一个", and "高亮显示" to paint every cell holding the text.
#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velmor {

class StringGrid;

class StringGridSearchBar : public QWidget {
  Q_OBJECT

 public:
  StringGridSearchBar(StringGrid& grid, QWidget* parent = nullptr);

  QLineEdit* findEdit() const { return find_; }
  QPushButton* nextButton() const { return next_; }
  QPushButton* previousButton() const { return previous_; }
  QCheckBox* highlightBox() const { return highlight_; }

 private:
  void search(bool backwards);
  void updateHighlight();

  StringGrid& grid_;
  QLineEdit* find_;
  QPushButton* next_;
  QPushButton* previous_;
  QCheckBox* highlight_;
};

}  // namespace velmor
