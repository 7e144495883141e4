// The DNC dialog bound to the main window: what a transfer does to the document.

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QAction>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <thread>

#include "comm/DncTransfer.h"
#include "comm/TapeCode.h"
#include "comm/ui/TCommDlg.h"
#include "editor/NcEditor.h"
#include "settings/SettingsKeys.h"
#include "settings/TRegManager.h"
#include "view/Beep.h"
#include "view/Commands.h"
#include "view/TViewForm.h"
#include "view/UserDialogs.h"
#include "workbench/Workbench.h"
#include "../view/ScriptedDialogs.h"

using namespace kelvan;
using test::ScriptedDialogs;

namespace {

// What the port sends for ISO text (the codes are tested in the core).
QByteArray Iso(const QByteArray& text) {
  QByteArray out;
  for (char c : text) out.append(static_cast<char>(comm::EncodeIso(static_cast<uint8_t>(c))));
  return out;
}

}  // namespace

class TestCommDlg : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  ScriptedDialogs* dialogs_ = nullptr;
  settings::TRegManager* reg_ = nullptr;
  std::unique_ptr<view::TViewForm> form_;
  int master_ = -1, slave_ = -1;
  QString slavePath_;

  comm::TCommDlg& Dlg() { return form_->CommDialog(); }
  // The text with its line ends as LF (a new document takes CR LF).
  QString Text() { return QString::fromUtf8(form_->Editor().TextUtf8()).replace("\r\n", "\n"); }
  void SetText(const char* text) {
    form_->Editor().SetText(QString::fromUtf8(text));
    form_->Editor().SetModified(false);
  }
  // The machine sends `wire` once the port is open.
  std::thread SendLater(QByteArray wire) {
    return std::thread([this, wire] {
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
      (void)::write(master_, wire.constData(), size_t(wire.size()));
    });
  }

 private slots:
  void init() {
    char name[128] = {};
    QCOMPARE(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    slavePath_ = QString::fromLocal8Bit(name);
    termios t{};
    ::tcgetattr(master_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master_, TCSANOW, &t);
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    auto reg = std::make_unique<settings::TRegManager>(dir_.filePath(QStringLiteral("KELVAN.ini")));
    reg_ = reg.get();
    reg_->WriteString(settings::keys::ComDevice(1), slavePath_);
    reg_->WriteInteger(settings::keys::XFlow(1), 0);
    reg_->WriteBool(settings::keys::DC2DC4(1), false);
    reg_->WriteInteger(settings::keys::EOB(1), 0);
    form_ = std::make_unique<view::TViewForm>(std::move(dialogs), std::move(reg));
    form_->resize(900, 600);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }
  void cleanup() {
    form_->Editor().SetModified(false);
    form_.reset();
    QFile::remove(dir_.filePath(QStringLiteral("KELVAN.ini")));
    ::close(master_);
    ::close(slave_);
  }

  void receiveReplacesTheProgramInOneUndoStep() {
    SetText("G00 X1.\n");
    dialogs_->answers = {QMessageBox::Yes};
    std::thread machine = SendLater(Iso("%\nO1\nG00 X5.\n%"));
    Dlg().RecBtnClick();
    machine.join();
    QCOMPARE(dialogs_->asked, (QStringList{comm::texts::ReadyToSend, comm::texts::ReceiveDone}));
    QCOMPARE(Text(), QStringLiteral("%\nO1\nG00 X5.\n%\n"));
    QVERIFY(form_->Editor().IsModified());
    QVERIFY(form_->Bench().IsAnalysed());
    form_->Editor().Undo();
    QCOMPARE(Text(), QStringLiteral("G00 X1.\n"));
  }

  void aModifiedProgramIsOfferedForSavingFirst() {
    SetText("G00 X1.\n");
    form_->Editor().SetModified(true);
    dialogs_->answers = {QMessageBox::No, QMessageBox::No};
    Dlg().RecBtnClick();
    QCOMPARE(dialogs_->asked.value(0), QStringLiteral("現在のファイルは変更されていますが、保存しますか"));
    QCOMPARE(dialogs_->asked.value(1), QString::fromUtf8(comm::texts::ReadyToSend));
    QCOMPARE(Text(), QStringLiteral("G00 X1.\n"));
  }

  void aPortThatDoesNotOpenLeavesTheProgram() {
    SetText("G00 X1.\n");
    reg_->WriteString(settings::keys::ComDevice(1), dir_.filePath("no-such-tty"));
    dialogs_->answers = {QMessageBox::Yes};
    Dlg().RecBtnClick();
    QCOMPARE(Text(), QStringLiteral("G00 X1.\n"));
    QVERIFY(dialogs_->asked.value(1).startsWith(QString::fromUtf8(comm::texts::InitFailed)));
    QVERIFY(!Dlg().Transferring());
    QVERIFY(!form_->Editor().IsModified());
  }

  void sendGoesOutFromTheDocument() {
    SetText("G01X1.\nM30\n");
    Dlg().SendBtnClick();
    char buf[64] = {};
    const ssize_t n = ::read(master_, buf, sizeof buf);
    QCOMPARE(QByteArray(buf, int(n)), Iso("G01X1.\nM30\n"));
    QCOMPARE(dialogs_->asked, QStringList{comm::texts::SendDone});
    QCOMPARE(Dlg().LastSend().LinesSent, 2);
  }

  void theRateLineNamesTheTransferTime() {
    SetText("G01X1.F100\nM30\n");
    QVERIFY(form_->Bench().AnalyseProgram());
    QVERIFY(Dlg().RateText().startsWith(QStringLiteral("転送時間 約 0 秒（1200 bps）")));
  }

  void refusedWhileAProgramExecutes() {
    SetText("G01X1.F100\nX2.\nM30\n");
    form_->Action(view::Command::AcSingle)->trigger();
    QVERIFY(form_->Bench().Exec().ExecIndex() >= 0);
    const int beeps = view::BeepCount();
    form_->Action(view::Command::AcCommunication)->trigger();
    QCOMPARE(view::BeepCount(), beeps + 1);
    QVERIFY(!Dlg().isVisible());
  }
};

QTEST_MAIN(TestCommDlg)
#include "test_commdlg.moc"
