#include <QtTest>

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "editor/NcEditor.h"
#include "print/TPrintDlg.h"
#include "print/TStringsPrinter.h"
#include "report/ui/TDumpDlg.h"

using kelvan::report::TDumpDlg;
namespace print = kelvan::print;

namespace {

const std::vector<std::string> kReport = {"使用工具レポート", "/nc/plate.nc", "",
                                          "(T1-10.0 エンドミル φ10)"};

}  // namespace

class TestDumpDlg : public QObject {
  Q_OBJECT
 private slots:
  void showsTheReportAndTracksShowing() {
    print::TStringsPrinter printer;
    print::TPrintDlg printDlg;
    TDumpDlg dlg(printer, printDlg);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("レポート"));
    QVERIFY(!dlg.IsShowing());
    dlg.ShowReportModeless(kReport);
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.IsShowing());
    QCOMPARE(dlg.Edit().LineCount(), 4);
    QCOMPARE(dlg.Edit().Line(3), QStringLiteral("(T1-10.0 エンドミル φ10)"));
    // A new report replaces the old one, and undo does not bring the old one back.
    dlg.SetReportLines({"A", "B"});
    QCOMPARE(dlg.Edit().Lines(), QStringList({"A", "B"}));
    QVERIFY(!dlg.Edit().CanUndo());
    dlg.findChild<QToolButton*>(QStringLiteral("CloseBtn"))->click();
    QVERIFY(!dlg.IsShowing());
    QVERIFY(!dlg.isVisible());
  }

  void toolBarAndShortcuts() {
    print::TStringsPrinter printer;
    print::TPrintDlg printDlg;
    TDumpDlg dlg(printer, printDlg);
    dlg.ShowReportModeless({"G00 X0"});
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    for (const char* name : {"PrintBtn", "UndoBtn", "RedoBtn", "FindBtn", "ReplaceBtn", "CloseBtn"})
      QVERIFY2(dlg.findChild<QToolButton*>(QString::fromLatin1(name)), name);
    // Find and replace ask the main window for its dialogs.
    QVERIFY(dlg.findChild<QToolButton*>(QStringLiteral("FindBtn"))->isEnabled());
    QVERIFY(dlg.findChild<QToolButton*>(QStringLiteral("ReplaceBtn"))->isEnabled());
    QSignalSpy find(&dlg, &TDumpDlg::FindRequested);
    QSignalSpy replace(&dlg, &TDumpDlg::ReplaceRequested);
    QSignalSpy findNext(&dlg, &TDumpDlg::FindNextRequested);
    dlg.findChild<QToolButton*>(QStringLiteral("FindBtn"))->click();
    dlg.findChild<QToolButton*>(QStringLiteral("ReplaceBtn"))->click();
    dlg.AcFindNext()->trigger();
    QCOMPARE(find.count(), 1);
    QCOMPARE(replace.count(), 1);
    QCOMPARE(findNext.count(), 1);
    QCOMPARE(dlg.AcUndo()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(dlg.AcRedo()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    QCOMPARE(dlg.AcFindNext()->shortcut(), QKeySequence(Qt::Key_F3));
    QCOMPARE(dlg.AcFind()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    QCOMPARE(dlg.AcReplace()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));

    // Typed into the editor, Ctrl+Z undoes and Ctrl+A redoes (not "select all").
    QsciScintilla* view = dlg.Edit().Widget();
    view->setFocus();
    dlg.activateWindow();
    dlg.Edit().SetCaret(0, 6);
    QTest::keyClicks(view, QStringLiteral(" Y5"));
    QCOMPARE(dlg.Edit().Line(0), QStringLiteral("G00 X0 Y5"));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(dlg.Edit().Line(0), QStringLiteral("G00 X0"));
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(dlg.Edit().Line(0), QStringLiteral("G00 X0 Y5"));
    QVERIFY(!dlg.Edit().HasSelection());
    dlg.findChild<QToolButton*>(QStringLiteral("UndoBtn"))->click();
    QCOMPARE(dlg.Edit().Line(0), QStringLiteral("G00 X0"));
    dlg.findChild<QToolButton*>(QStringLiteral("RedoBtn"))->click();
    QCOMPARE(dlg.Edit().Line(0), QStringLiteral("G00 X0 Y5"));
  }

  // Escape closes the window, as it closes every dialog, also from inside the editor.
  void escapeCloses() {
    print::TStringsPrinter printer;
    print::TPrintDlg printDlg;
    TDumpDlg dlg(printer, printDlg);
    dlg.ShowReportModeless(kReport);
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.activateWindow();
    dlg.Edit().Widget()->setFocus();
    QTest::keyClick(dlg.Edit().Widget(), Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QVERIFY(!dlg.IsShowing());
  }

  void printsTheEditedReportUnderItsTitle() {
    QTemporaryDir dir;
    print::TStringsPrinter printer;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    printer.Printer().setOutputFormat(QPrinter::PdfFormat);
    printer.Printer().setOutputFileName(pdf);
    print::StringsPrinterSettings s = printer.Settings();
    s.Title = QStringLiteral("/nc/plate.nc");
    s.Header = QStringLiteral("[%F]");
    s.HeaderAlign = print::HeaderAlignment::Left;
    printer.SetSettings(s);
    print::TPrintDlg printDlg;
    TDumpDlg dlg(printer, printDlg);
    dlg.SetReportLines(kReport);
    dlg.Edit().SetLine(1, QStringLiteral("EDITED LINE"));
    QTimer::singleShot(0, &printDlg, [&printDlg] {
      printDlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    dlg.findChild<QToolButton*>(QStringLiteral("PrintBtn"))->click();
    QCOMPARE(printer.Settings().Title, QStringLiteral("印刷"));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY(text.contains(QStringLiteral("[印刷]")));
    QVERIFY(text.contains(QStringLiteral("EDITED LINE")));
    QVERIFY(text.contains(QStringLiteral("エンドミル")));
    QVERIFY(!text.contains(QStringLiteral("/nc/plate.nc")));
  }
};

QTEST_MAIN(TestDumpDlg)
#include "test_dumpdlg.moc"
