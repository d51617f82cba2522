#include "ShellPictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kIconSize = 32;
const QColor kBannerDeep(0x1f, 0x3a, 0x68);
const QColor kBannerLight(0x4f, 0x7c, 0xc0);
const QColor kFolderBody(0xf2, 0xc0, 0x4c);
const QColor kFolderEdge(0xb0, 0x80, 0x20);
}  // namespace

QIcon MakeGlyphIcon(const QString& glyph, const QColor& colour) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, 0, kIconSize);
  fill.setColorAt(0, colour.lighter(135));
  fill.setColorAt(1, colour);
  painter.setPen(QPen(colour.darker(140), 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(QRectF(1.5, 1.5, kIconSize - 3, kIconSize - 3), 6, 6);
  QFont font = painter.font();
  font.setPixelSize(18);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, kIconSize, kIconSize), Qt::AlignCenter, glyph);
  return QIcon(pixmap);
}

QIcon MakeFolderIcon(bool open) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kFolderEdge, 1));
  painter.setBrush(kFolderBody.darker(110));
  painter.drawRect(QRectF(1.5, 3.5, 6, 2));
  painter.drawRect(QRectF(1.5, 4.5, 13, 9));
  if (open) {
    QPainterPath flap;
    flap.moveTo(3.5, 7.5);
    flap.lineTo(15.5, 7.5);
    flap.lineTo(13.5, 13.5);
    flap.lineTo(1.5, 13.5);
    flap.closeSubpath();
    painter.setBrush(kFolderBody.lighter(115));
    painter.drawPath(flap);
  }
  return QIcon(pixmap);
}

QPixmap MakeBanner(int width, int height) {
  QPixmap pixmap(width, height);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, width, 0);
  fill.setColorAt(0, kBannerDeep);
  fill.setColorAt(1, kBannerLight);
  painter.fillRect(pixmap.rect(), fill);
  // Three cable strands across the banner.
  const QColor strands[] = {QColor(0xe0, 0x40, 0x30), QColor(0xf0, 0xc0, 0x30), QColor(0x40, 0xb0, 0x60)};
  for (int i = 0; i < 3; ++i) {
    painter.setPen(QPen(strands[i], 2));
    const qreal y = height - 5 - i * 3;
    painter.drawLine(QPointF(0, y), QPointF(width, y - 4));
  }
  QFont font = painter.font();
  font.setPixelSize(height - 9);
  font.setBold(true);
  font.setItalic(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(6, 0, width - 6, height - 6), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmor"));
  return pixmap;
}
