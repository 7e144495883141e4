#pragma once

#include <QImage>

#include "nc/RowMarks.h"

namespace kelvan::editor {

// Side of a row-mark image and width of the bar that shows them, in pixels.
inline constexpr int kRowMarkSize = 12;

// The picture of a row mark: a slash for a skipped block, a red stop sign for M00 and an
// orange one for the optional stop M01. Transparent around the drawing.
QImage RowMarkImage(nc::RowMark mark);

}  // namespace kelvan::editor
