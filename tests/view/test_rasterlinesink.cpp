// The raster sink against the painter it replaces, and its writes against the image's
// memory. Tolerance, measured against Qt 6.4's aliased cosmetic pen:
//  - lines up to 128 pixels drawn from their lower major end: identical pixel sets, solid
//    and patterned; drawn backwards: identical but for the two ends (we set the first and
//    leave out the last, the painter does the opposite);
//  - longer lines: one pixel per major step in both, at most one minor pixel apart, on
//    fewer than 2% of the steps (the painter's 16.16 step drifts; the worst of 3000 lines
//    up to 2048 pixels was 1.4%).

#include <QPainter>
#include <QtTest>
#include <algorithm>
#include <climits>
#include <random>
#include <set>

#include "view/QPainterLineSink.h"
#include "view/RasterLineSink.h"

using namespace kelvan::view;

namespace {

using Pixels = std::set<std::pair<int, int>>;
constexpr uint32_t kBlack = 0xFF000000u;

Pixels Lit(const QImage& img) {
  Pixels lit;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (reinterpret_cast<const uint32_t*>(img.constScanLine(y))[x] != kBlack) lit.insert({x, y});
  return lit;
}

QImage Blank(QSize size) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(kBlack);
  return img;
}
void Stroke(LineSink& sink, QLine l, PenStyle style) {
  sink.SetPenColor(0xFFFFFF);
  sink.SetPenStyle(style);
  sink.Line(l.x1(), l.y1(), l.x2(), l.y2());
}
QImage DrawRaster(QSize size, QLine l, PenStyle style) {
  QImage img = Blank(size);
  RasterLineSink sink(img);
  Stroke(sink, l, style);
  return img;
}
QImage DrawPainter(QSize size, QLine l, PenStyle style) {
  QImage img = Blank(size);
  QPainter painter(&img);
  {
    QPainterLineSink sink(painter);  // hands its lines over when it goes
    Stroke(sink, l, style);
  }
  painter.end();
  return img;
}
Pixels ByRaster(QSize size, QLine l, PenStyle style) { return Lit(DrawRaster(size, l, style)); }

bool XMajor(QLine l) { return std::abs(l.dx()) >= std::abs(l.dy()); }
bool Backward(QLine l) { return XMajor(l) ? l.dx() < 0 : l.dy() < 0; }

// The painter's pixels with our rule for the ends.
Pixels PainterWithOurEnds(QSize size, QLine l, PenStyle style) {
  if (l.p1() == l.p2()) return {};
  Pixels p = Lit(DrawPainter(size, l, style));
  if (Backward(l)) p.erase({l.x2(), l.y2()}), p.insert({l.x1(), l.y1()});
  return p;
}

void AddOctantRows(QPoint from) {
  QTest::addColumn<QLine>("line");
  const QPoint steps[] = {{10, 0}, {10, 3}, {10, 4}, {10, 5}, {10, 7}, {10, 10}, {7, 10}, {4, 10},
                          {0, 10}, {1, 0},  {1, 1},  {2, 1},  {3, 1},  {127, 45}, {45, 127}, {64, 63}};
  for (const QPoint s : steps)
    for (const QPoint sign : {QPoint(1, 1), QPoint(1, -1), QPoint(-1, 1), QPoint(-1, -1)}) {
      const QPoint to = from + QPoint(sign.x() * s.x(), sign.y() * s.y());
      QTest::addRow("(%d,%d)->(%d,%d)", from.x(), from.y(), to.x(), to.y()) << QLine(from, to);
    }
}

}  // namespace

class TestRasterLineSink : public QObject {
  Q_OBJECT
 private slots:
  void matchesPainter_data() {
    AddOctantRows({130, 130});
    QTest::newRow("zero length") << QLine(5, 5, 5, 5);
    QTest::newRow("top edge") << QLine(0, 0, 259, 0);
    QTest::newRow("right edge, up") << QLine(259, 259, 259, 0);
    QTest::newRow("bottom edge, back") << QLine(259, 259, 0, 259);
    QTest::newRow("corner to corner") << QLine(259, 0, 0, 259);
    QTest::newRow("into the corner") << QLine(250, 255, 259, 259);
  }
  void matchesPainter() {
    QFETCH(QLine, line);
    // A backward patterned line starts its pattern one pixel before the painter's; its
    // runs are checked below.
    for (const PenStyle style : {PenStyle::Solid, PenStyle::Dotted, PenStyle::DashDot})
      if (style == PenStyle::Solid || !Backward(line))
        QCOMPARE(ByRaster({260, 260}, line, style), PainterWithOurEnds({260, 260}, line, style));
  }

  void randomShortLinesMatchPainter() {
    std::mt19937 rng(17);
    std::uniform_int_distribution<int> at(0, 159), step(-64, 64);
    for (int i = 0; i < 1500; ++i) {
      const QPoint a(at(rng), at(rng));
      const QLine l(a, QPoint(std::clamp(a.x() + step(rng), 0, 159), std::clamp(a.y() + step(rng), 0, 159)));
      const PenStyle style = Backward(l) ? PenStyle::Solid : PenStyle(i % 3);
      QCOMPARE(ByRaster({160, 160}, l, style), PainterWithOurEnds({160, 160}, l, style));
    }
  }

  void longLinesStayWithinOnePixelOfPainter() {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> x(0, 1919), y(0, 1079);
    for (int i = 0; i < 60; ++i) {
      QLine l(x(rng), y(rng), x(rng), y(rng));
      if (Backward(l)) l = QLine(l.p2(), l.p1());
      // The minor coordinate per major step, -1 where none is set.
      std::vector<int> want(XMajor(l) ? 1920 : 1080, -1), got = want;
      for (auto [profile, img] : {std::pair{&want, DrawPainter({1920, 1080}, l, PenStyle::Solid)},
                                  std::pair{&got, DrawRaster({1920, 1080}, l, PenStyle::Solid)}})
        for (const auto& [px, py] : Lit(img)) {
          int& m = (*profile)[XMajor(l) ? px : py];
          QCOMPARE(m, -1);  // one pixel a step
          m = XMajor(l) ? py : px;
        }
      int differ = 0;
      for (size_t u = 0; u < want.size(); ++u) {
        QCOMPARE(got[u] < 0, want[u] < 0);
        QVERIFY(std::abs(got[u] - want[u]) <= 1);
        differ += got[u] != want[u];
      }
      QVERIFY(differ * 50 < std::max(std::abs(l.dx()), std::abs(l.dy())) + 50);
    }
  }

  void patternsRunFromTheFirstEnd_data() { AddOctantRows({60, 60}); }
  void patternsRunFromTheFirstEnd() {
    QFETCH(QLine, line);
    const Pixels solid = ByRaster({200, 200}, line, PenStyle::Solid);
    // The solid pixels in drawing order: by distance from the first end along the major axis.
    std::vector<std::pair<int, std::pair<int, int>>> order;
    for (const auto& p : solid)
      order.push_back({std::abs(XMajor(line) ? p.first - line.x1() : p.second - line.y1()), p});
    std::sort(order.begin(), order.end());
    for (const auto& [style, period] : {std::pair{PenStyle::Dotted, QByteArray("#..")},
                                        std::pair{PenStyle::DashDot, QByteArray("####..#..")}}) {
      const Pixels lit = ByRaster({200, 200}, line, style);
      QByteArray got, want;
      for (size_t k = 0; k < order.size(); ++k) {
        got += lit.count(order[k].second) ? '#' : '.';
        want += period[k % period.size()];
      }
      QCOMPARE(got, want);
      QVERIFY(std::includes(solid.begin(), solid.end(), lit.begin(), lit.end()));
    }
  }

  void partsOutsideTheImageAreCutWithoutMovingPixels_data() {
    QTest::addColumn<QLine>("line");
    QTest::newRow("through, shallow") << QLine(-70, -10, 120, 50);
    QTest::newRow("through, steep, backward") << QLine(30, 140, 10, -90);
    QTest::newRow("from outside in") << QLine(-33, 25, 17, 20);
    QTest::newRow("from inside out") << QLine(20, 20, 95, -60);
    QTest::newRow("past a corner") << QLine(-5, 45, 65, -25);
    QTest::newRow("wholly outside") << QLine(-40, -5, 100, -3);
  }
  void partsOutsideTheImageAreCutWithoutMovingPixels() {
    // A 60 x 40 image against a crop of a canvas that holds the whole line.
    QFETCH(QLine, line);
    const QPoint shift(100, 100);
    for (const PenStyle style : {PenStyle::Solid, PenStyle::DashDot}) {
      const QImage whole = DrawRaster({300, 300}, line.translated(shift), style);
      QCOMPARE(ByRaster({60, 40}, line, style), Lit(whole.copy(QRect(shift, QSize(60, 40)))));
    }
  }

  void extremeEndsSetOnlyTheirPixelsInside() {
    Pixels row, diagonal;
    for (int x = 0; x < 50; ++x) row.insert({x, 7});
    for (int k = 0; k < 30; ++k) diagonal.insert({k, k});
    QCOMPARE(ByRaster({50, 30}, QLine(INT_MIN, 7, INT_MAX, 7), PenStyle::Solid), row);
    QCOMPARE(ByRaster({50, 30}, QLine(INT_MAX, 7, INT_MIN, 7), PenStyle::Solid), row);
    QCOMPARE(ByRaster({50, 30}, QLine(-1000000000, -1000000000, 1000000000, 1000000000), PenStyle::Solid),
             diagonal);
    QCOMPARE(ByRaster({50, 30}, QLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX), PenStyle::Solid).size(), size_t{30});
  }

  void neverWritesOutsideTheImageRows() {
    // An image over our own memory, with a padded stride and guard words around it.
    constexpr int kW = 13, kH = 9, kStride = 16, kGuard = 64;
    constexpr uint32_t kSentinel = 0x12345678u;
    std::vector<uint32_t> memory(kGuard * 2 + kStride * kH, kSentinel);
    QImage img(reinterpret_cast<uchar*>(memory.data() + kGuard), kW, kH, kStride * 4,
               QImage::Format_ARGB32_Premultiplied);
    img.fill(kBlack);
    RasterLineSink sink(img);
    sink.SetPenColor(0x123456);  // $BBGGRR
    const int wild[] = {INT_MIN, -100, -1, 0, 6, 12, 13, 100, INT_MAX};
    for (const int a : wild)
      for (const int b : wild)
        for (const PenStyle style : {PenStyle::Solid, PenStyle::Dotted, PenStyle::DashDot}) {
          sink.SetPenStyle(style);
          sink.Line(a, b, b, a);
          sink.Line(a, 4, b, 5);
          sink.Line(6, a, 2, b);
        }
    for (int i = 0; i < int(memory.size()); ++i) {
      const int offset = i - kGuard;
      if (offset >= 0 && offset < kStride * kH && offset % kStride < kW)
        QVERIFY(memory[i] == kBlack || memory[i] == 0xFF563412u);
      else
        QCOMPARE(memory[i], kSentinel);
    }
    QVERIFY(Lit(img).size() > 50);
  }
};

QTEST_MAIN(TestRasterLineSink)
#include "test_rasterlinesink.moc"
