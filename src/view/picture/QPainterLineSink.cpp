#include "view/picture/QPainterLineSink.h"

#include <QPen>

namespace kelvan::view {

namespace {

constexpr size_t kBatchLines = 4096;

Qt::PenStyle ToQtStyle(PenStyle s) {
  switch (s) {
    case PenStyle::Dotted: return Qt::DotLine;
    case PenStyle::DashDot: return Qt::DashDotLine;
    case PenStyle::Solid: break;
  }
  return Qt::SolidLine;
}

}  // namespace

QPainterLineSink::QPainterLineSink(QPainter& painter) : painter_(painter) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  lines_.reserve(kBatchLines);
}

QPainterLineSink::~QPainterLineSink() { Flush(); }

void QPainterLineSink::SetPenColor(uint32_t bgr) {
  if (bgr == color_) return;
  Flush();
  color_ = bgr;
  penDirty_ = true;
}

void QPainterLineSink::SetPenStyle(PenStyle style) {
  if (style == style_) return;
  Flush();
  style_ = style;
  penDirty_ = true;
}

void QPainterLineSink::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  lines_.emplace_back(x1, y1, x2, y2);
  if (lines_.size() >= kBatchLines) Flush();
}

void QPainterLineSink::ApplyPen() {
  // A flat cap leaves out the end pixel, as a move-to/line-to does, so that the pixels of
  // a chain of lines are not set twice.
  QPen pen(ToQColor(color_), 1, ToQtStyle(style_), Qt::FlatCap);
  pen.setCosmetic(true);
  painter_.setPen(pen);
  penDirty_ = false;
}

void QPainterLineSink::Flush() {
  if (lines_.empty()) return;
  if (penDirty_) ApplyPen();
  painter_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
  lines_.clear();
}

}  // namespace kelvan::view
