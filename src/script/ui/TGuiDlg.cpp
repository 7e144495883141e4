#include "script/ui/TGuiDlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "script/GuiDlgModel.h"

namespace kelvan::script {

namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

template <typename W>
void Place(W* w, const GuiDlgModel::Control& c) {
  w->setGeometry(c.Box.Left, c.Box.Top, std::max(c.Box.Width, 0), std::max(c.Box.Height, 0));
  w->setVisible(c.Visible);
}

// The fixed picture beside the buttons: the program's mark, a tool over its path.
QPixmap Mark() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 0, 160), 2));
  p.drawPolyline(QPolygon({QPoint(3, 27), QPoint(12, 27), QPoint(18, 14), QPoint(29, 14)}));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(192, 0, 0));
  p.drawEllipse(QPoint(18, 14), 5, 5);
  return pm;
}

}  // namespace

TGuiDlg::TGuiDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("GuiDlg"));
  setWindowTitle(QStringLiteral("Torvik２"));
  QFont windowFont = font();
  windowFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
  windowFont.setPixelSize(12);
  setFont(windowFont);

  bevel_ = new QFrame(this);
  bevel_->setObjectName(QStringLiteral("Bevel1"));
  bevel_->setFrameStyle(QFrame::Box | QFrame::Sunken);
  for (int i = 0; i < 10; ++i) {
    const QString n = QString::number(i + 1);
    labels_[size_t(i)] = new QLabel(this);
    labels_[size_t(i)]->setObjectName(QStringLiteral("Label") + n);
    edits_[size_t(i)] = new QLineEdit(this);
    edits_[size_t(i)]->setObjectName(QStringLiteral("Edit") + n);
    checks_[size_t(i)] = new QCheckBox(this);
    checks_[size_t(i)]->setObjectName(QStringLiteral("CheckBox") + n);
  }
  for (int i = 0; i < 11; ++i) {
    images_[size_t(i)] = new QLabel(this);
    images_[size_t(i)]->setObjectName(QStringLiteral("Image") + QString::number(i + 1));
  }
  for (QWidget* w : labels_) w->hide();
  for (QWidget* w : edits_) w->hide();
  for (QWidget* w : checks_) w->hide();
  for (QWidget* w : images_) w->hide();
  images_[10]->setPixmap(Mark());
  images_[10]->setGeometry(93, 224, 32, 32);
  images_[10]->show();

  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("OkBtn"));
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
  cancel_->setObjectName(QStringLiteral("CanBtn"));
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);  // Escape rejects too
  resize(366, 262);
}

void TGuiDlg::Apply(const GuiDlgModel& model) {
  for (size_t i = 0; i < 10; ++i) {
    const GuiDlgModel::Control& label = model.Labels[i];
    labels_[i]->setText(FromUtf8(label.Text));
    Place(labels_[i], label);
    const GuiDlgModel::Control& edit = model.Edits[i];
    edits_[i]->setText(FromUtf8(edit.Text));
    Place(edits_[i], edit);
    const GuiDlgModel::Control& check = model.CheckBoxes[i];
    checks_[i]->setText(FromUtf8(check.Text));
    checks_[i]->setChecked(check.Checked);
    Place(checks_[i], check);
    // A picture sizes itself to its content; one the loader cannot read stays empty.
    const GuiDlgModel::Control& image = model.Images[i];
    QPixmap pm;
    if (image.Visible) pm.load(FromUtf8(image.Text));
    images_[i]->setPixmap(pm);
    images_[i]->setGeometry(image.Box.Left, image.Box.Top, pm.width(), pm.height());
    images_[i]->setVisible(image.Visible);
  }
  // A script may ask for any size; the dialog stays between a usable minimum and the
  // screen, so its buttons can always be reached.
  QSize limit(4096, 4096);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) limit = screen->availableGeometry().size();
  const int width = std::clamp(model.ClientWidth, 220, std::max(220, limit.width()));
  const int height = std::clamp(model.ClientHeight, 90, std::max(90, limit.height()));
  setWindowTitle(FromUtf8(model.Caption));
  setFixedSize(width, height);
  ok_->setGeometry(width - 200, height - 32, 75, 25);
  cancel_->setGeometry(width - 100, height - 32, 75, 25);
  bevel_->setGeometry(8, 8, width - 16, height - 50);
  bevel_->lower();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width / 2, height / 2));
  }
}

void TGuiDlg::TakeBack(GuiDlgModel& model) const {
  for (size_t i = 0; i < 10; ++i) {
    model.Edits[i].Text = edits_[i]->text().toStdString();
    model.CheckBoxes[i].Checked = checks_[i]->isChecked();
  }
}

bool TGuiDlg::ShowModel(GuiDlgModel& model) {
  Apply(model);
  QWidget* first = nullptr;
  for (QLineEdit* e : edits_)
    if (!e->isHidden()) {
      first = e;
      break;
    }
  if (first) first->setFocus();
  const bool ok = exec() == QDialog::Accepted;
  // Whatever the ending, the boxes keep what was typed: the next use shows it again.
  TakeBack(model);
  return ok;
}

}  // namespace kelvan::script
