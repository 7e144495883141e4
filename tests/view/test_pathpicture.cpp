#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "nc/PathList.h"
#include "view/picture/PathPicture.h"
#include "view/picture/QPainterLineSink.h"
#include "view/TPathView.h"
#include "view/core/HitList.h"
#include "view/core/ModeColors.h"
#include "view/core/RenderOptions.h"
#include "view/core/ViewTransform.h"

using namespace kelvan::view;
using kelvan::nc::MachineState;
using kelvan::nc::PathKind;
using kelvan::nc::PathList;

namespace {

constexpr int kWidth = 400, kHeight = 300;
constexpr int kOriginX = 200, kOriginY = 150;  // the model origin at scale 1 without pan

QRgb Rgb(uint32_t bgr) { return QPainterLineSink::ToQColor(bgr).rgb(); }

// A path and the state the analyser would leave for it.
struct Scene {
  PathList Path{100};
  MachineState State;
  ViewTransform View;
  RenderOptions Options;
  HitList Hits{HitList::CapacityForPath(100)};
  PathPicture Picture{QSize(kWidth, kHeight)};

  explicit Scene(int tab = 1, double scale = 1) {
    View.SelectTab(tab);
    View.ResizeView(kWidth, kHeight);
    View.ViewScale = scale;
  }
  void Add(PathKind kind, std::initializer_list<float> values) {
    float v[8] = {};
    int i = 0;
    for (float x : values) v[i++] = x;
    kelvan::nc::AddPathItem(Path, 100, Path.Count, kind, v);
    for (int p = 0; p < 6; p += 3) kelvan::nc::UpdateRange(State, v[p], v[p + 1], v[p + 2]);
  }
  const QImage& Render() {
    Picture.Render(Path, State, View, Options, Hits, -1, QSize(kWidth, kHeight));
    return Picture.TempBox();
  }
};

int CountColor(const QImage& img, QRect area, QRgb color) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += img.pixel(x, y) == color;
  return n;
}

// Runs kelvan-cli on a settings store of its own (none: the defaults), in dir.
void StartCli(QProcess& cli, const QTemporaryDir& dir, const QStringList& args) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
  cli.setProcessEnvironment(env);
  cli.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kelvan-cli"), args);
}

}  // namespace

class TestPathPicture : public QObject {
  Q_OBJECT
 private slots:
  void feedMoveIsSilverOnBlackWithoutItsEndPixel() {
    Scene s;
    s.Add(PathKind::pkLinear, {0, 0, 0, 100, 100, 0});
    const QImage& img = s.Render();
    QCOMPARE(img.size(), QSize(kWidth, kHeight));
    for (int k = 0; k < 100; ++k) QCOMPARE(img.pixel(kOriginX + k, kOriginY - k), Rgb(bgr::Silver));
    // The end pixel is left to the next line, and there the box corner shows.
    QCOMPARE(img.pixel(kOriginX + 100, kOriginY - 100), Rgb(bgr::Navy));
    QCOMPARE(img.pixel(kOriginX + 30, kOriginY - 20), Rgb(bgr::Black));
  }

  void rapidIsYellowAndDotted() {
    Scene s;
    s.Add(PathKind::pkRapid, {0, 30, 0, 100, 30, 0});
    s.Add(PathKind::pkSetPosition, {0, 80, 0});  // keeps grid and box off the rapid's row
    const QImage& img = s.Render();
    const QRect line(kOriginX + 1, kOriginY - 30, 98, 1);
    QVERIFY(CountColor(img, line, Rgb(bgr::Yellow)) > 20);
    QVERIFY(CountColor(img, line, Rgb(bgr::Black)) > 20);  // the gaps between the dots
  }

  void whiteModeColours() {
    Scene s;
    s.Add(PathKind::pkLinear, {0, 0, 0, 100, 100, 0});
    s.Add(PathKind::pkRapid, {0, 50, 0, 100, 50, 0});
    s.Add(PathKind::pkDrill, {-80, -80, 10, -80, 0, 2, -5, 0});
    s.Options.WhiteMode = true;
    const QImage& img = s.Render();
    QCOMPARE(img.pixel(kOriginX + 10, kOriginY - 10), Rgb(bgr::Black));
    QCOMPARE(img.pixel(5, 5), Rgb(bgr::White));
    QVERIFY(CountColor(img, QRect(kOriginX + 1, kOriginY - 50, 98, 1), Rgb(bgr::Olive)) > 20);
    // The drill's approach leg runs up from (-80, -80) to (-80, 0) and stays yellow.
    QVERIFY(CountColor(img, QRect(kOriginX - 80, kOriginY + 1, 1, 78), Rgb(bgr::Yellow)) > 20);
  }

  void downRapidHasItsArrow() {
    Scene s(2, 10);  // front view: Z up, 10 pixels a unit
    s.Add(PathKind::pkRapid, {0, 0, 10, 0, 0, 0});
    const QImage& img = s.Render();
    // The arrowhead spreads 7 pixels either side of the tip and 20 above it.
    const QRect head(kOriginX + 1, kOriginY - 20, 7, 20);
    QVERIFY(CountColor(img, head, Rgb(bgr::Yellow)) > 5);
    s.Options.ShowArrow = false;
    QCOMPARE(CountColor(s.Render(), head, Rgb(bgr::Yellow)), 0);
  }

  void pathViewShowsTheCopyAndDrawsRunItems() {
    Scene s;
    s.Add(PathKind::pkLinear, {0, 0, 0, 0, -100, 0});
    TPathView view;
    QSignalSpy resized(&view, &TPathView::Resized);
    view.resize(kWidth, kHeight);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(resized.count() >= 1);
    QCOMPARE(view.ShowBoxSize(), QSize(kWidth, kHeight));

    s.Options.WhiteMode = true;
    view.ShowPicture(s.Render());
    QCOMPARE(view.ShownImage().size(), QSize(kWidth, kHeight));
    QCOMPARE(view.ShownImage().pixel(5, 5), Rgb(bgr::White));
    // A run draws in normal colours whatever the picture's mode.
    const PositionReadout r = view.DrawRunItem(s.Path, 0, s.View, s.Options);
    QCOMPARE(view.ShownImage().pixel(kOriginX, kOriginY + 50), Rgb(bgr::Silver));
    QVERIFY(r.HasPosition);
    QCOMPARE(r.Y, -100.0);
    QCOMPARE(s.Hits.Count(), 0);
    view.DrawRunItem(s.Path, 5, s.View, s.Options);  // past the path: nothing happens
  }

  void cliRendersAPicture() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("arcs.png"));
    QProcess cli;
    StartCli(cli, dir, {QStringLiteral("render"), QStringLiteral(KELVAN_TEST_DATA "/arcs.nc"),
                          QStringLiteral("-o"), out, QStringLiteral("--size"), QStringLiteral("320x240"),
                          QStringLiteral("--fit"), QStringLiteral("--view"), QStringLiteral("1")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QImage img(out);
    QCOMPARE(img.size(), QSize(320, 240));
    QVERIFY(CountColor(img, img.rect(), Rgb(bgr::Silver)) > 200);  // the arcs fill the view
  }

  void cliDrawsTheItemsBeforeAFault() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("fault.png"));
    QProcess cli;
    StartCli(cli, dir, {QStringLiteral("render"), QStringLiteral(KELVAN_TEST_DATA "/syntax_error.nc"),
                          QStringLiteral("-o"), out, QStringLiteral("--white"), QStringLiteral("--scale"),
                          QStringLiteral("50"), QStringLiteral("--view"), QStringLiteral("1")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 1);
    QVERIFY(cli.readAllStandardError().startsWith("result error 1 2 13 "));
    const QImage img(out);
    QCOMPARE(img.size(), QSize(800, 600));
    QVERIFY(CountColor(img, img.rect(), Rgb(bgr::Black)) > 10);  // the G01 to X2.
  }

  void cliRefusesBadArguments() {
    QTemporaryDir dir;
    const QStringList cases[] = {
        {QStringLiteral("render"), QStringLiteral(KELVAN_TEST_DATA "/arcs.nc")},  // no -o
        {QStringLiteral("render"), QStringLiteral(KELVAN_TEST_DATA "/arcs.nc"), QStringLiteral("-o"),
         QStringLiteral("/tmp/x.png"), QStringLiteral("--size"), QStringLiteral("0x10")},
        {QStringLiteral("render"), QStringLiteral(KELVAN_TEST_DATA "/arcs.nc"), QStringLiteral("-o"),
         QStringLiteral("/tmp/x.png"), QStringLiteral("--view"), QStringLiteral("4")},
        {QStringLiteral("render"), QStringLiteral("/nonexistent.nc"), QStringLiteral("-o"),
         QStringLiteral("/tmp/x.png")},
    };
    for (const QStringList& args : cases) {
      QProcess cli;
      StartCli(cli, dir, args);
      QVERIFY(cli.waitForFinished(60000));
      QCOMPARE(cli.exitCode(), 2);
    }
  }
};

QTEST_MAIN(TestPathPicture)
#include "test_pathpicture.moc"
