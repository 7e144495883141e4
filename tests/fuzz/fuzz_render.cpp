// The path picture of any program in any view: every line the drawing rules hand to a sink
// lies inside the clip rectangle, and the raster sink writes nothing outside its image.

#include <vector>

#include "AnalyseInput.h"
#include "view/core/HitList.h"
#include "view/core/LineSink.h"
#include "view/core/RasterLineSink.h"
#include "view/core/RenderOptions.h"
#include "view/core/RenderPath.h"
#include "view/core/ViewTransform.h"

using namespace kelvan;

namespace {

constexpr int32_t kWidth = 97, kHeight = 61, kGuard = 64;
constexpr uint32_t kSentinel = 0x12345678u;

// Checks each line against the clip rectangle, then draws it into guarded memory.
class CheckingSink : public view::LineSink {
 public:
  CheckingSink(const view::ViewTransform& view, view::LineSink& next) : view_(view), next_(next) {}
  void SetPenColor(uint32_t bgr) override { next_.SetPenColor(bgr); }
  void SetPenStyle(view::PenStyle style) override { next_.SetPenStyle(style); }
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    for (const auto& [x, y] : {std::pair{x1, y1}, std::pair{x2, y2}})
      fuzz::Check(x >= view_.ClipLeft && x <= view_.ClipRight && y >= view_.ClipTop && y <= view_.ClipBottom,
                  "drawn lines inside the clip rectangle");
    next_.Line(x1, y1, x2, y2);
  }

 private:
  const view::ViewTransform& view_;
  view::LineSink& next_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const uint8_t tab = in.Byte(), scale = in.Byte(), pan = in.Byte(), flags = in.Byte();
  const fuzz::Analysed a(in);
  view::ViewTransform view;
  view.SelectTab(tab % 4);
  view.ResizeView(kWidth, kHeight);
  view.ViewScale = 0.001 * (1 + scale) * (1 + scale);
  view.PanX = (pan % 16 - 8) * 20;
  view.PanY = (pan / 16 - 8) * 20;
  if (flags & 1) view.Fit(a.State);
  view::RenderOptions options;
  options.ShowG00 = (flags & 2) == 0;
  options.HoleDisp = (flags & 4) != 0;
  options.UVMode = (flags & 8) != 0;
  options.Tracking = (flags & 16) != 0;
  options.WhiteMode = (flags & 32) != 0;
  std::vector<uint32_t> memory(kGuard * 2 + kWidth * kHeight, kSentinel);
  view::RasterLineSink raster(view::RasterImage{memory.data() + kGuard, kWidth, kWidth, kHeight});
  CheckingSink sink(view, raster);
  view::HitList hits(view::HitList::CapacityForPath(a.Path->Capacity));
  const int32_t execIndex = (flags & 64) ? a.Path->Count / 2 : -1;
  const view::RenderResult r = view::RenderPath(*a.Path, a.State, view, options, sink, hits, execIndex, kHeight);
  fuzz::Check(r.Stop >= 0 && r.Stop <= a.Path->Count, "the drawing stops within the path");
  for (int i = 0; i < kGuard; ++i)
    fuzz::Check(memory[i] == kSentinel && memory[memory.size() - 1 - i] == kSentinel, "no pixel outside the image");
  for (const view::HitSegment& h : hits)
    fuzz::Check(h.Index >= 0 && h.Index < a.Path->Count, "hits name drawn items");
  return 0;
}
