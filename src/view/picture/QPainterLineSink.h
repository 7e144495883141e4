#pragma once
// The line sink of a QPainter: one-pixel pens without antialiasing, as the view has always
// looked. Lines of one pen are collected and handed to the painter together, which is far
// faster than one call per line; the order of pens is kept.

#include <QColor>
#include <QLine>
#include <QPainter>
#include <vector>

#include "view/core/LineSink.h"

namespace kelvan::view {

class QPainterLineSink : public LineSink {
 public:
  // The painter must outlive the sink; the sink sets its pen and render hints.
  explicit QPainterLineSink(QPainter& painter);
  ~QPainterLineSink() override;
  QPainterLineSink(const QPainterLineSink&) = delete;
  QPainterLineSink& operator=(const QPainterLineSink&) = delete;

  void SetPenColor(uint32_t bgr) override;
  void SetPenStyle(PenStyle style) override;
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;

  // Hands the collected lines to the painter. Call before the picture is shown.
  void Flush();

  static QColor ToQColor(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

 private:
  void ApplyPen();

  QPainter& painter_;
  uint32_t color_ = 0;
  PenStyle style_ = PenStyle::Solid;
  bool penDirty_ = true;
  std::vector<QLine> lines_;
};

}  // namespace kelvan::view
