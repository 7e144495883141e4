#pragma once

#include <QWidget>

class QsciScintilla;

namespace kelvan::editor {

// A thin line under the caret's row of one view. Scintilla can only fill or frame the
// caret line, so the underline is a small child of the view's viewport laid over the
// text and moved whenever the caret or the scroll position changes. It lets the mouse
// through. Hidden until enabled.
class CaretLineUnderline : public QWidget {
 public:
  explicit CaretLineUnderline(QsciScintilla* view);

  void SetEnabled(bool on);
  bool IsEnabled() const { return enabled_; }
  // Moves the line under the caret row, or hides it while that row is out of sight.
  void Reposition();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QsciScintilla* view_;
  bool enabled_ = false;
};

}  // namespace kelvan::editor
