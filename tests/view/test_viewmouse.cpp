// The mouse on the path view of the main window: turning, moving, zooming, picking in the
// reference mode, the clipboard copy and the see-through window.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

#include "editor/NcEditor.h"
#include "nc/PathList.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"
#include "ScriptedDialogs.h"

using namespace kelvan;
using view::Command;
using view::TViewForm;

namespace {

// The colour most pixels of the image have.
QRgb CommonColour(const QImage& image) {
  std::map<QRgb, int> count;
  for (int y = 0; y < image.height(); y += 3)
    for (int x = 0; x < image.width(); x += 3) ++count[image.pixel(x, y) & 0xFFFFFF];
  return std::max_element(count.begin(), count.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

}  // namespace

class TestViewMouse : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  std::unique_ptr<TViewForm> form_;

  view::TPathView& Box() { return form_->ShowBox(); }
  void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
            Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(at), QPointF(Box().mapToGlobal(at)), button, held, keys);
    QCoreApplication::sendEvent(&Box(), &e);
  }
  void Drag(Qt::MouseButton button, QPoint from, std::initializer_list<QPoint> path,
            Qt::KeyboardModifiers keys = Qt::NoModifier) {
    Send(QEvent::MouseButtonPress, from, button, button, keys);
    for (QPoint p : path) Send(QEvent::MouseMove, p, Qt::NoButton, button, keys);
    Send(QEvent::MouseButtonRelease, path.size() ? *(path.end() - 1) : from, button, Qt::NoButton, keys);
  }
  void Wheel(int delta) {
    const QPoint at(Box().width() / 2, Box().height() / 2);
    QWheelEvent e(QPointF(at), QPointF(Box().mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&Box(), &e);
  }
  QPoint PixelOf(double x, double y, double z) {
    const view::PixelPoint p = form_->View().ToPixel(form_->View().ProjectPoint(x, y, z));
    return QPoint(int(p.X), int(p.Y));
  }

 private slots:
  void init() {
    auto reg = std::make_unique<settings::TRegManager>(dir_.filePath(QStringLiteral("KELVAN.ini")));
    form_ = std::make_unique<TViewForm>(std::make_unique<test::ScriptedDialogs>(), std::move(reg));
    form_->resize(900, 600);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->Editor().SetText(QStringLiteral("G90G01X100.Y0Z0F500\nY100.\nX0.\n"));
    form_->Redraw();
    form_->Action(Command::AcFit)->trigger();
  }
  void cleanup() { form_.reset(); }

  void leftDragTurnsAndStopsShortOfNinetyDegrees() {
    Drag(Qt::LeftButton, {100, 100}, {{100, 190}, {100, 280}});
    QCOMPARE(form_->PanelText(TViewForm::PanelAlpha), QStringLiteral("α60.0"));
    QCOMPARE(form_->PanelText(TViewForm::PanelBeta), QStringLiteral("β30.0"));
    Drag(Qt::LeftButton, {100, 100}, {{100, 180}});
    QCOMPARE(form_->PanelText(TViewForm::PanelAlpha), QStringLiteral("α90.0"));
    QCOMPARE(form_->View().Alpha(), view::kAngleLimit);
  }

  // The middle button (or Ctrl with the left, for touchpads) moves the view; a left drag
  // begun while the hand is shown does not turn it.
  void middleDragAndCtrlLeftDragMoveTheView() {
    const double alpha = form_->View().Alpha();
    const int panX = form_->View().PanX, panY = form_->View().PanY;
    Drag(Qt::MiddleButton, {100, 100}, {{130, 90}});
    QCOMPARE(form_->View().PanX, panX + 30);
    QCOMPARE(form_->View().PanY, panY - 10);
    Drag(Qt::LeftButton, {100, 100}, {{110, 120}}, Qt::ControlModifier);
    QCOMPARE(form_->View().PanX, panX + 40);
    QCOMPARE(form_->View().PanY, panY + 10);
    Send(QEvent::MouseButtonPress, {100, 100}, Qt::MiddleButton, Qt::MiddleButton);
    Send(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::MiddleButton | Qt::LeftButton);
    Send(QEvent::MouseMove, {100, 150}, Qt::NoButton, Qt::MiddleButton | Qt::LeftButton);
    QCOMPARE(form_->View().Alpha(), alpha);
  }

  void everySecondWheelNotchZooms() {
    const double scale = form_->View().ViewScale;
    Wheel(-120);
    QCOMPARE(form_->View().ViewScale, scale);
    Wheel(-120);
    QCOMPARE(form_->View().ViewScale, scale / form_->View().ZoomFactor);
    Wheel(60);  // half a notch (a touchpad)
    Wheel(60);
    QCOMPARE(form_->View().ViewScale, scale / form_->View().ZoomFactor);
    Wheel(120);
    QCOMPARE(form_->View().ViewScale, scale);
  }

  void shiftMoveZoomsByDragging() {
    const double scale = form_->View().ViewScale;
    Send(QEvent::MouseMove, {200, 200}, Qt::NoButton, Qt::NoButton);
    Send(QEvent::MouseMove, {200, 190}, Qt::NoButton, Qt::NoButton, Qt::ShiftModifier);  // up: in
    QCOMPARE(form_->View().ViewScale, scale / (0.4 * form_->View().ZoomFactor));
  }

  // The reference mode: the item under the pointer turns orange, the caret goes to its
  // line, and moving away keeps both.
  void referenceModePicksTheItemUnderThePointer() {
    form_->Action(Command::InfoBtn)->trigger();
    QVERIFY(!form_->Action(Command::AcRun)->isEnabled());
    QVERIFY(!form_->Action(Command::AcSingle)->isEnabled());
    const float* v = form_->Path()[1].Values;  // from (v0, v1, v2) to (v3, v4, v5)
    const QPoint a = PixelOf(v[0], v[1], v[2]), b = PixelOf(v[3], v[4], v[5]);
    const QPoint middle = (a + b) / 2;
    Send(QEvent::MouseMove, middle + QPoint(4, 0), Qt::NoButton, Qt::NoButton);
    QCOMPARE(form_->HighlightedItem(), 1);
    QCOMPARE(form_->Editor().CaretRow(), 1);
    QCOMPARE(Box().toolTip(), QStringLiteral("Y100."));
    QCOMPARE(Box().ShownImage().pixel(middle) & 0xFFFFFF, QRgb(0xFFA500));  // orange
    Send(QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(form_->HighlightedItem(), 1);
    form_->Action(Command::InfoBtn)->trigger();
    QVERIFY(form_->Action(Command::AcRun)->isEnabled());
  }

  void clipboardCopyIsWhiteAndTheScreenStaysBlack() {
    form_->Action(Command::ClipBordItem)->trigger();
    const QImage copy = QGuiApplication::clipboard()->image();
    QVERIFY(!copy.isNull());
    QCOMPARE(copy.size(), Box().size());
    QCOMPARE(CommonColour(copy), QRgb(0xFFFFFF));
    QCOMPARE(CommonColour(Box().ShownImage()), QRgb(0x000000));
  }

  void seeThroughModeAndFit() {
    form_->Action(Command::AcAlpha)->trigger();
    QCOMPARE(qRound(form_->windowOpacity() * 255), 160);
    form_->Action(Command::AcAlpha)->trigger();
    QCOMPARE(form_->windowOpacity(), 1.0);
    // 全体表示 brings the whole part into the view.
    form_->View().ViewScale = 50;
    form_->Action(Command::AcFit)->trigger();
    for (QPoint p : {PixelOf(0, 0, 0), PixelOf(100, 100, 0)})
      QVERIFY(Box().rect().contains(p));
  }
};

QTEST_MAIN(TestViewMouse)
#include "test_viewmouse.moc"
