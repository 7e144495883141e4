#include "comm/ui/TCommDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "comm/LineRateCheck.h"
#include "nc/NcText.h"
#include "settings/MachineProfile.h"
#include "settings/TRegManager.h"
#include "view/Beep.h"
#include "view/UserDialogs.h"
#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"

namespace kelvan::comm {

namespace {

QString Duration(double seconds) {
  const long long s = static_cast<long long>(seconds + 0.5);
  if (s < 60) return QStringLiteral("%1 秒").arg(s);
  if (s < 3600) return QStringLiteral("%1 分 %2 秒").arg(s / 60).arg(s % 60);
  return QStringLiteral("%1 時間 %2 分").arg(s / 3600).arg((s % 3600) / 60);
}

QPushButton* Button(const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TCommDlg::TCommDlg(workbench::Workbench& bench, view::UserDialogs& dialogs, settings::TRegManager& reg,
                   std::function<void()> promptSave, QWidget* parent)
    : QDialog(parent), bench_(bench), dialogs_(dialogs), reg_(reg), promptSave_(std::move(promptSave)) {
  setWindowTitle(QStringLiteral("通信"));
  // Line events, should a callback ever be assigned, run on this thread.
  rs232c_.SetDispatcher([this](std::function<void()> work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
  });
  setObjectName(QStringLiteral("CommDlg"));
  auto* group = new QGroupBox(QStringLiteral("機械名"), this);
  group->setObjectName(QStringLiteral("Machin"));
  auto* groupLayout = new QVBoxLayout(group);
  for (int i = 0; i < 4; ++i) {
    machin_[size_t(i)] = new QRadioButton(QString::number(i + 1), group);
    groupLayout->addWidget(machin_[size_t(i)]);
  }
  machin_[0]->setChecked(true);
  sendBtn_ = Button(QStringLiteral("送信"), this);
  recBtn_ = Button(QStringLiteral("受信"), this);
  stopBtn_ = Button(QStringLiteral("停止"), this);
  stopBtn_->setToolTip(QStringLiteral("ESC"));
  exitBtn_ = Button(QStringLiteral("閉じる"), this);
  sendBtn_->setObjectName(QStringLiteral("SendBtn"));
  recBtn_->setObjectName(QStringLiteral("RecBtn"));
  stopBtn_->setObjectName(QStringLiteral("StopBtn"));
  exitBtn_->setObjectName(QStringLiteral("ExitBtn"));
  progressBar1_ = new QProgressBar(this);
  progressBar1_->setRange(0, 100);
  progressBar1_->setValue(0);
  progressBar1_->setTextVisible(false);
  stateLabel_ = new QLabel(this);
  rateLabel_ = new QLabel(this);
  rateLabel_->setWordWrap(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(group, 0, 0, 4, 1);
  grid->addWidget(sendBtn_, 0, 1);
  grid->addWidget(recBtn_, 1, 1);
  grid->addWidget(stopBtn_, 2, 1);
  grid->addWidget(exitBtn_, 3, 1);
  grid->addWidget(progressBar1_, 4, 0, 1, 2);
  grid->addWidget(stateLabel_, 5, 0, 1, 2);
  grid->addWidget(rateLabel_, 6, 0, 1, 2);
  setFixedSize(313, 260);

  for (QRadioButton* r : machin_)
    connect(r, &QRadioButton::toggled, this, [this](bool on) {
      if (on) UpdateRate();
    });
  connect(sendBtn_, &QPushButton::clicked, this, &TCommDlg::SendBtnClick);
  connect(recBtn_, &QPushButton::clicked, this, &TCommDlg::RecBtnClick);
  connect(stopBtn_, &QPushButton::clicked, this, &TCommDlg::StopBtnClick);
  connect(exitBtn_, &QPushButton::clicked, this, &TCommDlg::ExitBtnClick);
}

TCommDlg::~TCommDlg() { qApp->removeEventFilter(this); }

int TCommDlg::Profile() const {
  for (int i = 0; i < 4; ++i)
    if (machin_[size_t(i)]->isChecked()) return i + 1;
  return 1;
}

void TCommDlg::SetProfile(int n) {
  if (n >= 1 && n <= 4) machin_[size_t(n - 1)]->setChecked(true);
}

void TCommDlg::showEvent(QShowEvent* e) {
  for (int n = 1; n <= 4; ++n)
    machin_[size_t(n - 1)]->setText(settings::MachineProfile::Load(reg_, n).Machin);
  UpdateRate();
  QDialog::showEvent(e);
}

void TCommDlg::closeEvent(QCloseEvent* e) {
  if (busy_) {
    e->ignore();
    return;
  }
  rs232c_.Close();
  QDialog::closeEvent(e);
}

void TCommDlg::reject() {
  // Escape during a transfer is the stop key, never the close button.
  if (busy_) return;
  rs232c_.Close();
  QDialog::reject();
}

bool TCommDlg::eventFilter(QObject* watched, QEvent* e) {
  if (busy_ && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
    escape_ = true;
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

DncProfile TCommDlg::LoadProfile() {
  rs232c_.comdevices = settings::LoadComDevices(reg_);
  return settings::MachineProfile::Load(reg_, Profile()).ToDnc();
}

void TCommDlg::SendBtnClick() {
  if (busy_) return;
  const DncProfile profile = LoadProfile();
  const std::shared_ptr<const nc::NcText> text = bench_.Snapshot();
  std::vector<std::string> lines;
  lines.reserve(size_t(text->LineCount()));
  for (int32_t i = 0; i < text->LineCount(); ++i) lines.emplace_back(text->Line(i));
  stateLabel_->clear();
  lastSend_ = transfer_.Send(profile, lines, text->Encoding());
  if (lastSend_.End != TransferEnd::Declined && lastSend_.End != TransferEnd::OpenFailed)
    stateLabel_->setText(QStringLiteral("送信 %1 / %2 行").arg(lastSend_.LinesSent).arg(lastSend_.LineCount));
}

void TCommDlg::RecBtnClick() {
  if (busy_) return;
  // The received program replaces the document: a modified one may be saved first.
  if (promptSave_) promptSave_();
  const DncProfile profile = LoadProfile();
  stateLabel_->clear();
  lastReceive_ = transfer_.Receive(profile);
  if (lastReceive_.Lines.empty()) return;  // nothing came: the program stays as it was
  const std::string end = bench_.Document().LineEnd();
  std::string text;
  for (const std::string& line : lastReceive_.Lines) text += line + end;
  bench_.ReplaceText(std::move(text));
  UpdateRate();
}

void TCommDlg::UpdateRate() { rateLabel_->setText(RateText()); }

QString TCommDlg::RateText() const {
  if (!bench_.IsAnalysed()) return {};
  const DncProfile profile = settings::MachineProfile::Load(reg_, Profile()).ToDnc();
  const std::shared_ptr<const nc::NcText> text = const_cast<workbench::Workbench&>(bench_).Snapshot();
  const LineRateReport r = CheckLineRate(*text, bench_.Path(), profile);
  QString s = QStringLiteral("転送時間 約 %1（%2 bps）").arg(Duration(r.TransferSeconds)).arg(r.Baud);
  if (r.Starves)
    s += QStringLiteral("\n%1 行目で機械が待たされます（%2 文字/秒が必要、回線は %3 文字/秒）")
             .arg(r.Line + 1)
             .arg(r.NeededCharsPerSecond, 0, 'f', 0)
             .arg(r.CharsPerSecond, 0, 'f', 0);
  return s;
}

// --- the transfer's window ---------------------------------------------------------------------

void TCommDlg::ProcessMessages(int32_t waitMs) {
  if (waitMs <= 0) {
    QCoreApplication::processEvents();
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
  loop.exec();
}

bool TCommDlg::EscapePressed() { return std::exchange(escape_, false); }

bool TCommDlg::Ask(const std::string& text, const std::string& caption) {
  return dialogs_.Message(this, QMessageBox::Question, QString::fromStdString(caption),
                          QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TCommDlg::Show(const std::string& text, Icon icon) {
  const QMessageBox::Icon i = icon == Icon::Warning ? QMessageBox::Warning
                              : icon == Icon::Question ? QMessageBox::Question
                                                       : QMessageBox::Information;
  dialogs_.Message(this, i, QString::fromUtf8(texts::Caption), QString::fromStdString(text), QMessageBox::Ok);
}

void TCommDlg::Beep(bool) { view::Beep(); }

void TCommDlg::Busy(bool on) {
  if (on == busy_) return;
  busy_ = on;
  escape_ = false;
  if (on) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    qApp->installEventFilter(this);
  } else {
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
  }
  for (QPushButton* b : {sendBtn_, recBtn_, exitBtn_}) b->setEnabled(!on);
  for (QRadioButton* r : machin_) r->setEnabled(!on);
}

void TCommDlg::Progress(int32_t max, int32_t position) {
  progressBar1_->setMaximum(std::max(max, 1));
  progressBar1_->setValue(std::min(position, std::max(max, 1)));
}

void TCommDlg::Received(size_t lines) {
  stateLabel_->setText(QStringLiteral("受信 %1 行").arg(qulonglong(lines)));
}

}  // namespace kelvan::comm
