// Painting of the string grid: the scrolling body first, then the fixed
// columns, the fixed rows and their corner over it, and the floating footer
// last, so the fixed parts stay in place whatever is scrolled.
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <QScrollBar>
#include <algorithm>

#include "StringGrid.h"

namespace velmor {

namespace {

const QColor kHighlightColor(255, 255, 128);  // cells matching the search text

void DrawSortIndicator(QPainter& painter, const QRect& rect, Qt::SortOrder order) {
  const int size = 4;
  const int cx = rect.right() - 8;
  const int cy = rect.center().y();
  QPolygon arrow;
  if (order == Qt::AscendingOrder)
    arrow << QPoint(cx - size, cy + size / 2) << QPoint(cx + size, cy + size / 2) << QPoint(cx, cy - size / 2 - 1);
  else
    arrow << QPoint(cx - size, cy - size / 2) << QPoint(cx + size, cy - size / 2) << QPoint(cx, cy + size / 2 + 1);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(90, 90, 90));
  painter.drawPolygon(arrow);
  painter.restore();
}

}  // namespace

void StringGrid::paintEvent(QPaintEvent*) {
  ensureFooter();
  QPainter painter(viewport());
  const QRect all = viewport()->rect();
  painter.fillRect(all, palette().color(QPalette::Base));
  const int fixedW = std::min(fixedWidth(), all.width());
  const int fixedH = std::min(fixedHeight(), all.height());
  const int footerH = footerHeight();
  const int footerTop = footerH > 0 ? viewY(0, rowCount() - 1) : all.bottom() + 1;
  const int bodyBottom = std::min(all.bottom() + 1, footerTop);
  const int dataEnd = scrollRowsEnd();
  const int fixedRowEnd = std::min(fixedRows_, rowCount());
  const int fixedColEnd = std::min(fixedCols_, colCount_);

  const QRect body(fixedW, fixedH, all.width() - fixedW, bodyBottom - fixedH);
  const QRect left(0, fixedH, fixedW, bodyBottom - fixedH);
  paintRegion(painter, body, fixedRowEnd, dataEnd, fixedColEnd, colCount_);
  paintRegion(painter, left, fixedRowEnd, dataEnd, 0, fixedColEnd);
  paintRegion(painter, QRect(fixedW, 0, all.width() - fixedW, fixedH), 0, fixedRowEnd, fixedColEnd, colCount_);
  paintRegion(painter, QRect(0, 0, fixedW, fixedH), 0, fixedRowEnd, 0, fixedColEnd);
  if (footerH > 0) {
    const int footer = rowCount() - 1;
    paintRegion(painter, QRect(fixedW, footerTop, all.width() - fixedW, footerH), footer, footer + 1, fixedColEnd, colCount_);
    paintRegion(painter, QRect(0, footerTop, fixedW, footerH), footer, footer + 1, 0, fixedColEnd);
  }
}

void StringGrid::paintRegion(QPainter& painter, const QRect& clip, int rowFrom, int rowTo, int colFrom, int colTo) {
  if (clip.isEmpty() || rowFrom >= rowTo || colFrom >= colTo) return;
  painter.save();
  painter.setClipRect(clip);
  // Only the rows that fall into the region are visited.
  int firstRow = rowFrom;
  if (rowFrom >= fixedRows_ && !(footerVisible_ && rowFrom == rowCount() - 1))
    firstRow = std::max(rowFrom, fixedRows_ + verticalScrollBar()->value() / rowHeight_);
  std::vector<bool> mergePainted(merges_.size(), false);
  for (int r = firstRow; r < rowTo; ++r) {
    const int y = viewY(rowTop(r), r);
    if (y > clip.bottom()) break;
    if (y + rowHeight_ <= clip.top()) continue;
    for (int c = colFrom; c < colTo; ++c) {
      const int w = colWidth(c);
      if (w <= 0) continue;
      const int x = viewX(colLeft(c), c);
      if (x > clip.right()) break;
      if (x + w <= clip.left()) continue;
      const int merge = mergeIndexAt(c, r);
      if (merge >= 0) {
        if (mergePainted[static_cast<size_t>(merge)]) continue;
        mergePainted[static_cast<size_t>(merge)] = true;
        const QPoint base = merges_[static_cast<size_t>(merge)].topLeft();
        paintCell(painter, base.x(), base.y(), cellRect(base.x(), base.y()));
      } else {
        paintCell(painter, c, r, QRect(x, y, w, rowHeight_));
      }
    }
  }
  painter.restore();
}

void StringGrid::paintCell(QPainter& painter, int col, int row, const QRect& rect) {
  if (rect.isEmpty()) return;
  const Cell& cell = rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
  const bool isFooter = footerVisible_ && row == rowCount() - 1 && row >= fixedRows_;
  const bool isFixed = !isFooter && (row < fixedRows_ || col < fixedCols_);
  const bool isCurrent = col == curCol_ && row == curRow_;
  const QRect sel = selection();
  const bool isSelected = !isFixed && !isFooter && sel.contains(col, row);
  const bool hasFocusHere = hasFocus() || isEditing();

  QColor background = palette().color(QPalette::Base);
  if (isFixed) background = fixedColor_;
  if (isFooter) background = footerColor_;
  if (cell.color.isValid()) background = cell.color;
  if (!highlight_.isEmpty() && !isFixed && cell.text.contains(highlight_, Qt::CaseInsensitive))
    background = kHighlightColor;
  QColor foreground = palette().color(QPalette::Text);
  if (isSelected && !(isCurrent && !rowSelect_)) {
    background = palette().color(hasFocusHere ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
    foreground = palette().color(hasFocusHere ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText);
  }
  painter.fillRect(rect, background);

  if (!(isEditing() && col == editCol_ && row == editRow_)) {
    QFont font = this->font();
    font.setBold(cell.bold || isFooter || (activeCellBold_ && isCurrent));
    painter.setFont(font);
    painter.setPen(foreground);
    painter.drawText(rect.adjusted(3, 0, -3, 0), static_cast<int>(effectiveAlignment(col, row)) | Qt::TextSingleLine, cell.text);
  }

  // Grid lines: right and bottom edge of every cell; fixed cells raised.
  if (isFixed) {
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(palette().color(QPalette::Dark));
  } else {
    painter.setPen(palette().color(QPalette::Midlight).darker(110));
  }
  painter.drawLine(rect.topRight(), rect.bottomRight());
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  if (isFooter) {
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(rect.topLeft(), rect.topRight());
  }

  if (sortCol_ >= 0 && row < fixedRows_ && mergeBlock(sortCol_, std::max(0, fixedRows_ - 1)).topLeft() == QPoint(col, row))
    DrawSortIndicator(painter, rect, sortOrder_);

  if (isCurrent && !isFixed && hasFocusHere) {
    painter.setPen(QPen(palette().color(QPalette::Highlight).darker(150), 1));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
}

}  // namespace velmor
