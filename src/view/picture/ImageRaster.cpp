#include "view/picture/ImageRaster.h"

namespace kelvan::view {

bool IsRasterFormat(QImage::Format format) {
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied;
}

RasterImage RasterOf(QImage& image) {
  if (image.isNull() || !IsRasterFormat(image.format())) return {};
  RasterImage r;
  r.Bits = reinterpret_cast<uint32_t*>(image.bits());
  r.Stride = image.bytesPerLine() / static_cast<int64_t>(sizeof(uint32_t));
  r.Width = image.width();
  r.Height = image.height();
  return r;
}

}  // namespace kelvan::view
