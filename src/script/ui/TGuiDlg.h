#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvan::script {

struct GuiDlgModel;

// The dialog a script lays out itself: ten labels, ten edit boxes, ten check boxes and
// ten pictures at pixel positions, a frame, a fixed picture and OK / Cancel. It is made
// once and shows whatever the model says; what the user typed and checked goes back
// into the model, so the next script finds it there.
class TGuiDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TGuiDlg(QWidget* parent = nullptr);

  // Lays the dialog out as the model says, shows it modally and takes the answers back.
  // True when it was closed with OK (Escape and the close box cancel).
  bool ShowModel(GuiDlgModel& model);

  // The two halves of ShowModel, for the window's tests.
  void Apply(const GuiDlgModel& model);
  void TakeBack(GuiDlgModel& model) const;

  QLabel* Label(int no) const { return labels_.at(size_t(no - 1)); }           // 1..10
  QLineEdit* Edit(int no) const { return edits_.at(size_t(no - 1)); }
  QCheckBox* CheckBox(int no) const { return checks_.at(size_t(no - 1)); }
  QLabel* Image(int no) const { return images_.at(size_t(no - 1)); }            // 1..11
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* CanBtn() const { return cancel_; }

 private:
  std::array<QLabel*, 10> labels_{};
  std::array<QLineEdit*, 10> edits_{};
  std::array<QCheckBox*, 10> checks_{};
  std::array<QLabel*, 11> images_{};
  QFrame* bevel_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace kelvan::script
