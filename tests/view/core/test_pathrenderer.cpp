#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <random>
#include <set>
#include <vector>

#include "nc/PathList.h"
#include "view/core/DrawItem.h"
#include "view/core/DrawLine.h"
#include "view/core/DrawViewFrame.h"
#include "view/core/HitList.h"
#include "view/core/LineSink.h"
#include "view/core/PositionReadout.h"
#include "view/core/RasterLineSink.h"
#include "view/core/RenderOptions.h"
#include "view/core/RenderPath.h"
#include "view/core/ViewTransform.h"

using namespace kelvan::view;
using kelvan::nc::MachineState;
using kelvan::nc::PathItem;
using kelvan::nc::PathKind;
using kelvan::nc::PathList;

namespace {

struct Recorded {
  uint32_t Color;
  PenStyle Style;
  int32_t X1, Y1, X2, Y2;
};

class RecordingSink : public LineSink {
 public:
  void SetPenColor(uint32_t bgr) override { color_ = bgr; }
  void SetPenStyle(PenStyle style) override {
    style_ = style;
    ++StyleCalls;
  }
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    Lines.push_back({color_, style_, x1, y1, x2, y2});
  }
  size_t CountColor(uint32_t c) const {
    size_t n = 0;
    for (const Recorded& r : Lines) n += r.Color == c;
    return n;
  }

  std::vector<Recorded> Lines;
  int StyleCalls = 0;

 private:
  uint32_t color_ = 0xDEAD;
  PenStyle style_ = PenStyle::Solid;
};

PathItem Item(PathKind kind, std::initializer_list<float> values) {
  PathItem it{};
  it.Kind = kind;
  int i = 0;
  for (float v : values) it.Values[i++] = v;
  return it;
}

constexpr int32_t kSide = 4001;
constexpr int32_t kMid = 2000;  // the view centre, where the origin lies

// One item drawn through the rules, in a view with the origin at (2000, 2000).
struct Drawing {
  ViewTransform View;
  RecordingSink Sink;
  RenderOptions Options;
  PositionReadout Readout;
  HitList Hits{1000};

  explicit Drawing(int tab = 1, double scale = 1) {
    View.SelectTab(tab);
    View.ResizeView(kSide, kSide);
    View.ViewScale = scale;
  }
  void Draw(const PathItem& item, int32_t index = 0) {
    DrawContext ctx{View, Sink, Options, ModeColors::For(Options.WhiteMode),
                    Options.Tracking ? &Hits : nullptr, Readout};
    DrawItem(ctx, index, item);
  }
};

TEST(DrawLine, OnlyAVisibleLineOfTypeZeroToTwoSetsTheStyle) {
  Drawing d;
  DrawLine(d.View, d.Sink, LineDotted, {0, 0}, {10, 10});
  DrawLine(d.View, d.Sink, 7, {0, 0}, {10, 10});                  // keeps dotted
  DrawLine(d.View, d.Sink, LineSolid, {-5000, 0}, {-5000, 10});   // outside: not drawn
  DrawLine(d.View, d.Sink, LineSolid, {NAN, 0}, {10, 10});        // no place in the view
  ASSERT_EQ(d.Sink.Lines.size(), 2u);
  EXPECT_EQ(d.Sink.StyleCalls, 1);
  EXPECT_EQ(d.Sink.Lines[1].Style, PenStyle::Dotted);
  const Recorded& r = d.Sink.Lines[0];
  EXPECT_EQ(r.X1, kMid);
  EXPECT_EQ(r.Y1, kMid);
  EXPECT_EQ(r.X2, kMid + 10);
  EXPECT_EQ(r.Y2, kMid - 10);  // up on the screen
}

// Z arrows, seen from the front (X right, Z up) at 10 pixels per unit.
TEST(DrawItem, ZArrowsMarkVerticalMoves) {
  enum Arrow { None, Down, Up };
  struct Case {
    const char* name;
    PathKind kind;
    float z1, x2, z2;
    bool showArrow;
    Arrow arrow;
  } cases[] = {
      {"rapid down", PathKind::pkRapid, 10, 0, 0, true, Down},
      {"rapid up", PathKind::pkRapid, 0, 0, 10, true, Up},
      {"rapid with XY change", PathKind::pkRapid, 10, 1, 0, true, None},
      {"rapid down, arrows off", PathKind::pkRapid, 10, 0, 0, false, None},
      {"plunge", PathKind::pkLinear, 10, 0, 0, true, Down},
      {"plunge, arrows off", PathKind::pkLinear, 10, 0, 0, false, Down},
      {"cutting move up", PathKind::pkLinear, 0, 0, 10, true, None},
      {"reference return up", PathKind::pkRefReturn, 10, 0, 50, true, Up},
      {"reference return down", PathKind::pkRefReturn, 100, 0, 50, true, Up},
      {"reference return, arrows off", PathKind::pkRefReturn, 10, 0, 50, false, None},
  };
  for (const Case& k : cases) {
    Drawing d(2, 10);
    d.Options.ShowArrow = k.showArrow;
    d.Draw(Item(k.kind, {0, 0, k.z1, k.x2, 0, k.z2}));
    const size_t arrowLines = k.arrow == None ? 0 : 8;
    ASSERT_EQ(d.Sink.Lines.size(), arrowLines + 1) << k.name;
    if (k.arrow == None) continue;
    const int32_t tipY = kMid - static_cast<int32_t>(k.z2 * 10);
    const int32_t baseY = tipY + (k.arrow == Down ? -20 : 20);  // 2 units above or below
    const uint32_t itemColor = d.Sink.Lines.back().Color;
    std::set<int32_t> ys, xs;
    for (size_t i = 0; i < arrowLines; ++i) {
      const Recorded& r = d.Sink.Lines[i];
      EXPECT_EQ(r.Color, itemColor) << k.name;
      EXPECT_EQ(r.Style, PenStyle::Solid) << k.name;
      ys.insert({r.Y1, r.Y2});
      xs.insert({r.X1, r.X2});
    }
    EXPECT_EQ(ys, (std::set<int32_t>{tipY, baseY})) << k.name;
    EXPECT_EQ(xs, (std::set<int32_t>{kMid - 7, kMid, kMid + 7})) << k.name;
  }
}

double PixelAngleDeg(int32_t x, int32_t y) {
  return std::atan2(double(kMid - y), double(x - kMid)) * 180 / std::numbers::pi;
}

TEST(DrawItem, ArcsAreDrawnInFiveDegreeChords) {
  const float d7 = static_cast<float>(7 * std::numbers::pi / 180);
  const float full = static_cast<float>(2 * std::numbers::pi - 0.01);
  struct Case {
    const char* name;
    PathKind kind;
    float a4, a5;
    std::vector<std::pair<double, double>> chords;  // degrees, from and to
    size_t chordCount;
    double readoutRad;
  } cases[] = {
      {"clockwise 7 degrees", PathKind::pkArcCW, 0, d7, {{7, 5 - 3}, {2, 0}}, 2, 0},
      {"counter-clockwise 7", PathKind::pkArcCCW, 0, d7, {{0, 5}, {5, 7}}, 2, d7},
      {"clockwise, equal angles", PathKind::pkArcCW, 0.3f, 0.3f, {}, 0, 0.3f},
      {"clockwise, start below end", PathKind::pkArcCW, 0.5f, 0.2f, {}, 0, 0.5f},
      {"counter-clockwise, reversed", PathKind::pkArcCCW, 0.5f, 0.2f, {}, 0, 0.2f},
      {"full circle", PathKind::pkArcCCW, 0, full, {}, 72, full},
      {"bogus sweep of many turns", PathKind::pkArcCCW, 0, 1e9f, {}, 73, 1e9f},
  };
  for (const Case& k : cases) {
    Drawing d;
    d.Draw(Item(k.kind, {0, 0, 5, 1000, k.a4, k.a5}));
    ASSERT_EQ(d.Sink.Lines.size(), k.chordCount) << k.name;
    for (size_t i = 0; i < k.chords.size(); ++i) {
      const Recorded& r = d.Sink.Lines[i];
      EXPECT_NEAR(PixelAngleDeg(r.X1, r.Y1), k.chords[i].first, 0.1) << k.name << " chord " << i;
      EXPECT_NEAR(PixelAngleDeg(r.X2, r.Y2), k.chords[i].second, 0.1) << k.name << " chord " << i;
    }
    ASSERT_TRUE(d.Readout.HasPosition) << k.name;
    EXPECT_NEAR(d.Readout.X, 1000 * std::cos(k.readoutRad), 1e-3) << k.name;
    EXPECT_NEAR(d.Readout.Y, 1000 * std::sin(k.readoutRad), 1e-3) << k.name;
    EXPECT_EQ(d.Readout.Z, 5) << k.name;
  }
}

// Lines of one colour per item, drawn in the oblique view so that vertical moves show.
TEST(DrawItem, ShowG00HidesRapidsButNotDrillStrokesOrHoles) {
  const PathItem items[] = {
      Item(PathKind::pkRapid, {0, 0, 50, 10, 10, 50}),
      Item(PathKind::pkRefReturn, {10, 10, 50, 10, 10, 100}),
      Item(PathKind::pkDrill, {10, 10, 50, 20, 20, 2, -5, 3}),
  };
  for (bool showG00 : {true, false}) {
    Drawing d(0, 10);
    d.Options.ShowG00 = showG00;
    d.Options.HoleDisp = true;
    for (const PathItem& it : items) d.Draw(it);
    EXPECT_EQ(d.Sink.CountColor(bgr::Yellow), showG00 ? 1u + 2u : 0u);  // rapid, drill legs
    EXPECT_EQ(d.Sink.CountColor(bgr::Purple), showG00 ? 1u + 8u : 0u);  // with its arrow
    EXPECT_EQ(d.Sink.CountColor(bgr::Silver), 1u);                      // the drill stroke
    EXPECT_EQ(d.Sink.CountColor(bgr::Teal), 72u * 2 + 4);               // the hole cylinder
  }
  Drawing hidden;
  hidden.Options.ShowG00 = false;
  hidden.Draw(items[0]);
  EXPECT_FALSE(hidden.Readout.HasPosition);  // nothing at all happens for a hidden rapid
}

TEST(DrawItem, HoleCylinderNeedsTheSettingAndARadius) {
  struct Case {
    bool holeDisp;
    float radius;
    size_t teal;
  } cases[] = {{true, 3, 148}, {false, 3, 0}, {true, 0, 0}, {true, -1, 0}};
  for (const Case& k : cases) {
    Drawing d(0, 10);
    d.Options.HoleDisp = k.holeDisp;
    d.Draw(Item(PathKind::pkDrill, {0, 0, 50, 20, 20, 2, -5, k.radius}));
    EXPECT_EQ(d.Sink.CountColor(bgr::Teal), k.teal) << k.radius;
    EXPECT_EQ(d.Readout.Z, 50);  // the initial level
  }
}

TEST(DrawItem, ColoursFollowTheMode) {
  struct Case {
    PathItem item;
    uint32_t normal, white;
  } cases[] = {
      {Item(PathKind::pkRapid, {0, 0, 0, 30, 40, 0}), bgr::Yellow, bgr::Olive},
      {Item(PathKind::pkLinear, {0, 0, 0, 30, 40, 0}), bgr::Silver, bgr::Black},
      {Item(PathKind::pkArcCCW, {0, 0, 0, 30, 0, 1}), bgr::Silver, bgr::Black},
      {Item(PathKind::pkTaper, {0, 0, 30, 40}), bgr::Silver, bgr::Black},
      {Item(PathKind::pkRefReturn, {5, 5, 0, 5, 5, 9}), bgr::Purple, bgr::Purple},
  };
  for (const Case& k : cases) {
    for (bool white : {false, true}) {
      Drawing d(0, 10);
      d.Options.WhiteMode = white;
      d.Draw(k.item);
      ASSERT_FALSE(d.Sink.Lines.empty());
      for (const Recorded& r : d.Sink.Lines) EXPECT_EQ(r.Color, white ? k.white : k.normal);
    }
  }
  Drawing d(0, 10);
  d.Options.WhiteMode = true;
  d.Draw(Item(PathKind::pkDrill, {0, 0, 50, 20, 20, 2, -5, 0}));
  ASSERT_EQ(d.Sink.Lines.size(), 3u);
  EXPECT_EQ(d.Sink.Lines[0].Color, bgr::Yellow);  // the rapid legs stay yellow
  EXPECT_EQ(d.Sink.Lines[1].Color, bgr::Yellow);
  EXPECT_EQ(d.Sink.Lines[2].Color, bgr::Black);
}

TEST(DrawItem, TaperDrawsItsUpperContourInUVMode) {
  const PathItem taper = Item(PathKind::pkTaper, {0, 0, 100, 0, 2, 1, 103, 2});
  for (bool uv : {false, true}) {
    Drawing d(2, 10);  // front view: the upper contour lies at the work height
    d.Options.UVMode = uv;
    d.Options.WorkHeight = 30;
    d.Options.Tracking = true;
    d.Draw(taper, 7);
    ASSERT_EQ(d.Sink.Lines.size(), uv ? 3u : 1u);
    EXPECT_EQ(d.Hits.Count(), 1);  // the upper lines are never tracked
    EXPECT_EQ(d.Hits[0].Index, 7);
    EXPECT_EQ(d.Readout.X, 100);
    EXPECT_EQ(d.Readout.Z, 0);
    EXPECT_EQ(d.Readout.HasUV, uv);
    if (!uv) continue;
    EXPECT_FLOAT_EQ(d.Readout.U, 3);
    EXPECT_FLOAT_EQ(d.Readout.V, 2);
    EXPECT_EQ(d.Sink.Lines[2].Y1, kMid - 300);
    EXPECT_EQ(d.Sink.Lines[2].Y2, kMid - 300);
  }
}

TEST(DrawItem, ReadoutsNeedShowPosAndSetPositionOnlyReadsOut) {
  Drawing d;
  d.Draw(Item(PathKind::pkSetPosition, {1, 2, 3}));
  EXPECT_TRUE(d.Sink.Lines.empty());
  EXPECT_TRUE(d.Readout.HasPosition);
  EXPECT_EQ(d.Readout.Z, 3);

  Drawing off;
  off.Options.ShowPos = false;
  off.Draw(Item(PathKind::pkLinear, {0, 0, 0, 5, 5, 0}));
  EXPECT_EQ(off.Sink.Lines.size(), 1u);
  EXPECT_FALSE(off.Readout.HasPosition);

  Drawing none;
  none.Draw(Item(PathKind::pkToolComment, {}));
  none.Draw(Item(static_cast<PathKind>(42), {1, 1, 1, 2, 2, 2}));
  EXPECT_TRUE(none.Sink.Lines.empty());
  EXPECT_FALSE(none.Readout.HasPosition);
}

TEST(HitList, RecordsWhileBelowCapacityLessOne) {
  struct Case {
    int32_t capacity, added, kept;
  } cases[] = {{0, 3, 0}, {1, 3, 0}, {2, 3, 1}, {4, 10, 3}, {100, 10, 10}};
  for (const Case& k : cases) {
    HitList h(k.capacity);
    for (int i = 0; i < k.added; ++i) h.Add(i, {1, 2, 3, 4});
    EXPECT_EQ(h.Count(), k.kept) << k.capacity;
  }
  EXPECT_EQ(HitList::CapacityForPath(100000), 200000);
  EXPECT_EQ(HitList::CapacityForPath(kelvan::nc::MaxPathCapacity), 2 * kelvan::nc::MaxPathCapacity);
}

TEST(HitList, HoldsOnlyTrackedVisibleSegments) {
  Drawing d(2, 10);
  d.Options.Tracking = true;
  d.Draw(Item(PathKind::pkLinear, {0, 0, 10, 0, 0, 0}), 4);  // plunge: arrow + line
  d.Draw(Item(PathKind::pkLinear, {-900, 0, 0, -800, 0, 0}), 5);  // outside the view
  EXPECT_EQ(d.Sink.Lines.size(), 9u);
  ASSERT_EQ(d.Hits.Count(), 1);
  const HitSegment& h = d.Hits[0];
  EXPECT_EQ(h.Index, 4);
  EXPECT_EQ(h.Y1, kMid - 100);
  EXPECT_EQ(h.Y2, kMid);
}

struct Scene {
  PathList Path{100};
  MachineState State;
  ViewTransform View;
  RenderOptions Options;
  RecordingSink Sink;
  HitList Hits{HitList::CapacityForPath(100)};

  Scene() {
    View.SelectTab(1);
    View.ResizeView(kSide, kSide);
  }
  RenderResult Render(int32_t execIndex = -1) {
    Sink.Lines.clear();
    return RenderPath(Path, State, View, Options, Sink, Hits, execIndex, kSide);
  }
};

TEST(RenderPath, DrawsUpToTheExecutionIndex) {
  struct Case {
    int32_t execIndex, lastDrawn, stop;
    bool ends;
  } cases[] = {{-1, 9, 10, true}, {3, 3, 4, false}, {8, 8, 9, true},
               {9, 9, 10, true}, {0, 0, 1, false}};
  Scene s;
  s.Options.Tracking = true;
  for (int i = 0; i < 10; ++i) {
    const float v[8] = {float(i), 0, 0, float(i + 1), 5, 0, 0, 0};
    kelvan::nc::AddPathItem(s.Path, 100, i, PathKind::pkLinear, v);
  }
  for (const Case& k : cases) {
    const RenderResult r = s.Render(k.execIndex);
    EXPECT_EQ(r.Stop, k.stop) << k.execIndex;
    EXPECT_EQ(r.EndsExecution, k.ends) << k.execIndex;
    ASSERT_EQ(s.Hits.Count(), k.lastDrawn + 1) << k.execIndex;  // cleared before each picture
    EXPECT_EQ(s.Hits[s.Hits.Count() - 1].Index, k.lastDrawn);
    EXPECT_EQ(r.Readout.X, k.lastDrawn + 1);  // the end of the last drawn item
    EXPECT_EQ(r.CapacityText, "D:10/100 P:" + std::to_string(k.lastDrawn + 1) + "/200");
  }
}

// The other program of a compare lies under the path in its own colour, drawn before
// it, never recorded for picking; a gesture's stride thins both.
TEST(RenderPath, UnderlayIsDrawnFirstInItsColourAndNeverPicked) {
  Scene s;
  PathList other(100);
  for (int i = 0; i < 4; ++i) {
    const float v[8] = {float(i), 0, 0, float(i + 1), 5, 0, 0, 0};
    kelvan::nc::AddPathItem(s.Path, 100, i, PathKind::pkLinear, v);
    const float w[8] = {float(i), 1, 0, float(i + 1), 6, 0, 0, 0};
    kelvan::nc::AddPathItem(other, 100, i, PathKind::pkRapid, w);
  }
  s.Options.Tracking = true;
  s.Options.Underlay = &other;
  s.Options.UnderlayColor = 0x123456;
  s.Render();
  EXPECT_EQ(s.Sink.CountColor(0x123456), 4u);
  EXPECT_EQ(s.Hits.Count(), 4);
  size_t firstMain = s.Sink.Lines.size(), lastUnder = 0;
  for (size_t i = 0; i < s.Sink.Lines.size(); ++i) {
    if (s.Sink.Lines[i].Color == 0x123456) lastUnder = i;
    else if (s.Sink.Lines[i].Color == ModeColors::For(false).Cutting) firstMain = std::min(firstMain, i);
  }
  EXPECT_LT(lastUnder, firstMain);
  s.Options.Stride = 2;
  s.Render();
  EXPECT_EQ(s.Sink.CountColor(0x123456), 2u);
}

TEST(RenderPath, CapacityTextReadsCountsAndCapacities) {
  EXPECT_EQ(CapacityText(120, 100000, 95, 200000), "D:120/100000 P:95/200000");
}

TEST(RenderPath, EmptyPathEndsExecution) {
  Scene s;
  const RenderResult r = s.Render(5);
  EXPECT_EQ(r.Stop, 0);
  EXPECT_TRUE(r.EndsExecution);
  EXPECT_FALSE(r.Readout.HasPosition);
}

std::set<int32_t> FrameLinesAcross(const RecordingSink& sink, bool vertical) {
  std::set<int32_t> at;
  for (const Recorded& r : sink.Lines) {
    if (r.Color != bgr::Navy) continue;
    if (vertical && r.X1 == r.X2 && r.Y1 != r.Y2) at.insert(r.X1 - kMid);
    if (!vertical && r.Y1 == r.Y2 && r.X1 != r.X2) at.insert(kMid - r.Y1);
  }
  return at;
}

TEST(DrawViewFrame, GridStartsAtTheFirstMultipleInsideTheRange) {
  Scene s;
  s.State.RangeMinX = -73;
  s.State.RangeMaxX = 120;
  s.State.RangeMinY = -10;
  s.State.RangeMaxY = 10;
  s.Render();
  // Grid lines at -50, 0, 50, 100; the box edges at -73 and 120.
  EXPECT_EQ(FrameLinesAcross(s.Sink, true), (std::set<int32_t>{-73, -50, 0, 50, 100, 120}));
  EXPECT_EQ(FrameLinesAcross(s.Sink, false), (std::set<int32_t>{-10, 0, 10}));
}

TEST(DrawViewFrame, EmptyRangeStillDrawsGridBoxAxesAndGlyph) {
  Scene s;
  s.Render();
  EXPECT_EQ(s.Sink.CountColor(bgr::Navy), 2u + 12u);  // one grid line each way, the box
  size_t dashDot = 0;
  for (const Recorded& r : s.Sink.Lines) dashDot += r.Style == PenStyle::DashDot;
  EXPECT_EQ(dashDot, 3u);
  // The X shaft of the glyph: 40 pixels right of its anchor at (50, height - 50).
  bool shaft = false;
  for (const Recorded& r : s.Sink.Lines)
    shaft |= r.Color == bgr::Blue && r.Style == PenStyle::Solid && r.X1 == 50 && r.Y1 == kSide - 50 &&
             r.X2 == 90 && r.Y2 == kSide - 50;
  EXPECT_TRUE(shaft);
  EXPECT_EQ(s.Sink.CountColor(bgr::Green), 1u + 9u);  // axis, shaft and arrowhead
}

TEST(DrawViewFrame, HugeRangeWithASmallPitchKeepsTheGridBounded) {
  Scene s;
  s.View.GridPitch = 1;
  s.State.RangeMaxX = 1e9;
  s.State.RangeMaxY = 1e30;
  s.State.RangeMinZ = -INFINITY;
  s.Render();
  EXPECT_LE(s.Sink.CountColor(bgr::Navy), 2 * size_t(MaxGridLines + 1) + 12);
}

TEST(PositionReadout, FixedNotationWithLimitedSignificantDigits) {
  struct Case {
    double value;
    int precision;
    const char* text;
  } cases[] = {
      {1.5, 10, "1.500"},
      {-12.3456, 10, "-12.346"},
      {-0.0004, 10, "0.000"},
      {0, 10, "0.000"},
      {123456789.12345, 10, "123456789.100"},  // digits past the tenth are zeros
      {9999999.9999, 10, "10000000.000"},     // the carry adds a digit
      {12345678901.0, 10, "1.23456789E+10"},
      {1234.56789, 7, "1234.568"},
      {123456.789, 7, "123456.800"},
      {NAN, 10, "NAN"},
      {-INFINITY, 7, "-INF"},
  };
  for (const Case& k : cases) EXPECT_EQ(FormatFixed(k.value, k.precision, 3), k.text) << k.value;

  PositionReadout r;
  r.SetPosition(1.5, -2, 100);
  const auto t = r.PanelTexts();
  EXPECT_EQ(t[0], "X 1.500");
  EXPECT_EQ(t[1], "Y -2.000");
  EXPECT_EQ(t[2], "Z 100.000");
  EXPECT_FALSE(t[3].has_value());
  r.SetUV(0.25, -1234567.8);
  EXPECT_EQ(r.PanelTexts()[4], "V -1234568.000");
}

}  // namespace

// Shared among threads, a large path gives the very picture and readout one pass gives,
// up to any execution index.
TEST(RenderRaster, ThreadsDrawThePictureOnePassDraws) {
  std::mt19937 rng(9);
  std::uniform_real_distribution<float> at(-300, 300), radius(0.5f, 80), angle(0, 6.2f);
  PathList path(130000);
  MachineState state;
  float x = 0, y = 0, z = 50;
  const PathKind kinds[] = {PathKind::pkRapid, PathKind::pkLinear, PathKind::pkArcCW, PathKind::pkArcCCW,
                            PathKind::pkDrill, PathKind::pkTaper, PathKind::pkRefReturn};
  for (int i = 0; i < 130000; ++i) {
    const PathKind kind = kinds[i % 7];
    const float nx = at(rng), ny = at(rng), nz = at(rng) / 10;
    float v[8] = {x, y, z, nx, ny, nz, 0, 0};
    if (kind == PathKind::pkArcCW || kind == PathKind::pkArcCCW) {
      const float a = angle(rng);
      const float values[8] = {nx, ny, nz, radius(rng), a, a + angle(rng) / 2, 0, 0};
      std::copy(values, values + 8, v);
    } else if (kind == PathKind::pkTaper) {
      const float values[8] = {x, y, nx, ny, x + 2, y + 1, nx + 2, ny + 1};
      std::copy(values, values + 8, v);
    }
    kelvan::nc::AddPathItem(path, 100, i, kind, v);
    x = nx, y = ny, z = nz;
  }
  ViewTransform view;
  view.SelectTab(0);
  view.ResizeView(400, 300);
  view.ViewScale = 0.6;  // parts of the path lie outside the view
  RenderOptions options;
  options.UVMode = true;
  options.HoleDisp = true;
  for (const int32_t execIndex : {-1, 110000, 129998}) {
    std::vector<uint32_t> one(400 * 300, 0xFF000000u), many = one;
    std::vector<std::vector<uint32_t>> layers;
    HitList hits(HitList::CapacityForPath(path.Capacity));
    const RenderResult a = RenderRaster(path, state, view, options, RasterImage{one.data(), 400, 400, 300}, layers,
                                        hits, execIndex, 300, 1);
    const RenderResult b = RenderRaster(path, state, view, options, RasterImage{many.data(), 400, 400, 300}, layers,
                                        hits, execIndex, 300, 2);
    EXPECT_EQ(one, many) << execIndex;
    EXPECT_EQ(a.Stop, b.Stop);
    EXPECT_EQ(a.EndsExecution, b.EndsExecution);
    EXPECT_EQ(a.Readout.PanelTexts(), b.Readout.PanelTexts());
    EXPECT_EQ(a.CapacityText, b.CapacityText);
  }
}
