// The mouse on the path view: turning by a left drag, moving by a middle drag (or Ctrl
// with the left button, for touchpads without a middle button), zooming by Shift and by
// the wheel, the reference mode that picks the item under the pointer, the view's context
// menu, the copy of the drawing and the see-through window.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "editor/NcEditor.h"
#include "nc/PathList.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

namespace {

// While a gesture goes on, a large path is drawn lighter; the full picture follows once
// the mouse has rested this long.
constexpr int kGestureRestMs = 150;
// One notch of an ordinary wheel.
constexpr int kWheelNotch = 120;
// Opacity of the see-through window, of 255.
constexpr double kSeeThrough = 160.0 / 255.0;

// The rotation cursor: a ring with an arrowhead.
QCursor RotationCursor() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  for (const auto& [pen, width] : {std::pair(QColor(Qt::white), 4.0), std::pair(QColor(Qt::black), 2.0)}) {
    p.setPen(QPen(pen, width));
    p.drawArc(QRect(6, 6, 20, 20), 30 * 16, 300 * 16);
    p.drawPolyline(QPolygon({QPoint(20, 3), QPoint(25, 9), QPoint(18, 11)}));
  }
  return QCursor(pm, 16, 16);
}

}  // namespace

void TViewForm::CreateViewGestures() {
  gestureRest_ = new QTimer(this);
  gestureRest_->setSingleShot(true);
  gestureRest_->setInterval(kGestureRestMs);
  connect(gestureRest_, &QTimer::timeout, this, [this] { Redraw(); });
  connect(showBox_, &TPathView::MousePressed, this, &TViewForm::ShowBoxMouseDown);
  connect(showBox_, &TPathView::MouseMoved, this, &TViewForm::ShowBoxMouseMove);
  connect(showBox_, &TPathView::MouseReleased, this, &TViewForm::ShowBoxMouseUp);
  connect(showBox_, &TPathView::Wheeled, this, &TViewForm::FormMouseWheel);
  connect(showBox_, &TPathView::ContextMenuRequested, this, &TViewForm::ShowViewMenu);

  Bind(Command::InfoBtn, &TViewForm::InfoBtnClick);
  Bind(Command::ClipBordItem, &TViewForm::ClipBordItemClick);
  Bind(Command::AcAlpha, &TViewForm::AcAlphaExecute);
  Bind(Command::AcFit, &TViewForm::FitView);
  // Home fits the view while the view has the keys; in the editors it stays the line start.
  auto* fitKey = new QAction(showBox_);
  fitKey->setShortcut(QKeySequence(Qt::Key_Home));
  fitKey->setShortcutContext(Qt::WidgetShortcut);
  showBox_->addAction(fitKey);
  connect(fitKey, &QAction::triggered, this, &TViewForm::FitView);
  Action(Command::AcFit)->setShortcut(QKeySequence(Qt::Key_Home));
  Action(Command::AcFit)->setShortcutContext(Qt::WidgetShortcut);  // shown in the menu, acts through fitKey

  viewMenu_ = new QMenu(this);
  viewMenu_->setObjectName(QStringLiteral("ViewPopup"));
  viewMenu_->addAction(QStringLiteral("原点復帰(&H)"), Action(Command::AcHome), &QAction::trigger);
  viewMenu_->addAction(Action(Command::AcFit));
  viewMenu_->addSeparator();
  for (Command c : {Command::AcSingle, Command::AcRun, Command::AcPause, Command::AcReset})
    viewMenu_->addAction(Action(c));
}

void TViewForm::ShowViewMenu(const QPoint& globalPos) { viewMenu_->popup(globalPos); }

void TViewForm::ShowBoxMouseDown(QMouseEvent* e) {
  QToolTip::hideText();
  showBox_->setToolTip(QString());
  const bool panKey = e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier);
  if (e->button() == Qt::MiddleButton || panKey) {
    pointer_ = Pointer::Pan;
    showBox_->setCursor(Qt::ClosedHandCursor);
  } else if (e->button() == Qt::LeftButton && pointer_ != Pointer::Pan) {
    pointer_ = Pointer::Rotate;
    showBox_->setCursor(RotationCursor());
  }
  lastMouse_ = e->position().toPoint();
}

void TViewForm::ShowBoxMouseUp(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton && e->button() != Qt::MiddleButton) return;
  // The other button may still hold its own gesture.
  if (e->buttons() & (Qt::LeftButton | Qt::MiddleButton)) return;
  pointer_ = Pointer::Normal;
  showBox_->unsetCursor();
  if (gestureRest_->isActive()) {
    gestureRest_->stop();
    Redraw();
  }
}

void TViewForm::ShowBoxMouseMove(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  const int dx = at.x() - lastMouse_.x(), dy = at.y() - lastMouse_.y();
  const Qt::MouseButtons buttons = e->buttons();
  const Qt::KeyboardModifiers keys = e->modifiers();
  if ((buttons & Qt::MiddleButton) || ((buttons & Qt::LeftButton) && pointer_ == Pointer::Pan)) {
    view_.PanX += dx;
    view_.PanY += dy;
  } else if (buttons & Qt::LeftButton) {
    const QSize size = showBox_->size();
    if (pointer_ != Pointer::Rotate || at.x() < 0 || at.y() < 0 || at.x() > size.width() || at.y() > size.height())
      return;
    RotateByDrag(view_, dx, dy);
    SetPanel(PanelAlpha, QString::fromStdString(AngleText("α", view_.Alpha())));
    SetPanel(PanelBeta, QString::fromStdString(AngleText("β", view_.Beta())));
  } else if (buttons & Qt::RightButton) {
    return;
  } else if (keys & Qt::ShiftModifier) {
    const bool zoomed = DragZoomsIn(dx, dy) ? view_.ZoomIn(ZoomGesture::Drag) : view_.ZoomOut(ZoomGesture::Drag);
    if (!zoomed) {
      // The last position stays, so the next move measures from it.
      Beep();
      return;
    }
  } else if (keys & (Qt::ControlModifier | Qt::AltModifier)) {
    lastMouse_ = at;  // the view stays as it is
    return;
  } else {
    if (bench_->Options().Tracking) PickUnderPointer(at);
    return;
  }
  GestureRedraw();
  lastMouse_ = at;
}

// A large path is drawn lighter while the gesture goes on, and whole once it rests.
void TViewForm::GestureRedraw() {
  draftStride_ = DraftStride(bench_->Path().Count);
  Redraw();
  if (draftStride_ > 1) gestureRest_->start();
  draftStride_ = 1;
}

void TViewForm::FormMouseWheel(QWheelEvent* e) {
  const QPoint at = e->position().toPoint();
  if (!(view_.ClipLeft < at.x() && at.x() < view_.ClipRight && view_.ClipTop < at.y() && at.y() < view_.ClipBottom))
    return;
  // Touchpads turn the wheel in fractions of a notch; they add up to notches.
  wheelRest_ += e->angleDelta().y();
  while (std::abs(wheelRest_) >= kWheelNotch) {
    const bool away = wheelRest_ > 0;
    wheelRest_ -= away ? kWheelNotch : -kWheelNotch;
    if (!(away ? wheelUp_ : wheelDown_).Notch()) continue;  // every second notch zooms
    const bool zoomed = away ? view_.ZoomIn(ZoomGesture::Wheel) : view_.ZoomOut(ZoomGesture::Wheel);
    if (!zoomed) {
      Beep();
      continue;
    }
    GestureRedraw();
  }
}

void TViewForm::PickUnderPointer(const QPoint& at) {
  if (!hitIndex_.Built()) hitIndex_.Build(hits_, showBox_->width(), showBox_->height());
  const int32_t found = hitIndex_.Find(hits_, at.x(), at.y());
  if (found == -1 || found == highlighted_) return;
  const nc::PathList& path = bench_->Path();
  const RenderOptions options = RenderOptionsNow(false);
  PositionReadout readout;
  if (highlighted_ != -1 && highlighted_ < path.Count)
    showBox_->DrawItemHighlight(path, highlighted_, view_, options, false);
  if (found < path.Count) readout = showBox_->DrawItemHighlight(path, found, view_, options, true);
  ShowReadouts(readout);
  highlighted_ = found;
  if (found >= path.Count) return;
  const int row = path[found].Line;
  edit_->SetCaret(row, 0);
  QToolTip::hideText();
  const QString text = edit_->Line(row);
  showBox_->setToolTip(text);
  QToolTip::showText(showBox_->mapToGlobal(at), text, showBox_);
}

// The reference mode: picking replaces running, so any execution ends.
void TViewForm::InfoBtnClick() {
  QToolTip::hideText();
  showBox_->setToolTip(QString());
  const bool on = Action(Command::InfoBtn)->isChecked();
  Action(Command::AcRun)->setEnabled(!on);
  Action(Command::AcSingle)->setEnabled(!on);
  bench_->Exec().Abandon();
  bench_->SetTracking(on);  // draws, recording the hits while on
  highlighted_ = -1;
}

void TViewForm::ClipBordItemClick() {
  Redraw(true);
  QApplication::clipboard()->setImage(showBox_->ShownImage().copy());
  Redraw(false);
}

void TViewForm::AcAlphaExecute() {
  const bool on = Action(Command::AcAlpha)->isChecked();
  setWindowOpacity(on ? kSeeThrough : 1.0);
}

void TViewForm::FitView() {
  nc::MachineState range = bench_->Machine();
  // With a program compared, both paths fit.
  if (bench_->Compare().Active()) {
    const nc::MachineState& o = bench_->Compare().OtherState();
    range.RangeMinX = std::min(range.RangeMinX, o.RangeMinX), range.RangeMaxX = std::max(range.RangeMaxX, o.RangeMaxX);
    range.RangeMinY = std::min(range.RangeMinY, o.RangeMinY), range.RangeMaxY = std::max(range.RangeMaxY, o.RangeMaxY);
    range.RangeMinZ = std::min(range.RangeMinZ, o.RangeMinZ), range.RangeMaxZ = std::max(range.RangeMaxZ, o.RangeMaxZ);
  }
  view_.Fit(range);
  Redraw();
}

}  // namespace kelvan::view
