// The script window, the script-built dialog and the user command buttons, bound to the
// main window: what a run does to the program, the files, and the stop.

#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "editor/NcEditor.h"
#include "nc/PathList.h"
#include "script/ScriptFolder.h"
#include "script/ui/TAssistanceDlg.h"
#include "script/ui/TGuiDlg.h"
#include "script/ui/TScriptDlg.h"
#include "settings/SettingsKeys.h"
#include "settings/TRegManager.h"
#include "view/Beep.h"
#include "view/Commands.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"
#include "../view/ScriptedDialogs.h"
#include "../view/WhenModal.h"

using namespace kelvan;
using test::WhenModal;
using test::ScriptedDialogs;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

class TestScriptDlg : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  QString folder_;
  ScriptedDialogs* dialogs_ = nullptr;
  std::unique_ptr<view::TViewForm> form_;

  script::TScriptDlg& Dlg() { return form_->ScriptWindow(); }
  QString Program() { return QString::fromUtf8(form_->Editor().TextUtf8()).replace("\r\n", "\n"); }
  void SetScript(const char* text) {
    Dlg().Script().SetText(QString::fromUtf8(text));
    Dlg().Script().SetModified(false);
  }
  void MakeForm(const QStringList& commands = {}) {
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    auto reg = std::make_unique<settings::TRegManager>(dir_.filePath(QStringLiteral("KELVAN.ini")));
    for (int n = 1; n <= settings::CommandCount; ++n) reg->WriteString(settings::keys::Command(n), commands.value(n - 1));
    form_ = std::make_unique<view::TViewForm>(std::move(dialogs), std::move(reg));
  }

 private slots:
  void initTestCase() {
    qputenv("XDG_DATA_HOME", dir_.path().toUtf8());
    folder_ = QString::fromStdString(script::UserScriptFolder());
    QVERIFY(QDir().mkpath(folder_));
  }
  void init() { MakeForm({QString(), QStringLiteral("line.pas")}); }
  void cleanup() { form_.reset(); }

  void freshWindowNamesNonamePasInTheScriptFolder() {
    QCOMPARE(Dlg().FileName(), folder_ + QStringLiteral("/NONAME.PAS"));
    QCOMPARE(Dlg().windowTitle(), Dlg().FileName());
    SetScript("begin end.\n");
    QVERIFY(Dlg().FileSave());
    QCOMPARE(ReadAll(Dlg().FileName()), QByteArray("begin end.\n"));
    QVERIFY(!Dlg().Script().IsModified());
  }

  void caretPositionTextAndOverwritePanel() {
    SetScript(QByteArray("xxxx\n").repeated(15).constData());
    Dlg().Script().SetCaret(11, 2);
    QCOMPARE(Dlg().StatusText(0), QStringLiteral("   12 行:   3 桁"));
    QCOMPARE(Dlg().StatusText(1), QStringLiteral("挿入"));
    Dlg().Action("OverWrite")->trigger();
    QCOMPARE(Dlg().StatusText(1), QStringLiteral("上書"));
    QVERIFY(Dlg().Script().IsOverwrite());
  }

  // A CP932 script with Japanese remarks and CR LF comes back byte for byte, under a new
  // name after 名前をつけて保存, and the caption follows the file.
  void cp932ScriptRoundTripsByteExactly() {
    const QByteArray bytes = QByteArray("{ \x83\x58\x83\x4E\x83\x8A\x83\x76\x83\x67 }\r\n"  // スクリプト
                                        "begin\r\n  Writeln('\x8C\x8A');\r\nend.\r\n");      // 穴
    const QString source = dir_.filePath(QStringLiteral("in.pas"));
    WriteAll(source, bytes);
    dialogs_->files = {source};
    QVERIFY(Dlg().LoadProcedure());
    QCOMPARE(Dlg().FileName(), source);
    QVERIFY(Dlg().Script().Text().contains(QStringLiteral("スクリプト")));
    const QString target = dir_.filePath(QStringLiteral("out.pas"));
    dialogs_->files = {target};
    QVERIFY(Dlg().FileSaveAs());
    QCOMPARE(ReadAll(target), bytes);
    QCOMPARE(Dlg().windowTitle(), target);
    // Saving over an existing file asks first; Cancel keeps it.
    WriteAll(target, "old");
    dialogs_->files = {target};
    dialogs_->answers = {QMessageBox::Cancel};
    QVERIFY(!Dlg().FileSaveAs());
    QCOMPARE(ReadAll(target), QByteArray("old"));
    QCOMPARE(dialogs_->asked.last(), target + QStringLiteral(" 上書きしますか。"));
  }

  void fileNewAsksAndCancelChangesNothing() {
    SetScript("begin end.");
    dialogs_->answers = {QMessageBox::Cancel};
    Dlg().FileNew();
    QCOMPARE(Dlg().Script().Text(), QStringLiteral("begin end."));
    dialogs_->answers = {QMessageBox::Ok};
    Dlg().FileNew();
    QCOMPARE(Dlg().Script().Text(), QString());
    QCOMPARE(dialogs_->asked.last(), QStringLiteral("初期化して良いですか？"));
  }

  // A run writes its blocks at the end of the program in one undo step and the path is
  // drawn from them.
  void runWritesBlocksAndTheyAreDrawn() {
    form_->Editor().SetText(QStringLiteral("G90\n"));
    SetScript("begin RapidXY(10, 0); GoToXY(10, 20, 100) end.");
    QVERIFY(Dlg().RunScriptText());
    QCOMPARE(Program(), QStringLiteral("G90\nG00X10.0Y0.0\nG01X10.0Y20.0F100\n"));
    QVERIFY(form_->IsAnalysed());
    QVERIFY(form_->Path().Count >= 2);
    form_->Editor().Undo();
    QCOMPARE(Program(), QStringLiteral("G90\n"));
  }

  // Compile and run-time faults: the message in the status bar, a beep, the caret on the
  // fault, the window shown; a syntax fault writes nothing.
  void faultPlacesTheCaretAndShowsTheWindow_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("program");
    QTest::newRow("syntax") << "begin\n  RapidXY(1, 2);\n  x := ;\nend." << 2 << 7 << "";
    QTest::newRow("run time") << "var a: Integer;\nbegin\n  RapidXY(1, 2);\n  a := 0;\n  a := 5 div a;\nend." << 4
                              << 2 << "G00X1.0Y2.0\n";
  }
  void faultPlacesTheCaretAndShowsTheWindow() {
    QFETCH(QString, script);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, program);
    form_->Editor().SetText(QString());
    Dlg().Script().SetText(script);
    const int beeps = view::BeepCount();
    bool shown = false;
    WhenModal([&](QWidget* w) {
      shown = w == &Dlg();
      w->close();
    });
    QVERIFY(!Dlg().RunScriptText());
    QVERIFY(shown);
    QVERIFY(view::BeepCount() > beeps);
    QVERIFY(!Dlg().StatusText(2).isEmpty());
    QCOMPARE(Dlg().StatusText(2), Dlg().Messages().value(0));
    QCOMPARE(Dlg().Script().CaretRow(), row);
    QCOMPARE(Dlg().Script().CaretCol(), col);
    QCOMPARE(Program(), program);
  }

  // The script lays the dialog out; the user (the test) types and checks; the script
  // reads the answers. The boxes keep what was typed for the next script.
  void scriptBuiltDialogLaysOutAndAnswers() {
    form_->Editor().SetText(QString());
    SetScript(
        "begin\n"
        "  InitDlg;\n"
        "  AddLabel(10, 12, 80, 16, '直径');\n"
        "  AddEdit(1, 100, 10, 80, 20, '10');\n"
        "  AddEdit(3, 100, 40, 80, 20, '');\n"
        "  AddCheckBox(2, 10, 70, 120, 20, 'ペック', False);\n"
        "  if ShowDlg(300, 200, 'Test') then begin\n"
        "    Writeln(GetDlgText(1));\n"
        "    Writeln(GetDlgText(3));\n"
        "    if CheckBoxChecked(2) then Writeln('checked');\n"
        "  end else Writeln('cancelled');\n"
        "end.");
    script::TGuiDlg& gui = Dlg().GuiDlg();
    // The user of an earlier run typed into box 3 and cancelled.
    WhenModal([&](QWidget*) {
      gui.Edit(3)->setText(QStringLiteral("abc"));
      QTest::keyClick(gui.Edit(3), Qt::Key_Escape);
    });
    QVERIFY(Dlg().RunScriptText());
    QCOMPARE(Program(), QStringLiteral("cancelled\n"));
    form_->Editor().SetText(QString());
    WhenModal([&](QWidget* w) {
      QCOMPARE(w, &gui);
      QCOMPARE(w->windowTitle(), QStringLiteral("Torvik２　Test"));
      QCOMPARE(w->size(), QSize(300, 200));
      QCOMPARE(gui.OkBtn()->pos(), QPoint(100, 168));
      QCOMPARE(gui.CanBtn()->pos(), QPoint(200, 168));
      QCOMPARE(gui.Label(1)->text(), QStringLiteral("直径"));
      QVERIFY(gui.Label(1)->isVisible());
      QVERIFY(!gui.Label(2)->isVisible());
      QVERIFY(!gui.Edit(2)->isVisible());
      QCOMPARE(gui.Edit(1)->geometry(), QRect(100, 10, 80, 20));
      QCOMPARE(gui.Edit(3)->text(), QStringLiteral("abc"));
      gui.Edit(1)->setText(QStringLiteral("25.5"));
      gui.CheckBox(2)->setChecked(true);
      gui.OkBtn()->click();
    });
    QVERIFY(Dlg().RunScriptText());
    QCOMPARE(Program(), QStringLiteral("25.5\nabc\nchecked\n"));

    // The script's own text replaces what was typed; an empty one keeps it.
    QCOMPARE(gui.Edit(1)->text(), QStringLiteral("25.5"));
  }

  // The stop command and Escape end an endless loop within a second; the window then
  // shows where it stopped.
  void stopEndsAnEndlessScript_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("スクリプト停止") << false;
    QTest::newRow("Escape") << true;
  }
  void stopEndsAnEndlessScript() {
    QFETCH(bool, escape);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    SetScript("var i: Integer;\nbegin\n  i := 0;\n  while True do i := i + 1;\nend.");
    QElapsedTimer clock;
    qint64 stoppedAt = -1;
    bool lockedMeanwhile = false;
    QTimer::singleShot(200, [&] {
      lockedMeanwhile = !form_->Action(view::Command::AcScriptRun)->isEnabled() &&
                        form_->Action(view::Command::AcScriptStop)->isEnabled();
      stoppedAt = clock.elapsed();
      if (escape) QTest::keyClick(form_.get(), Qt::Key_Escape);
      else form_->Action(view::Command::AcScriptStop)->trigger();
    });
    qint64 endedAt = -1;
    WhenModal([&](QWidget* w) {
      endedAt = clock.elapsed();
      w->close();
    });
    clock.start();
    form_->Action(view::Command::AcScriptRun)->trigger();
    QVERIFY(stoppedAt >= 0);
    QVERIFY(lockedMeanwhile);
    QVERIFY2(endedAt - stoppedAt < 1000, qPrintable(QString::number(endedAt - stoppedAt)));
    QVERIFY(Dlg().StatusText(2).contains(QStringLiteral("停止")));
    QVERIFY(!Dlg().IsRunning());
    QVERIFY(form_->Action(view::Command::AcScriptRun)->isEnabled());
    QVERIFY(form_->Action(view::Command::AcFileOpen)->isEnabled());
  }

  // A user command button loads the named script from the script folder and runs it
  // without showing the window; the program is drawn from what it wrote.
  void userCommandRunsItsScript() {
    WriteAll(folder_ + QStringLiteral("/line.pas"), "begin GCode(90); RapidXY(0, 0); GoToXY(50, 0, 200) end.\r\n");
    QCOMPARE(form_->Action(view::UserCommand(2))->toolTip(), QStringLiteral("line.pas"));
    form_->Editor().SetText(QString());
    form_->Action(view::UserCommand(2))->trigger();
    QCOMPARE(Program(), QStringLiteral("G90\nG00X0.0Y0.0\nG01X50.0Y0.0F200\n"));
    QCOMPARE(Dlg().FileName(), folder_ + QStringLiteral("/line.pas"));
    QVERIFY(!Dlg().isVisible());
    QVERIFY(form_->IsAnalysed());
    QVERIFY(form_->Path().Count >= 2);
  }

  // Refusals: an empty setting or a missing file beeps; Cancel to "discard the edited
  // script?" keeps it; a program that executes refuses with a beep.
  void userCommandRefusals() {
    WriteAll(folder_ + QStringLiteral("/line.pas"), "begin Writeln('ran') end.");
    form_->Editor().SetText(QString());
    int beeps = view::BeepCount();
    form_->Action(view::UserCommand(1))->trigger();  // empty setting
    QCOMPARE(view::BeepCount(), beeps + 1);
    QCOMPARE(form_->Action(view::UserCommand(1))->toolTip(), QString());

    SetScript("begin end.");
    Dlg().Script().SetModified(true);
    dialogs_->answers = {QMessageBox::Cancel};
    form_->Action(view::UserCommand(2))->trigger();
    QCOMPARE(dialogs_->asked.last(), QStringLiteral("スクリプトが編集されていますが、破棄しますか。"));
    QCOMPARE(Dlg().Script().Text(), QStringLiteral("begin end."));
    QCOMPARE(Program(), QString());

    QFile::remove(folder_ + QStringLiteral("/line.pas"));
    Dlg().Script().SetModified(false);
    beeps = view::BeepCount();
    form_->Action(view::UserCommand(2))->trigger();
    QCOMPARE(view::BeepCount(), beeps + 1);
  }

  // While a program executes (a single step taken) the script commands only beep.
  void scriptCommandsBeepWhileAProgramExecutes() {
    WriteAll(folder_ + QStringLiteral("/line.pas"), "begin Writeln('ran') end.");
    form_->Editor().SetText(QStringLiteral("G01X1.F100\nX2.\n"));
    form_->Action(view::Command::AcSingle)->trigger();
    QVERIFY(form_->Bench().Exec().IsExecuting());
    SetScript("begin Writeln('ran') end.");
    for (view::Command c : {view::Command::AcScriptEdit, view::Command::AcScriptLoad, view::Command::AcScriptRun,
                            view::UserCommand(2)}) {
      const int beeps = view::BeepCount();
      form_->Action(c)->trigger();
      QCOMPARE(view::BeepCount(), beeps + 1);
    }
    QVERIFY(!Program().contains(QStringLiteral("ran")));
    QVERIFY(dialogs_->startedIn.isEmpty());  // no file dialog either
  }

  void userCommandGlyphComesFromThePictureBesideTheScript() {
    QImage glyph(24, 24, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    QVERIFY(glyph.save(folder_ + QStringLiteral("/pic.bmp")));
    MakeForm({QString(), QString(), QStringLiteral("pic.pas"), QStringLiteral("none.pas")});
    const QImage shown = form_->Action(view::UserCommand(3))->icon().pixmap(24, 24).toImage();
    QCOMPARE(shown.pixelColor(12, 12), QColor(Qt::red));
    // A script without a picture keeps the numbered glyph and still gets its hint.
    QCOMPARE(form_->Action(view::UserCommand(4))->toolTip(), QStringLiteral("none.pas"));
    QVERIFY(!form_->Action(view::UserCommand(4))->icon().isNull());
  }

  // The script words are keywords in any case; a plain name and a remark are not.
  void scriptWordsAreColouredAsKeywords() {
    SetScript("begin rapidxy(1, 2); Foo; { GoToXY } end.");
    QsciScintilla* w = Dlg().Script().Widget();
    w->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    auto styleAt = [w](int pos) { return int(w->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos)); };
    QCOMPARE(styleAt(0), int(QsciLexerPascal::Keyword));   // begin
    QCOMPARE(styleAt(6), int(QsciLexerPascal::Keyword));   // rapidxy
    QCOMPARE(styleAt(21), int(QsciLexerPascal::Identifier));  // Foo
    QCOMPARE(styleAt(28), int(QsciLexerPascal::Comment));  // GoToXY in a remark
  }

  void inputSupportInsertsTheChosenWord() {
    SetScript("begin\n  \nend.");
    Dlg().Script().SetCaret(1, 2);
    WhenModal([](QWidget* w) {
      auto* list = w->findChild<QListWidget*>();
      QCOMPARE(list->count(), 155);
      QCOMPARE(list->item(0)->text(), QStringLiteral("Abs"));
      QCOMPARE(list->item(154)->text(), QStringLiteral("Writeln"));
      list->setCurrentRow(154);
      QTest::keyClick(list, Qt::Key_Return);
    });
    Dlg().InputSupport();
    QCOMPARE(Dlg().Script().Line(1), QStringLiteral("  Writeln"));
  }
};

QTEST_MAIN(TestScriptDlg)
#include "test_scriptdlg.moc"
