#include <sys/stat.h>

#include <QAction>
#include <QDialog>
#include <Qsci/qsciscintilla.h>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <deque>

#include "editor/NcEditor.h"
#include "nc/AnalysisError.h"
#include "nc/PathList.h"
#include "report/ui/TDumpDlg.h"
#include "view/Beep.h"
#include "view/DocumentController.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"
#include "view/UserDialogs.h"
#include "workbench/Workbench.h"
#include "ScriptedDialogs.h"

using namespace kelvan;
using view::Command;
using view::TViewForm;
using test::ScriptedDialogs;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

class TestViewForm : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  ScriptedDialogs* dialogs_ = nullptr;
  std::unique_ptr<TViewForm> form_;

  QString File(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    WriteAll(path, bytes);
    return path;
  }
  // A continuous run goes on by a timer; the trigger waits for it to end, so that the
  // checks after it see the run's outcome.
  void Trigger(Command command) {
    form_->Action(command)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!Exec().IsRunning(), 30000);
  }
  workbench::Execution& Exec() { return form_->Bench().Exec(); }
  void Open(const QString& path) {
    dialogs_->files.push_back(path);
    Trigger(Command::AcFileOpen);
  }

 private slots:
  void init() {
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    auto reg = std::make_unique<settings::TRegManager>(dir_.filePath(QStringLiteral("KELVAN.ini")));
    form_ = std::make_unique<TViewForm>(std::move(dialogs), std::move(reg));
    form_->resize(900, 600);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }
  void cleanup() {
    form_->Editor().SetModified(false);
    form_.reset();
    QFile::remove(dir_.filePath(QStringLiteral("KELVAN.ini")));
  }

  void startsWithTheMenusOfTheCommandTable() {
    QCOMPARE(form_->windowTitle(), QStringLiteral("Kelvan"));
    QStringList menus;
    for (QAction* a : form_->menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, (QStringList{"ファイル(&F)", "編集(&E)", "実行(&G)", "レポート(&R)", "２Ｄツール(&2)",
                                 "３Ｄツール(&3)", "表示(&V)", "ヘルプ(&H)"}));
    QCOMPARE(form_->PanelText(TViewForm::PanelInsert), QStringLiteral("挿入"));
    QCOMPARE(form_->Action(Command::AcRedo)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
  }

  void opensEditsAndSavesWithABackup() {
    const QByteArray original = "G00 X0 Y0 Z5.\r\nG01 X10. F100 (\x8D\xED\x82\xE8)\r\n";
    const QString path = File(QStringLiteral("part.nc"), original);
    Open(path);
    QCOMPARE(form_->windowTitle(), QStringLiteral("Kelvan[%1]").arg(path));
    QCOMPARE(form_->Path().Count, 2);
    QCOMPARE(form_->Document().History().Items().first(), path);

    form_->Editor().SetLine(1, QStringLiteral("G01 X20. F100 (削り)"));
    QCOMPARE(form_->PanelText(TViewForm::PanelChanged), QStringLiteral("変更あり"));
    QVERIFY(!form_->IsAnalysed());
    Trigger(Command::AcFileSave);
    QCOMPARE(ReadAll(path), QByteArray("G00 X0 Y0 Z5.\r\nG01 X20. F100 (\x8D\xED\x82\xE8)\r\n"));
    QCOMPARE(ReadAll(dir_.filePath(QStringLiteral("part.bak"))), original);
    QVERIFY(!form_->Editor().IsModified());

    // Without backups the old .bak stays as it was.
    form_->Live().MakeBack = false;
    form_->Editor().SetLine(0, QStringLiteral("G00 X1 Y0 Z5."));
    Trigger(Command::AcFileSave);
    QCOMPARE(ReadAll(dir_.filePath(QStringLiteral("part.bak"))), original);
  }

  void aFailedSaveSaysSoAndKeepsTheChanges() {
    QTemporaryDir gone;
    const QString path = gone.filePath(QStringLiteral("x.nc"));
    WriteAll(path, "G00 X1.\n");
    Open(path);
    form_->Editor().SetLine(0, QStringLiteral("G00 X2."));
    gone.remove();
    dialogs_->answers = {QMessageBox::Ok};
    Trigger(Command::AcFileSave);
    QVERIFY(form_->Editor().IsModified());
    QVERIFY(dialogs_->asked.last().startsWith(QStringLiteral("保存できませんでした。")));
  }

  void saveAsOntoAnExistingFileKeepsItsBackup() {
    Open(File(QStringLiteral("src.nc"), "G00 X1.\n"));
    const QString target = File(QStringLiteral("target.nc"), "OLD\n");
    dialogs_->files.push_back(target);
    dialogs_->answers = {QMessageBox::Ok};  // " 上書きしますか。"
    Trigger(Command::AcFileSaveAs);
    QCOMPARE(dialogs_->asked.last(), target + QStringLiteral(" 上書きしますか。"));
    QCOMPARE(ReadAll(target), QByteArray("G00 X1.\n"));
    QCOMPARE(ReadAll(dir_.filePath(QStringLiteral("target.bak"))), QByteArray("OLD\n"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("Kelvan[%1]").arg(target));
    // Cancel leaves the file alone.
    form_->Editor().SetLine(0, QStringLiteral("G00 X2."));
    dialogs_->files.push_back(target);
    dialogs_->answers = {QMessageBox::Cancel};
    Trigger(Command::AcFileSaveAs);
    QCOMPARE(ReadAll(target), QByteArray("G00 X1.\n"));
  }

  void aChangeInTheSubEditorCountsToo() {
    Open(File(QStringLiteral("sub.nc"), "G00 X1.\n"));
    QVERIFY(form_->IsAnalysed());
    form_->WorkEditor().SetText(QStringLiteral("scratch"));
    QCOMPARE(form_->PanelText(TViewForm::PanelChanged), QStringLiteral("変更あり"));
    QVERIFY(!form_->IsAnalysed());
  }

  void historyKeepsTenAndMovesRepeatsToTheFront() {
    QStringList paths;
    for (int i = 0; i < 11; ++i) paths << File(QStringLiteral("h%1.nc").arg(i), "G00 X1.\n");
    for (const QString& p : paths) Open(p);
    const QStringList& items = form_->Document().History().Items();
    QCOMPARE(items.size(), 10);
    QCOMPARE(items.first(), paths[10]);
    QVERIFY(!items.contains(paths[0]));  // the oldest went
    form_->Document().History().Add(paths[5].toUpper().replace(dir_.path().toUpper(), dir_.path()));
    QCOMPARE(form_->Document().History().Items().size(), 10);
    QCOMPARE(form_->Document().History().Items().first().toLower(), paths[5].toLower());
  }

  void savePromptAnswersBeforeAnotherFile() {
    const QString a = File(QStringLiteral("a.nc"), "G00 X1.\n");
    const QString b = File(QStringLiteral("b.nc"), "G00 X2.\n");
    Open(a);
    form_->Editor().SetLine(0, QStringLiteral("G00 X3."));
    dialogs_->answers = {QMessageBox::No};
    Open(b);
    QCOMPARE(ReadAll(a), QByteArray("G00 X1.\n"));  // not saved
    QCOMPARE(form_->Editor().Line(0), QStringLiteral("G00 X2."));
    form_->Editor().SetLine(0, QStringLiteral("G00 X4."));
    dialogs_->answers = {QMessageBox::Yes};
    Open(a);
    QCOMPARE(ReadAll(b), QByteArray("G00 X4.\n"));  // saved first
    QCOMPARE(form_->Editor().Line(0), QStringLiteral("G00 X1."));
  }

  void insertKeepsTheNameAndMarksTheChange() {
    const QString main = File(QStringLiteral("main.nc"), "G00 X1.\nG00 X2.\n");
    const QString part = File(QStringLiteral("part2.nc"), "G01 X5. F100\nG01 Y5.\n");
    Open(main);
    form_->Editor().SetCaret(1, 0);
    dialogs_->files.push_back(part);
    Trigger(Command::AcFileInsert);
    QCOMPARE(form_->Editor().Lines().mid(0, 4),
             (QStringList{"G00 X1.", "G01 X5. F100", "G01 Y5.", "G00 X2."}));
    QVERIFY(form_->Editor().IsModified());
    QCOMPARE(form_->Document().FileName(), main);
    QCOMPARE(form_->PanelText(TViewForm::PanelChanged), QStringLiteral("変更有り"));
    QCOMPARE(form_->Path().Count, 4);
  }

  void blockSkipTogglesThePath() {
    Open(File(QStringLiteral("skip.nc"), "/G01 X10. F100\nG01 Y10.\n"));
    QCOMPARE(form_->Path().Count, 3);  // pkNone, then the block's move
    Trigger(Command::SkipBtn);
    QCOMPARE(form_->Path().Count, 2);
    QVERIFY(form_->Editor().HasRowMark(0, nc::MarkBlockSkip));
    Trigger(Command::SkipBtn);
    QCOMPARE(form_->Path().Count, 3);
  }

  void singleStepsWalkAndStartAgain() {
    Open(File(QStringLiteral("five.nc"), "G01 X1. F100\nX2.\nX3.\nX4.\nX5.\n"));
    QCOMPARE(form_->Path().Count, 5);
    QList<int> after;
    QList<int> carets;
    for (int i = 0; i < 5; ++i) {
      Trigger(Command::AcSingle);
      after << Exec().ExecIndex();
      carets << form_->Editor().CaretRow();
    }
    // Items 0, 0-1, 0-2, 0-3 are shown, then the execution ends and starts again at 0.
    QCOMPARE(after, (QList<int>{1, 2, 3, 0, 1}));
    QCOMPARE(carets, (QList<int>{1, 2, 3, 4, 1}));
    QVERIFY(!form_->Action(Command::AcFileOpen)->isEnabled());
    Trigger(Command::AcReset);
    QCOMPARE(Exec().ExecIndex(), -1);
    QVERIFY(form_->Action(Command::AcFileOpen)->isEnabled());
  }

  void aRunStopsAtM01OnlyWithTheButtonDown() {
    Open(File(QStringLiteral("m01.nc"), "G01 X1. F100\nX2.\nM01\nX3.\nX4.\n"));
    Trigger(Command::HiBtn);
    Trigger(Command::AcRun);
    QCOMPARE(Exec().ExecIndex(), -1);  // ran through
    const int beeps = view::BeepCount();
    Trigger(Command::M01Btn);
    Trigger(Command::AcRun);
    QCOMPARE(view::BeepCount(), beeps + 1);
    QCOMPARE(Exec().ExecIndex(), 2);  // stopped before the M01 block
    QCOMPARE(form_->Editor().CaretRow(), 2);    // the line after the block executed last
    Trigger(Command::M01Btn);
    Trigger(Command::AcRun);  // goes on from the stopping block
    QCOMPARE(Exec().ExecIndex(), -1);
    QCOMPARE(form_->Editor().CaretRow(), 0);
  }

  void aResetEndsARun() {
    QByteArray program;
    for (int i = 0; i < 200; ++i) program += "G01 X" + QByteArray::number(i) + ". F100\n";
    Open(File(QStringLiteral("long.nc"), program));
    Trigger(Command::LoBtn);
    QTimer::singleShot(700, this, [this] { Trigger(Command::AcReset); });
    Trigger(Command::AcRun);
    QCOMPARE(Exec().ExecIndex(), -1);
    QVERIFY(!Exec().IsRunning());
    QCOMPARE(form_->Editor().CaretRow(), 0);
    QCOMPARE(form_->Editor().CaretCol(), 0);
  }

  void commandsBeepWhileExecuting() {
    Open(File(QStringLiteral("exec.nc"), "G01 X1. F100\nX2.\nX3.\n"));
    form_->Editor().SetLine(2, QStringLiteral("X4."));
    Trigger(Command::AcSingle);
    const int beeps = view::BeepCount();
    Trigger(Command::AcUndo);
    QCOMPARE(view::BeepCount(), beeps + 1);
    QCOMPARE(form_->Editor().Line(2), QStringLiteral("X4."));
  }

  void anAnalysisFaultPlacesTheCaret() {
    Open(File(QStringLiteral("bad.nc"), "G00 X1.\nG01 X1..2\n"));
    QCOMPARE(form_->PanelText(TViewForm::PanelMessage), QStringLiteral("構文エラー"));
    QCOMPARE(form_->Editor().CaretRow(), 1);
    QCOMPARE(form_->Editor().CaretCol(), 6);
    QCOMPARE(form_->Path().Count, 1);
  }

  void closingWithChangesAsks() {
    Open(File(QStringLiteral("c.nc"), "G00 X1.\n"));
    form_->Editor().SetLine(0, QStringLiteral("G00 X9."));
    dialogs_->answers = {QMessageBox::Cancel};
    QVERIFY(!form_->close());
    QVERIFY(form_->isVisible());
    QCOMPARE(form_->Editor().Line(0), QStringLiteral("G00 X9."));
  }

  void reportsFillTheReportWindow() {
    const QString path = File(QStringLiteral("rep.nc"), "(T1-10.)\nG01 X30. Y40. F200\n(POST A)(T2-4.)\n");
    Open(path);
    form_->SetReportsModeless(true);
    auto text = [this] { return form_->ReportWindow().Edit().Lines(); };
    Trigger(Command::AreaItem);
    QCOMPARE(text().value(0), QStringLiteral("加工範囲レポート"));
    QCOMPARE(text().value(3), QStringLiteral("Ｘ＋最大値：30.000"));
    Trigger(Command::ToolItem);
    QCOMPARE(text().mid(0, 6), (QStringList{"使用工具レポート", path, "", "(T1-10.)", "(POST A)(T2-4.)",
                                            "(POST A)(T2-4.)"}));
    form_->Editor().SetLine(1, QStringLiteral("G01 X60. Y80. F200"));
    Trigger(Command::DetailsItem);  // analyses first
    QVERIFY(text().contains(QStringLiteral("加工長：100.0 mm")));
    Trigger(Command::AcDump);
    QCOMPARE(text().value(3), QStringLiteral("1:G01 X60. Y80. F200 Leng:100.0000 Time:0.50000"));
    QVERIFY(form_->ReportWindow().IsShowing());
    form_->ReportWindow().close();
  }

  void f1OpensTheManual() {
    form_->Editor().SetFocus();
    QTest::keyClick(static_cast<QWidget*>(form_->Editor().Widget()), Qt::Key_F1);
    bool shown = false;
    for (QDialog* d : form_->findChildren<QDialog*>())
      if (d->windowTitle() == QStringLiteral("Kelvan ヘルプ") && d->isVisible()) shown = true;
    QVERIFY(shown);
  }

  // The picture follows the text once it rests, also when the worker analyses and draws
  // it; a change of the view meanwhile is drawn afresh.
  void thePictureFollowsTheText() {
    Open(File(QStringLiteral("live.nc"), "G01 X1. F100\nX2.\n"));
    QCOMPARE(form_->PanelText(TViewForm::PanelCapacity), QStringLiteral("D:2/1000000 P:0/2000000"));
    for (int threshold : {1000000, 0}) {
      form_->Bench().SetWorkerThreshold(threshold);
      form_->Bench().SetLiveDelay(10);
      form_->Editor().InsertLine(form_->Editor().LineCount(), QStringLiteral("X%1.").arg(threshold));
      QVERIFY(!form_->IsAnalysed());
      QTRY_VERIFY(form_->IsAnalysed());
      QCOMPARE(form_->PanelText(TViewForm::PanelCapacity),
               QStringLiteral("D:%1/1000000 P:0/2000000").arg(form_->Path().Count));
      QCOMPARE(form_->PanelText(TViewForm::PanelX), QStringLiteral("X %1.000").arg(threshold));
    }
    QCOMPARE(form_->Path().Count, 4);
    form_->Editor().InsertLine(4, QStringLiteral("G02 X9. R1."));  // a fault: shown, not beeped
    const int beeps = view::BeepCount();
    QTRY_COMPARE(form_->PanelText(TViewForm::PanelMessage), QStringLiteral("円弧半径エラー"));
    QCOMPARE(view::BeepCount(), beeps);
    QCOMPARE(form_->PanelText(TViewForm::PanelCapacity), QStringLiteral("D:4/1000000 P:0/2000000"));
  }

  // Opening a faulty program shows what it analysed before the fault, not the last
  // program's picture.
  void aFaultyProgramShowsItsOwnPicture() {
    Open(File(QStringLiteral("good.nc"), "G01 X50. Y50. F100\nX-50.\nY-50.\n"));
    QCOMPARE(form_->PanelText(TViewForm::PanelCapacity), QStringLiteral("D:3/1000000 P:0/2000000"));
    const QImage good = form_->ShowBox().ShownImage();
    Open(File(QStringLiteral("bad.nc"), "G01 X10. F100\nG02 X90. R1.\n"));
    QCOMPARE(form_->PanelText(TViewForm::PanelMessage), QStringLiteral("円弧半径エラー"));
    QCOMPARE(form_->PanelText(TViewForm::PanelCapacity), QStringLiteral("D:1/1000000 P:0/2000000"));
    QVERIFY(form_->ShowBox().ShownImage() != good);
  }

  // A program that fails to analyse cannot be stepped: the step leaves nothing executing.
  void aStepOnAFaultyProgramLeavesNothingExecuting() {
    Open(File(QStringLiteral("step.nc"), "G01 X10. F100\nG01 X1..2\n"));
    Trigger(Command::AcSingle);
    QCOMPARE(Exec().ExecIndex(), -1);
    QVERIFY(form_->Action(Command::AcFileOpen)->isEnabled());
    QCOMPARE(form_->Editor().CaretRow(), 1);
  }

  // The stored folder's default names a Windows folder: the dialogs start in a folder
  // that exists, and a folder never stands as the name of a file.
  void fileDialogsStartInAFolderThatExists() {
    QCOMPARE(form_->Document().DialogFolder(), QDir::homePath());  // "C:\Halvorn\Nc" does not exist
    Trigger(Command::AcFileOpen);  // cancelled
    QCOMPARE(dialogs_->startedIn.last(), QDir::homePath());
    const QString path = File(QStringLiteral("where.nc"), "G00 X1.\n");
    Open(path);
    QCOMPARE(form_->Document().DialogFolder(), dir_.path());
    Trigger(Command::AcFileSaveAs);  // cancelled: offered the document's own name
    QCOMPARE(dialogs_->startedIn.last(), path);
    form_->Document().SetFolder(QDir::tempPath());  // a stored folder that exists wins
    QCOMPARE(form_->Document().DialogFolder(), QDir::tempPath());
  }

  // Every analysis message is readable in its status panel at the window's default size,
  // and the capacity line stays readable beside it.
  void messagesAreReadableAtTheDefaultSize() {
    form_->resize(1068, 667);
    Open(File(QStringLiteral("size.nc"), "G01 X1. F100\n"));
    auto* message = form_->findChild<QLabel*>(QStringLiteral("Panel3"));
    auto* capacity = form_->findChild<QLabel*>(QStringLiteral("Panel11"));
    QVERIFY(message && capacity);
    for (int code = nc::ErrSyntax; code <= nc::ErrAnalysisCut; ++code) {
      emit form_->Bench().AnalysisFinished(nc::AnalysisResult{code, 0, 0}, true);
      QApplication::processEvents();
      const QString text = form_->PanelText(TViewForm::PanelMessage);
      QVERIFY(!text.isEmpty());
      QVERIFY2(message->contentsRect().width() >= message->fontMetrics().horizontalAdvance(text), qPrintable(text));
      QVERIFY(capacity->contentsRect().width() >= capacity->fontMetrics().horizontalAdvance(capacity->text()));
      QVERIFY(capacity->geometry().right() <= form_->width());
    }
  }

  // Opening a FIFO would wait for a writer for ever: it is refused at once, with a message.
  void aFifoIsRefusedAtOnce() {
    const QByteArray fifo = QFile::encodeName(dir_.filePath(QStringLiteral("p.nc")));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    QVERIFY(!form_->Document().Drop(QString::fromLocal8Bit(fifo)));
    QVERIFY(dialogs_->asked.last().contains(QStringLiteral("not a regular file")));
    QCOMPARE(form_->windowTitle(), QStringLiteral("Kelvan"));
  }

  // A conversion replaces the text in one step that Undo takes back; the work buffer holds
  // the result; the path follows.
  void aConversionReplacesTheTextAndUndoRestoresIt() {
    Open(File(QStringLiteral("conv.nc"), "G01 X10. Y0. F100\nG01 X20. Y0.\n"));
    dialogs_->answers = {QMessageBox::Cancel};
    Trigger(Command::XmirrItem);  // cancelled: nothing changes
    QCOMPARE(form_->Editor().Line(0), QStringLiteral("G01 X10. Y0. F100"));
    QVERIFY(!form_->Editor().IsModified());
    dialogs_->answers = {QMessageBox::Ok};
    Trigger(Command::XmirrItem);
    QCOMPARE(dialogs_->asked.last(), QStringLiteral("Ｘ軸で反転しますか？"));
    QCOMPARE(form_->Editor().Lines().mid(0, 2), (QStringList{"G01X-10.0Y0.0F100", "X-20.0Y0.0"}));
    QVERIFY(form_->Editor().IsModified());
    QVERIFY(form_->IsAnalysed());
    QCOMPARE(form_->Machine().RangeMinX, -20.0);
    // The sub editor, hidden, gets its copy of the result when it is shown.
    QCOMPARE(form_->WorkEditor().LineCount(), 0);
    Trigger(Command::AcSubEdit);
    QCOMPARE(form_->WorkEditor().Line(1), QStringLiteral("X-20.0Y0.0"));
    form_->Editor().Undo();
    QCOMPARE(form_->Editor().Lines().mid(0, 2), (QStringList{"G01 X10. Y0. F100", "G01 X20. Y0."}));
    // Shown, it takes the result at once; hidden and shown after an edit, it stays empty
    // rather than show a result the editor no longer holds.
    dialogs_->answers = {QMessageBox::Ok, QMessageBox::Ok};
    Trigger(Command::YmirrItem);
    QCOMPARE(form_->WorkEditor().Line(0), QStringLiteral("G01X10.0Y0.0F100"));
    Trigger(Command::AcSubEdit);
    Trigger(Command::XmirrItem);
    form_->Editor().SetLine(0, QStringLiteral("G01 X1. F100"));
    Trigger(Command::AcSubEdit);
    QCOMPARE(form_->WorkEditor().LineCount(), 0);
  }

  // A line the tokenizer rejects stops the tool: the text stays, the caret goes to the
  // fault, the status bar says so and the computer beeps.
  void aSyntaxFaultLeavesTheTextAsItWas() {
    Open(File(QStringLiteral("bad.nc"), "G01 X1. F100\nG01 X1..2\nG01 X3.\n"));
    const int beeps = view::BeepCount();
    dialogs_->answers = {QMessageBox::Ok};
    Trigger(Command::OptimizItem);
    QCOMPARE(form_->Editor().Lines().mid(0, 3), (QStringList{"G01 X1. F100", "G01 X1..2", "G01 X3."}));
    QVERIFY(!form_->Editor().IsModified());
    QCOMPARE(form_->Editor().CaretRow(), 1);
    QCOMPARE(form_->Editor().CaretCol(), 6);
    QCOMPARE(form_->PanelText(TViewForm::PanelMessage), QStringLiteral("構文エラー"));
    QVERIFY(view::BeepCount() > beeps);
    QCOMPARE(form_->WorkEditor().Line(0), QStringLiteral("G01X1.0F100"));  // what came before the fault
    QVERIFY(form_->isEnabled());
  }

  // The rotation asks for its angle again while it is out of range; the roughing asks for
  // its levels again, with a beep, while they do not make passes.
  void toolParametersAreAskedAgain() {
    Open(File(QStringLiteral("turn.nc"), "G01 X10. Y0. F100\nG01 Z-5.\n"));
    dialogs_->inputs = {QStringLiteral("360"), QStringLiteral("90")};
    Trigger(Command::Turn3DItem);
    QVERIFY(dialogs_->asked.contains(QStringLiteral("入力された角度が範囲外です。")));
    QCOMPARE(form_->Editor().Line(0), QStringLiteral("G01X0.0Y10.0F100"));
    const int beeps = view::BeepCount();
    dialogs_->rough = {{"0", "10", "2"}, {"10", "0", "0.5"}, {"4", "-5", "3"}};
    Trigger(Command::Raph3DItem);
    QCOMPARE(view::BeepCount(), beeps + 2);
    QCOMPARE(dialogs_->roughOffered, (QStringList{"10", "0", "0.5"}));  // asked again with what was typed
    const QStringList lines = form_->Editor().Lines();
    QCOMPARE(lines.first(), QStringLiteral("%"));
    QVERIFY(lines.contains(QStringLiteral("Z4.0")) && lines.contains(QStringLiteral("Z-5.0")));
    dialogs_->rough = {{"abc", "0", "1"}};
    const QStringList before = form_->Editor().Lines();
    Trigger(Command::Raph3DItem);
    QVERIFY(dialogs_->asked.last().contains(QStringLiteral("abc")));
    QCOMPARE(form_->Editor().Lines(), before);
  }

  void workHeightFromTheInputBox() {
    const struct { const char* typed; const char* caption; } cases[] = {
        {"12.5", "12.5"}, {"-3", "12.5"}, {"abc", "0"}, {" 7 ", "7"}};
    for (const auto& c : cases) {
      dialogs_->inputs.push_back(QString::fromLatin1(c.typed));
      Trigger(Command::UVHeightButton);
      QCOMPARE(form_->Action(Command::UVHeightButton)->text(), QString::fromLatin1(c.caption));
    }
  }
};

QTEST_MAIN(TestViewForm)
#include "test_viewform.moc"
