#include "editor/CaretLineUnderline.h"

#include <Qsci/qsciscintilla.h>

#include <QEvent>
#include <QPainter>

namespace kelvan::editor {

using Sci = QsciScintillaBase;

CaretLineUnderline::CaretLineUnderline(QsciScintilla* view) : QWidget(view->viewport()), view_(view) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
  view->viewport()->installEventFilter(this);
  connect(view, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { Reposition(); });
  connect(view, &QsciScintillaBase::SCN_ZOOM, this, [this] { Reposition(); });
}

void CaretLineUnderline::SetEnabled(bool on) {
  enabled_ = on;
  Reposition();
}

void CaretLineUnderline::Reposition() {
  if (!enabled_) {
    hide();
    return;
  }
  const long pos = view_->SendScintilla(Sci::SCI_GETCURRENTPOS);
  const long line = view_->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
  const long top = view_->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0ul, pos);
  const long height = view_->SendScintilla(Sci::SCI_TEXTHEIGHT, static_cast<unsigned long>(line));
  long left = 0;
  for (unsigned long m = 0; m < 5; ++m) left += view_->SendScintilla(Sci::SCI_GETMARGINWIDTHN, m);
  const QWidget* port = view_->viewport();
  const long y = top + height - 1;
  if (y < 0 || y >= port->height() || left >= port->width()) {
    hide();
    return;
  }
  setGeometry(static_cast<int>(left), static_cast<int>(y), port->width() - static_cast<int>(left), 1);
  show();
  raise();
}

void CaretLineUnderline::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), QColor(0x00, 0x00, 0x80));
}

bool CaretLineUnderline::eventFilter(QObject* watched, QEvent* event) {
  // The viewport is this widget's parent; the view itself may already be half destroyed
  // when its viewport sends the last events.
  if (event->type() == QEvent::Resize && watched == parent()) Reposition();
  return QWidget::eventFilter(watched, event);
}

}  // namespace kelvan::editor
