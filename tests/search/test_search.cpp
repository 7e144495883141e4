// Find, replace and jump: the find and replace dialogs over the main window, the report
// window and the script window, their histories, replace-all and its stop, 再検索 and
// 指定行.

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "editor/NcEditor.h"
#include "report/ui/TDumpDlg.h"
#include "script/ScriptFolder.h"
#include "script/ui/TScriptDlg.h"
#include "search/SearchCommands.h"
#include "search/SearchHistory.h"
#include "search/TFindDlg.h"
#include "search/TReplaceDlg.h"
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
using editor::NcEditor;
using test::ScriptedDialogs;
using view::Command;

namespace {

QString Lines(int n, const QString& line) {
  QString text;
  for (int i = 0; i < n; ++i) text += line + QLatin1Char('\n');
  return text;
}

}  // namespace

class TestSearch : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  ScriptedDialogs* dialogs_ = nullptr;
  std::unique_ptr<view::TViewForm> form_;

  QString IniPath() const { return dir_.filePath(QStringLiteral("KELVAN.ini")); }
  NcEditor& Edit() { return form_->Editor(); }
  search::TFindDlg& Find() { return form_->Search().FindDialog(); }
  search::TReplaceDlg& Replace() { return form_->Search().ReplaceDialog(); }
  report::TDumpDlg& Report() { return form_->ReportWindow(); }
  script::TScriptDlg& Script() { return form_->ScriptWindow(); }
  static QString Plain(const NcEditor& e) { return e.Text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

  // Replace-all through the replace dialog as it stands; returns the count reported.
  int ReplaceAll(const QString& text, const QString& replacement) {
    Replace().SetSearchText(text);
    Replace().ReplaceComboBox()->setEditText(replacement);
    Replace().ReplaceAllBtnClick();
    const QString message = dialogs_->asked.value(dialogs_->asked.size() - 1);
    if (!message.startsWith(QStringLiteral("全部で "))) return -1;
    return message.mid(4).section(QLatin1Char(' '), 0, 0).toInt();
  }

 private slots:
  void initTestCase() {
    qputenv("XDG_DATA_HOME", dir_.path().toUtf8());
    QVERIFY(QDir().mkpath(QString::fromStdString(script::UserScriptFolder())));
  }
  void init() {
    QFile::remove(IniPath());
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    form_ = std::make_unique<view::TViewForm>(std::move(dialogs), std::make_unique<settings::TRegManager>(IniPath()));
    for (QCheckBox* box : {Find().CaseCheckBox(), Find().RegExpCheckBox(), Find().FuzzyCheckBox()})
      QVERIFY(!box->isChecked());
  }
  void cleanup() { form_.reset(); }

  // Ctrl+F and Ctrl+R: the selection, or the word at the caret, becomes the search text;
  // the word's selection is taken away again and the caret stays where it was.
  void searchTextComesFromTheSelectionOrTheWordAtTheCaret_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("selectFrom");  // -1: no selection, the caret at column 5
    QTest::addColumn<QString>("expected");
    QTest::newRow("find, word at the caret") << int(Command::AcFind) << -1 << "G01";
    QTest::newRow("replace, word at the caret") << int(Command::AcReplace) << -1 << "G01";
    QTest::newRow("find, selection") << int(Command::AcFind) << 8 << "X1.5";
  }
  void searchTextComesFromTheSelectionOrTheWordAtTheCaret() {
    QFETCH(int, command);
    QFETCH(int, selectFrom);
    QFETCH(QString, expected);
    Edit().SetText(QStringLiteral("N10 G01 X1.5 Y2.\n"));
    QsciScintilla* view = Edit().Widget();
    if (selectFrom >= 0) view->setSelection(0, selectFrom, 0, selectFrom + 4); else Edit().SetCaret(0, 5);
    QString seen;
    QWidget* dialog = nullptr;
    WhenModal([&](QWidget* w) {
      dialog = w;
      seen = static_cast<search::TSearchDialog*>(w)->SearchText();
    });
    form_->Action(static_cast<Command>(command))->trigger();
    QCOMPARE(dialog, command == int(Command::AcFind) ? static_cast<QWidget*>(&Find()) : &Replace());
    QCOMPARE(seen, expected);
    QCOMPARE(Edit().HasSelection(), selectFrom >= 0);
    if (selectFrom < 0) QCOMPARE(std::make_pair(Edit().CaretRow(), Edit().CaretCol()), std::make_pair(0, 5));
  }

  // While a program executes or a script runs, 検索 and 置換 only beep.
  void findAndReplaceRefusedWhileBusy_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("executing");
    QTest::newRow("find, executing") << int(Command::AcFind) << true;
    QTest::newRow("replace, executing") << int(Command::AcReplace) << true;
    QTest::newRow("find, script running") << int(Command::AcFind) << false;
    QTest::newRow("replace, script running") << int(Command::AcReplace) << false;
  }
  void findAndReplaceRefusedWhileBusy() {
    QFETCH(int, command);
    QFETCH(bool, executing);
    Edit().SetText(QStringLiteral("G01X1.F100\nX2.\n"));
    if (executing) {
      form_->Action(Command::AcSingle)->trigger();
      QVERIFY(form_->Bench().Exec().IsExecuting());
    } else {
      form_->Bench().SetScriptRunning(true);
    }
    bool opened = false;
    QTimer* watch = WhenModal([&](QWidget*) { opened = true; });
    const int beeps = view::BeepCount();
    form_->Action(static_cast<Command>(command))->trigger();
    QTest::qWait(30);
    watch->stop();
    watch->deleteLater();
    form_->Bench().SetScriptRunning(false);
    QVERIFY(!opened);
    QCOMPARE(view::BeepCount(), beeps + 1);
  }

  // The dialogs search the script editor while the script window shows, else the report
  // editor while the report window shows, else the main window's editor.
  void dialogsSearchTheEditorOfTheWindowThatShows_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("main window") << "main";
    QTest::newRow("report window") << "report";
    QTest::newRow("script window") << "script";
  }
  void dialogsSearchTheEditorOfTheWindowThatShows() {
    QFETCH(QString, window);
    Edit().SetText(QStringLiteral("N1 G01\n"));
    Report().SetReportLines({"REPORT G01"});
    Script().Script().SetText(QStringLiteral("{ G01 }"));
    if (window == "report") Report().show();
    if (window == "script") Script().show();
    Find().SetSearchText(QStringLiteral("G01"));
    Find().FindBtnClick();
    Report().hide();
    Script().hide();
    QCOMPARE(Edit().SelectedText(), window == "main" ? QStringLiteral("G01") : QString());
    QCOMPARE(Report().Edit().SelectedText(), window == "report" ? QStringLiteral("G01") : QString());
    QCOMPARE(Script().Script().SelectedText(), window == "script" ? QStringLiteral("G01") : QString());
    // The replace dialog chooses the same way.
    if (window == "report") Report().show();
    if (window == "script") Script().show();
    QCOMPARE(ReplaceAll(QStringLiteral("G01"), QStringLiteral("G02")), 1);
    Report().hide();
    Script().hide();
    QCOMPARE(Plain(Edit()) == QStringLiteral("N1 G02\n"), window == "main");
    QCOMPARE(Report().Edit().Text().contains(QStringLiteral("G02")), window == "report");
    QCOMPARE(Script().Script().Text().contains(QStringLiteral("G02")), window == "script");
  }

  // The report window's own commands: Ctrl+F shows the find dialog over the report, F3
  // repeats the search in the report editor; the script window's Ctrl+F takes the word at
  // the script's caret.
  void reportAndScriptWindowsUseTheDialogs() {
    Edit().SetText(QStringLiteral("M30\n"));
    Report().ShowReportModeless({"A G01", "B G01"});
    QWidget* shownOver = nullptr;
    WhenModal([&](QWidget* w) {
      shownOver = w->parentWidget();
      auto* find = static_cast<search::TFindDlg*>(w);
      find->SetSearchText(QStringLiteral("g01"));
      find->FindBtnClick();
    });
    Report().AcFind()->trigger();
    QCOMPARE(shownOver, static_cast<QWidget*>(&Report()));
    QCOMPARE(Report().Edit().CaretRow(), 0);
    QCOMPARE(Report().Edit().SelectedText(), QStringLiteral("G01"));
    Report().AcFindNext()->trigger();
    QCOMPARE(Report().Edit().CaretRow(), 1);
    const int beeps = view::BeepCount();
    Report().AcFindNext()->trigger();  // no more
    QCOMPARE(view::BeepCount(), beeps + 1);
    Report().hide();

    Script().Script().SetText(QStringLiteral("begin\n  RapidXY(1, 2);\nend."));
    Script().Script().SetCaret(1, 4);
    Script().show();
    QString seen;
    WhenModal([&](QWidget* w) { seen = static_cast<search::TFindDlg*>(w)->SearchText(); });
    Script().Action("Find")->trigger();
    Script().hide();
    QCOMPARE(seen, QStringLiteral("RapidXY"));
    QVERIFY(!Script().Script().HasSelection());
  }

  // あいまい検索 through the dialogs: "ｇ０１" finds and replaces "G01" (the folding itself
  // is the editor's and the core's to test).
  void fuzzySearchFindsFullWidthLowerCase() {
    Edit().SetText(QStringLiteral("N1 G01 X1.\n"));
    Edit().SetCaret(0, 0);
    Find().FuzzyCheckBox()->setChecked(true);
    Find().SetSearchText(QStringLiteral("ｇ０１"));
    Find().FindBtnClick();
    QCOMPARE(Edit().SelectedText(), QStringLiteral("G01"));
    Replace().FuzzyCheckBox()->setChecked(true);
    QCOMPARE(ReplaceAll(QStringLiteral("ｇ０１"), QStringLiteral("G02")), 1);
    QCOMPARE(Plain(Edit()), QStringLiteral("N1 G02 X1.\n"));
  }

  // 全て置換える from the top or from the caret, through Ctrl+R: the count is reported, the
  // dialog closes, the whole replace-all is one undo step and the picture is of the new text.
  void replaceAllCountsFromTheTopOrFromTheCaret_data() {
    QTest::addColumn<bool>("fromCaret");
    QTest::addColumn<int>("count");
    QTest::newRow("whole text") << false << 4;
    QTest::newRow("from the caret") << true << 3;
  }
  void replaceAllCountsFromTheTopOrFromTheCaret() {
    QFETCH(bool, fromCaret);
    QFETCH(int, count);
    const QString text = QStringLiteral("G01 X1. Y2.\nX1. Y1.\nX1.\nX1. Y3.\n");
    Edit().SetText(text);
    Edit().SetModified(false);
    Edit().SetCaret(1, 0);
    int beeps = 0;
    WhenModal([&](QWidget* w) {
      auto* dlg = static_cast<search::TReplaceDlg*>(w);
      dlg->SetSearchText(QStringLiteral("X1."));
      dlg->ReplaceComboBox()->setEditText(QStringLiteral("X2."));
      dlg->CursolPosCheckBox()->setChecked(fromCaret);
      beeps = view::BeepCount();
      dlg->ReplaceAllBtn()->click();
      QVERIFY(!dlg->isVisible());  // closed by the replace-all
    });
    form_->Action(Command::AcReplace)->trigger();
    QCOMPARE(dialogs_->asked.value(dialogs_->asked.size() - 1), QStringLiteral("全部で %1 件置換しました。").arg(count));
    QCOMPARE(view::BeepCount(), beeps + 1);
    QCOMPARE(Plain(Edit()).count(QStringLiteral("X2.")), count);
    QVERIFY(Edit().IsModified());
    QVERIFY(form_->IsAnalysed());  // analysed again after the dialog closed
    QVERIFY(form_->Path().Count > 0);
    Edit().Undo();
    QCOMPARE(Plain(Edit()), text);
  }

  // Closing the replace dialog without a replacement leaves the program as it was: not
  // marked modified, and still analysed.
  void replaceDialogClosedWithoutReplacingChangesNothing() {
    Edit().SetText(QStringLiteral("G01 X1. F100\n"));
    Edit().SetModified(false);
    QVERIFY(form_->Redraw());
    WhenModal([](QWidget* w) { static_cast<search::TReplaceDlg*>(w)->FindBtn()->click(); });
    form_->Action(Command::AcReplace)->trigger();
    QVERIFY(!Edit().IsModified());
    QVERIFY(form_->IsAnalysed());
  }

  // 置換後次に replaces the selected match only, then selects the next one.
  void replaceNextReplacesTheSelectedMatchThenFinds() {
    Edit().SetText(QStringLiteral("X1. Y1.\nX1.\n"));
    Edit().SetCaret(0, 0);
    Replace().SetSearchText(QStringLiteral("X1."));
    Replace().ReplaceComboBox()->setEditText(QStringLiteral("X5."));
    Replace().ReplaceBtnClick();  // nothing selected yet: finds the first
    QCOMPARE(Plain(Edit()), QStringLiteral("X1. Y1.\nX1.\n"));
    Replace().ReplaceBtnClick();
    QCOMPARE(Plain(Edit()), QStringLiteral("X5. Y1.\nX1.\n"));
    QCOMPARE(Edit().CaretRow(), 1);
    Replace().ReplaceBtnClick();
    const int beeps = view::BeepCount();
    Replace().ReplaceBtnClick();  // the last one is gone: nothing more to find
    QCOMPARE(Plain(Edit()), QStringLiteral("X5. Y1.\nX5.\n"));
    QCOMPARE(view::BeepCount(), beeps + 1);
    QCOMPARE(search::HistoryItems(*Replace().ReplaceComboBox()), QStringList{QStringLiteral("X5.")});
  }

  // Escape (and 閉じる) stop a running replace-all in the main editor; in the report
  // editor it runs to the end. The dialog closes when the replace-all has ended.
  void escapeStopsReplaceAllOnlyInTheMainEditor_data() {
    QTest::addColumn<bool>("inReport");
    QTest::newRow("main editor") << false;
    QTest::newRow("report editor") << true;
  }
  void escapeStopsReplaceAllOnlyInTheMainEditor() {
    QFETCH(bool, inReport);
    constexpr int kLines = 1000;
    NcEditor& target = inReport ? Report().Edit() : Edit();
    target.SetText(Lines(kLines, QStringLiteral("X1.")));
    if (inReport) Report().show();
    Replace().show();
    // Delivered when the replace-all first lets the events through: at its first match.
    QTimer::singleShot(0, &Replace(), [this] { QTest::keyClick(&Replace(), Qt::Key_Escape); });
    const int count = ReplaceAll(QStringLiteral("X1."), QStringLiteral("X2."));
    Report().hide();
    QVERIFY(!Replace().isVisible());
    QVERIFY(!Replace().IsReplacingAll());
    if (inReport) {
      QCOMPARE(count, kLines);
    } else {
      QCOMPARE(count, 1);
      QCOMPARE(Plain(target).count(QStringLiteral("X2.")), 1);
    }
    QVERIFY(Replace().ReplaceAllBtn()->isEnabled());
  }

  // Histories: newest first, an entry once; ten kept when the dialog closes, stored as
  // lines ending in CR LF, and loaded by the next dialog made on the store.
  void historiesKeepTheTenNewestFirst() {
    QTemporaryDir dir;
    settings::TRegManager reg(dir.filePath(QStringLiteral("h.ini")));
    NcEditor target(nullptr);
    target.SetText(QStringLiteral("T5\n"));
    const search::TargetChooser chooser = [&] { return search::SearchTarget{&target, true}; };
    {
      search::TFindDlg find(chooser, reg);
      for (int i = 1; i <= 12; ++i) {
        find.show();
        find.SetSearchText(QStringLiteral("T%1").arg(i));
        find.FindBtnClick();
        QVERIFY(!find.isVisible());  // 検索 closes the dialog
      }
      find.show();
      target.SetCaret(0, 0);
      find.SetSearchText(QStringLiteral("T5"));
      find.FindBtnClick();
      QCOMPARE(target.SelectedText(), QStringLiteral("T5"));
      QCOMPARE(reg.ReadString(settings::keys::FindFind),
               QStringLiteral("T5\r\nT12\r\nT11\r\nT10\r\nT9\r\nT8\r\nT7\r\nT6\r\nT4\r\nT3\r\n"));
      QCOMPARE(find.FindComboBox()->count(), 10);
    }
    search::TFindDlg again(chooser, reg);
    QCOMPARE(search::HistoryItems(*again.FindComboBox()).first(), QStringLiteral("T5"));
    QCOMPARE(again.FindComboBox()->count(), 10);

    // The replace dialog keeps its own two histories; an empty replacement is no entry.
    ScriptedDialogs answers;
    search::TReplaceDlg replace(chooser, answers, reg);
    QCOMPARE(replace.FindComboBox()->count(), 0);
    replace.show();
    replace.SetSearchText(QStringLiteral("T5"));
    replace.ReplaceComboBox()->setEditText(QString());
    replace.ReplaceBtnClick();
    replace.ReplaceComboBox()->setEditText(QStringLiteral("T6"));
    replace.ReplaceBtnClick();
    replace.CloseBtn()->click();
    QCOMPARE(reg.ReadString(settings::keys::Find), QStringLiteral("T5\r\n"));
    QCOMPARE(reg.ReadString(settings::keys::Replace), QStringLiteral("T6\r\n"));
    QCOMPARE(reg.ReadString(settings::keys::FindFind).count(QStringLiteral("\r\n")), 10);
  }

  // 再検索 (F3) with an empty search box shows the find dialog; otherwise the main editor's
  // last search is repeated forward (F3) or backward (Shift+F3), a miss beeping.
  void findNextRepeatsTheLastSearch() {
    Edit().SetText(QStringLiteral("G01\nG00\ng01\nG01\n"));
    Edit().SetCaret(0, 0);
    QWidget* opened = nullptr;
    WhenModal([&](QWidget* w) { opened = w; });
    form_->Action(Command::AcFindNext)->trigger();
    QCOMPARE(opened, static_cast<QWidget*>(&Find()));

    Find().CaseCheckBox()->setChecked(true);
    Find().SetSearchText(QStringLiteral("G01"));
    Find().FindBtnClick();
    QCOMPARE(Edit().CaretRow(), 0);
    Find().CaseCheckBox()->setChecked(false);  // the editor keeps the options it was given
    form_->Action(Command::AcFindNext)->trigger();
    QCOMPARE(Edit().CaretRow(), 3);
    const int beeps = view::BeepCount();
    form_->Action(Command::AcFindNext)->trigger();
    QCOMPARE(view::BeepCount(), beeps + 1);
    QCOMPARE(Edit().CaretRow(), 3);
    form_->Action(Command::AcFindPrev)->trigger();
    QCOMPARE(Edit().CaretRow(), 0);
  }

  // 指定行: a line from 1 to the line count moves the caret there; 0, a negative number or
  // a line past the end does nothing; a text that is no integer says so.
  void jumpToLine_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("row");  // the caret's row afterwards (it starts on row 1)
    QTest::addColumn<QString>("message");
    QTest::newRow("first line") << "1" << 0 << "";
    QTest::newRow("last line, spaces around") << " 3 " << 2 << "";
    QTest::newRow("zero") << "0" << 1 << "";
    QTest::newRow("negative") << "-2" << 1 << "";
    QTest::newRow("past the end") << "4" << 1 << "";
    QTest::newRow("far past the end") << "99999999999" << 1 << "";
    QTest::newRow("not an integer") << "2.5" << 1 << "'2.5' は正しい整数ではありません。";
    QTest::newRow("empty") << "" << 1 << "'' は正しい整数ではありません。";
  }
  void jumpToLine() {
    QFETCH(QString, typed);
    QFETCH(int, row);
    QFETCH(QString, message);
    Edit().SetText(QStringLiteral("N1\nN2\nN3\n"));
    Edit().SetCaret(1, 1);
    dialogs_->inputs = {typed};
    form_->Action(Command::AcJump)->trigger();
    QCOMPARE(dialogs_->asked.value(0), QStringLiteral("ジャンプ行を入力して下さい。"));
    QCOMPARE(dialogs_->asked.value(1), message);
    QCOMPARE(Edit().CaretRow(), row);
  }
};

QTEST_MAIN(TestSearch)
#include "test_search.moc"
