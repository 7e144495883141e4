#include "editor/RowMarkImage.h"

#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace kelvan::editor {
namespace {

// An octagon filling the image, the shape of a stop sign, with a white bar across.
void DrawStop(QPainter& p, const QColor& fill) {
  const double c = (kRowMarkSize - 1) / 2.0 + 0.5;
  const double r = kRowMarkSize / 2.0 - 0.5;
  QPolygonF octagon;
  for (int k = 0; k < 8; ++k) {
    const double a = (22.5 + 45.0 * k) * std::numbers::pi / 180.0;
    octagon << QPointF(c + r * std::cos(a), c + r * std::sin(a));
  }
  p.setPen(QPen(fill.darker(150), 1.0));
  p.setBrush(fill);
  p.drawPolygon(octagon);
  p.fillRect(QRectF(2.5, c - 1.0, kRowMarkSize - 5.0, 2.0), Qt::white);
}

}  // namespace

QImage RowMarkImage(nc::RowMark mark) {
  QImage image(kRowMarkSize, kRowMarkSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  switch (mark) {
    case nc::MarkBlockSkip:
      p.setPen(QPen(QColor(0x00, 0x00, 0x80), 2.0, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(3.0, kRowMarkSize - 2.0), QPointF(kRowMarkSize - 3.0, 2.0));
      break;
    case nc::MarkM00:
      DrawStop(p, QColor(0xE0, 0x10, 0x10));
      break;
    case nc::MarkM01:
      DrawStop(p, QColor(0xFF, 0x99, 0x00));
      break;
  }
  return image;
}

}  // namespace kelvan::editor
