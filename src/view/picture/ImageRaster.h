#pragma once
// The toolkit's images as memory for the raster line sink.

#include <QImage>

#include "view/core/RasterLineSink.h"

namespace kelvan::view {

// Whether the raster sink draws into images of this format: the 32-bit ones (RGB32,
// ARGB32, ARGB32_Premultiplied).
bool IsRasterFormat(QImage::Format format);

// The pixels of image for the raster sink: no memory (so nothing is drawn) for a null
// image or another format. Detaches a shared image once, here, rather than on every line;
// the result is valid while the image keeps its size and is not copied onto.
RasterImage RasterOf(QImage& image);

}  // namespace kelvan::view
