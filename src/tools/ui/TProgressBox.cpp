#include "tools/ui/TProgressBox.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvan::tools {

namespace {

constexpr int kHeight = 45, kHeightWithCancel = 75, kWidth = 320;
// The bar counts in at most this many steps, so that a count of lines beyond the bar's int
// range still shows.
constexpr int64_t kBarSteps = 1000;

}  // namespace

TProgressBox::TProgressBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("ProgressBox1"));
  setWindowTitle(QStringLiteral("処理経過"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(3);
  status_ = new QLabel(this);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, static_cast<int>(kBarSteps));
  bar_->setTextVisible(false);
  cancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
  cancel_->setVisible(false);
  layout->addWidget(status_);
  layout->addWidget(bar_);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
  setFixedSize(kWidth, kHeight);
  timer_.setInterval(kRefreshMs);
  connect(&timer_, &QTimer::timeout, this, &TProgressBox::Refresh);
}

void TProgressBox::SetMaximum(int64_t maximum) { maximum_ = std::max<int64_t>(0, maximum); }

void TProgressBox::SetStatus(const QString& text) { status_->setText(text); }

void TProgressBox::SetCancelEnabled(bool enabled) {
  cancel_->setVisible(enabled);
  setFixedSize(kWidth, enabled ? kHeightWithCancel : kHeight);
}

int TProgressBox::BarValue() const { return bar_->value(); }

void TProgressBox::Refresh() {
  const int64_t p = std::clamp<int64_t>(position_.load(std::memory_order_relaxed), 0, maximum_);
  bar_->setValue(maximum_ > 0 ? static_cast<int>(p * kBarSteps / maximum_) : 0);
}

void TProgressBox::Start() {
  cancelled_ = false;
  position_ = 0;
  Refresh();
  show();
  timer_.start();
}

void TProgressBox::Finish() {
  timer_.stop();
  Refresh();
  hide();
}

}  // namespace kelvan::tools
