// The editor component: files kept byte for byte, lines as the analysis reads them, row
// marks, caret, undo, the split view and search.

#include <Qsci/qsciscintilla.h>

#include <QtTest>

#include <random>

#include "editor/EditorLineSource.h"
#include "editor/NcEditor.h"

using kelvan::editor::NcEditor;
using kelvan::editor::SearchCaseSensitive;
using kelvan::editor::SearchFuzzy;
using kelvan::editor::SearchRegExp;
namespace nc = kelvan::nc;
using Sci = QsciScintillaBase;

namespace {

QString Lines(int n, const char* line) {
  QString text;
  for (int i = 0; i < n; ++i) text += QLatin1String(line) + QLatin1Char('\n');
  return text;
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray Binary() {
  QByteArray bytes;
  for (int i = 0; i < 256; ++i) bytes.append(static_cast<char>(i));
  std::mt19937 rng(7);
  for (int i = 0; i < 4096; ++i) bytes.append(static_cast<char>(rng() & 0xFF));
  return bytes;
}

// Loads bytes through a file, as the program does, so that the line-end mode is the file's.
void Load(NcEditor& editor, const QTemporaryDir& dir, const QByteArray& bytes) {
  const QString path = dir.filePath(QStringLiteral("in.nc"));
  WriteFile(path, bytes);
  QString error;
  QVERIFY2(editor.LoadFile(path, error), qPrintable(error));
}

QByteArray Saved(const NcEditor& editor, const QTemporaryDir& dir, bool* lossy = nullptr) {
  const QString path = dir.filePath(QStringLiteral("out.nc"));
  QString error;
  if (!editor.SaveFile(path, error, lossy)) return "<save failed: " + error.toUtf8() + ">";
  return ReadFile(path);
}

QString Utf8(const char* s) { return QString::fromUtf8(s); }

}  // namespace

class TestNcEditor : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir dir_;

 private slots:
  void roundTrip_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::newRow("cp932 japanese") << QByteArray("%\r\nO1(\x8D\x72\x89\xC1\x8D\x48)\r\nG01X1.\r\n") << 0;
    QTest::newRow("utf8") << QByteArray("(荒加工)\nG01\n") << 1;
    QTest::newRow("utf8 bom") << QByteArray("\xEF\xBB\xBFG01(荒)\r\nM30\r\n") << 1;
    QTest::newRow("no final end") << QByteArray("G00X0\nM30") << 0;
    QTest::newRow("mixed ends") << QByteArray("A\r\nB\nC\rD\r\n\r\n") << 0;
    QTest::newRow("nul bytes") << QByteArray("G01\0X1\n\0\0\n", 11) << 0;
    QTest::newRow("broken cp932") << QByteArray("X\x83\r\n\x81\n\xFF\xFE") << 0;
    QTest::newRow("binary") << Binary() << 0;
    QTest::newRow("empty") << QByteArray() << 0;
  }
  void roundTrip() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    NcEditor editor(nullptr);
    Load(editor, dir_, bytes);
    QCOMPARE(static_cast<int>(editor.Encoding()), encoding);
    QVERIFY(!editor.IsModified());
    QVERIFY(!editor.CanUndo());
    bool lossy = true;
    QCOMPARE(Saved(editor, dir_, &lossy), bytes);
    QVERIFY(!lossy);
  }

  void bomIsNotText() {
    NcEditor editor(nullptr);
    Load(editor, dir_, "\xEF\xBB\xBFG01\nM30\n");
    QCOMPARE(editor.Line(0), QStringLiteral("G01"));
    QCOMPARE(editor.Source().Line(0), std::string_view("G01"));
  }

  void editsKeepTheFileEncoding() {
    NcEditor editor(nullptr);
    Load(editor, dir_, "%\r\nG01\r\nM30\n");  // CR LF dominant
    editor.SetLine(1, Utf8("(荒加工)G01"));
    editor.InsertLine(3, Utf8("(日本)"));
    QCOMPARE(Saved(editor, dir_), QByteArray("%\r\n(\x8D\x72\x89\xC1\x8D\x48)G01\r\nM30\n(\x93\xFA\x96\x7B)\r\n"));

    Load(editor, dir_, "(荒)\nG01\n");
    editor.InsertLine(1, Utf8("(日本)"));
    QCOMPARE(Saved(editor, dir_), QByteArray("(荒)\n(日本)\nG01\n"));

    bool lossy = false;
    editor.SetText(Utf8("X\U0001F600\n"));
    QCOMPARE(Saved(editor, dir_, &lossy), QByteArray("X\xF0\x9F\x98\x80\n"));  // UTF-8 holds it
    Load(editor, dir_, "G01\r\n");
    editor.SetLine(0, Utf8("X\U0001F600"));
    QCOMPARE(Saved(editor, dir_, &lossy), QByteArray("X?\r\n"));
    QVERIFY(lossy);
  }

  void newTextIsCp932WithCrLf() {
    NcEditor editor(nullptr);
    editor.InsertLine(0, QStringLiteral("G01"));
    editor.InsertLine(1, Utf8("(日本)"));
    QCOMPARE(Saved(editor, dir_), QByteArray("G01\r\n(\x93\xFA\x96\x7B)\r\n"));
  }

  void failedLoadChangesNothing() {
    NcEditor editor(nullptr);
    editor.SetText(QStringLiteral("KEEP\n"));
    QString error;
    QVERIFY(!editor.LoadFile(dir_.filePath(QStringLiteral("missing.nc")), error));
    QVERIFY(error.contains(QStringLiteral("missing.nc")));
    QCOMPARE(editor.Text(), QStringLiteral("KEEP\n"));
  }

  void sourceLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("final end") << QByteArray("A\nB\n") << QStringList{"A", "B"};
    QTest::newRow("crlf no final") << QByteArray("A\r\nB") << QStringList{"A", "B"};
    QTest::newRow("empty last line") << QByteArray("A\r\n\r\n") << QStringList{"A", ""};
    QTest::newRow("bare cr") << QByteArray("A\rB\r\n") << QStringList{"A", "B"};
    QTest::newRow("one line end") << QByteArray("\n") << QStringList{""};
    QTest::newRow("empty") << QByteArray() << QStringList{};
  }
  void sourceLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    NcEditor editor(nullptr);
    Load(editor, dir_, bytes);
    const nc::LineSource& source = editor.Source();
    QCOMPARE(source.LineCount(), lines.size());
    QCOMPARE(editor.LineCount(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
      QCOMPARE(QString::fromUtf8(source.Line(i).data(), source.Line(i).size()), lines[i]);
      QCOMPARE(editor.Line(i), lines[i]);
    }
    QVERIFY(source.Line(-1).empty());
    QVERIFY(source.Line(static_cast<int32_t>(lines.size()) + 1).empty());
  }

  // The lines are views into the editor's own buffer (no copy per line), and stay
  // right after edits that move that buffer.
  void sourceViewsTheBuffer() {
    NcEditor editor(nullptr);
    editor.SetText(QStringLiteral("G01\nX1\n"));
    const std::string_view first = editor.Source().Line(1);
    const auto* buffer = static_cast<const char*>(editor.Widget()->SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    QCOMPARE(first.data(), buffer + 4);
    editor.InsertLine(0, QString(100000, QLatin1Char('Y')));
    QCOMPARE(editor.Source().Line(2), std::string_view("X1"));
    QCOMPARE(editor.Source().Line(0).size(), size_t{100000});
  }

  void rowMarks() {
    NcEditor editor(nullptr);
    editor.SetText(QStringLiteral("/N1\nM00\nM01\nG01\n"));
    editor.SetRowMark(0, nc::MarkBlockSkip);
    editor.SetRowMark(0, nc::MarkBlockSkip);  // twice is still one mark
    editor.SetRowMark(1, nc::MarkM00);
    editor.SetRowMark(2, nc::MarkM01);
    editor.SetRowMark(2, nc::MarkM00);
    editor.SetRowMark(99, nc::MarkM00);  // out of range: ignored
    QVERIFY(editor.HasRowMark(0, nc::MarkBlockSkip));
    QVERIFY(!editor.HasRowMark(0, nc::MarkM00));
    QVERIFY(editor.HasRowMark(2, nc::MarkM00) && editor.HasRowMark(2, nc::MarkM01));
    editor.ClearRowMarks(0);
    editor.ClearRowMarks(2);
    QVERIFY(!editor.HasRowMark(0, nc::MarkBlockSkip));
    QVERIFY(!editor.HasRowMark(2, nc::MarkM00) && !editor.HasRowMark(2, nc::MarkM01));
    QVERIFY(editor.HasRowMark(1, nc::MarkM00));
    // The line that moves up into a deleted row does not take over its mark.
    editor.DeleteLine(1);
    QVERIFY(!editor.HasRowMark(1, nc::MarkM00));
    editor.SetRowMark(0, nc::MarkM01);
    QsciScintilla* second = editor.CreateSecondView(nullptr);
    QVERIFY(second->SendScintilla(Sci::SCI_MARKERGET, 0ul) & (1 << nc::MarkM01));
    QCOMPARE(second->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 1ul), 12l);
    QCOMPARE(second->SendScintilla(Sci::SCI_GETMARGINMASKN, 1ul), long(NcEditor::kRowMarkMask));
  }

  // The marks of an analysis replace every mark shown so far, in all views.
  void applyRowMarksReplacesTheShownMarks() {
    NcEditor editor(nullptr);
    editor.SetText(QStringLiteral("/N1\nM00\nM01\nG01\n"));
    editor.SetRowMark(3, nc::MarkM00);  // stale: no analysis put it there
    nc::RowMarks marks;
    marks.Reset(4);
    marks.Set(0, nc::MarkBlockSkip);
    marks.Set(1, nc::MarkM00);
    marks.Set(2, nc::MarkM01);
    marks.Set(2, nc::MarkM00);
    editor.ApplyRowMarks(marks);
    const bool want[4][3] = {{true, false, false}, {false, true, false}, {false, true, true}, {false, false, false}};
    for (int row = 0; row < 4; ++row)
      for (int m = 0; m < 3; ++m)
        QCOMPARE(editor.HasRowMark(row, nc::RowMark(nc::MarkBlockSkip + m)), want[row][m]);
    editor.ApplyRowMarks(nc::RowMarks{});
    for (int row = 0; row < 4; ++row) QCOMPARE(editor.Widget()->SendScintilla(Sci::SCI_MARKERGET, ulong(row)), 0l);
  }

  void lineOperations_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("set") << QByteArray("A\nB\nC\n") << "set 1 X" << QByteArray("A\nX\nC\n");
    QTest::newRow("set out of range") << QByteArray("A\n") << "set 1 X" << QByteArray("A\n");
    QTest::newRow("insert first") << QByteArray("A\r\nB\r\n") << "insert 0 Z" << QByteArray("Z\r\nA\r\nB\r\n");
    QTest::newRow("append") << QByteArray("A\nB\n") << "insert 2 D" << QByteArray("A\nB\nD\n");
    QTest::newRow("append no final") << QByteArray("A\nB") << "insert 2 D" << QByteArray("A\nB\nD");
    QTest::newRow("insert into empty") << QByteArray() << "insert 0 " << QByteArray("\r\n");
    QTest::newRow("append to one line") << QByteArray("A") << "insert 1 B" << QByteArray("A\r\nB");
    QTest::newRow("delete middle") << QByteArray("A\nB\nC\n") << "delete 1" << QByteArray("A\nC\n");
    QTest::newRow("delete last no final") << QByteArray("A\nB\nC") << "delete 2" << QByteArray("A\nB");
    QTest::newRow("delete only") << QByteArray("A") << "delete 0" << QByteArray();
    QTest::newRow("delete out of range") << QByteArray("A\n") << "delete 1" << QByteArray("A\n");
    QTest::newRow("set lines") << QByteArray("A\nB\n") << "lines X Y" << QByteArray("X\nY\n");
    QTest::newRow("set lines no final") << QByteArray("A\r\nB") << "lines X Y" << QByteArray("X\r\nY");
    QTest::newRow("insert text") << QByteArray("A\nB\n") << "text 1 P\nQ" << QByteArray("A\nP\nQB\n");
    QTest::newRow("insert text past end") << QByteArray("A") << "text 5 Z" << QByteArray("A\r\nZ");
  }
  void lineOperations() {
    QFETCH(QByteArray, before);
    QFETCH(QString, op);
    QFETCH(QByteArray, after);
    NcEditor editor(nullptr);
    Load(editor, dir_, before);
    const QStringList words = op.split(' ');
    const int row = words.value(1).toInt();
    const QString arg = op.section(' ', 2);
    if (words[0] == "set") editor.SetLine(row, arg);
    if (words[0] == "insert") editor.InsertLine(row, arg);
    if (words[0] == "delete") editor.DeleteLine(row);
    if (words[0] == "text") editor.InsertText(row, arg);
    if (words[0] == "lines") editor.SetLines(words.mid(1));
    QCOMPARE(Saved(editor, dir_), after);
    // Every change is one undo step.
    editor.Undo();
    QCOMPARE(Saved(editor, dir_), before);
  }

  void caretIsClamped_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("wantRow");
    QTest::addColumn<int>("wantCol");
    QTest::newRow("inside") << 0 << 3 << 0 << 3;
    QTest::newRow("negative") << -5 << -5 << 0 << 0;
    QTest::newRow("below the text") << 99 << 0 << 3 << 0;
    QTest::newRow("past the line") << 0 << 99 << 0 << 6;
    QTest::newRow("inside a character") << 1 << 2 << 1 << 1;
    QTest::newRow("after a character") << 1 << 4 << 1 << 4;
    QTest::newRow("not into the line end") << 2 << 5 << 2 << 1;
  }
  void caretIsClamped() {
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(int, wantRow);
    QFETCH(int, wantCol);
    NcEditor editor(nullptr);
    editor.SetText(Utf8("G01X10\n(荒)\nZ\r\n"));
    QSignalSpy moved(&editor, &NcEditor::CaretMoved);
    editor.SetCaret(row, col);
    QCOMPARE(editor.CaretRow(), wantRow);
    QCOMPARE(editor.CaretCol(), wantCol);
    if (wantRow != 0 || wantCol != 0) {
      QCOMPARE(moved.count(), 1);
      QCOMPARE(moved[0], (QVariantList{wantRow, wantCol}));
    }
  }

  void typingOverwriteAndTabs() {
    NcEditor editor(nullptr);
    editor.SetText(QStringLiteral("G01\n"));
    QsciScintilla* view = editor.Widget();
    editor.SetCaret(0, 1);
    editor.SetOverwrite(true);
    QVERIFY(editor.IsOverwrite());
    QTest::keyClicks(view, QStringLiteral("00"));
    QCOMPARE(editor.Line(0), QStringLiteral("G00"));
    editor.SetOverwrite(false);
    QVERIFY(!editor.IsOverwrite());
    editor.SetCaret(0, 0);
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(editor.Line(0), QStringLiteral("  G00"));
  }

  // The status bar follows the caret of whichever view the user works in.
  void userCaretMovesAreReported() {
    NcEditor editor(nullptr);
    editor.SetText(Utf8("(荒)X1\nG01\n"));
    QsciScintilla* second = editor.CreateSecondView(nullptr);
    QSignalSpy moved(&editor, &NcEditor::CaretMoved);
    QSignalSpy doubled(&editor, &NcEditor::DoubleClicked);
    for (QsciScintilla* view : {editor.Widget(), second}) {
      view->resize(300, 200);
      view->show();
      QVERIFY(QTest::qWaitForWindowExposed(view));
    }
    QTest::keyClick(editor.Widget(), Qt::Key_End);
    QTRY_COMPARE(moved.last(), (QVariantList{0, 7}));
    QTest::keyClick(second, Qt::Key_Down);
    QTRY_COMPARE(moved.last(), (QVariantList{1, 0}));
    QTest::mouseClick(second->viewport(), Qt::LeftButton, {}, QPoint(40, 5));
    QTest::mouseDClick(second->viewport(), Qt::LeftButton, {}, QPoint(40, 5));
    QTRY_COMPARE(doubled.count(), 1);
  }

  void undoRedoAndModified() {
    NcEditor editor(nullptr);
    Load(editor, dir_, "G01\n");
    QSignalSpy changed(&editor, &NcEditor::ModificationChanged);
    QSignalSpy text(&editor, &NcEditor::TextChanged);
    editor.SetLine(0, QStringLiteral("G02"));
    QVERIFY(editor.IsModified() && editor.CanUndo() && !editor.CanRedo());
    QVERIFY(text.count() > 0);
    editor.Undo();
    QCOMPARE(editor.Line(0), QStringLiteral("G01"));
    QVERIFY(!editor.IsModified() && editor.CanRedo());
    editor.Redo();
    QCOMPARE(editor.Line(0), QStringLiteral("G02"));
    QCOMPARE(changed.count(), 3);
    editor.SetModified(false);
    QVERIFY(!editor.IsModified());
    editor.SetModified(true);  // declared modified without an edit
    QVERIFY(editor.IsModified());
    QCOMPARE(changed.last()[0].toBool(), true);
  }

  // A change of the whole text (a load, a conversion, the work buffer) runs without
  // Scintilla's per-change notifications; what they drive must still happen: one
  // TextChanged (none for the work buffer), a number margin wide enough, the second view
  // on the new text, and one undo step back.
  void wholeTextChanges() {
    NcEditor editor(nullptr);
    editor.SetLineNumbers(true);
    Load(editor, dir_, "G01\n");
    QsciScintilla* second = editor.CreateSecondView(nullptr);
    const long narrow = editor.Widget()->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0ul);
    QSignalSpy text(&editor, &NcEditor::TextChanged);
    std::string big;
    for (int i = 0; i < 20000; ++i) big += "X1.\n";
    editor.ReplaceTextUtf8(big);
    QCOMPARE(text.count(), 1);
    QVERIFY(editor.IsModified());
    QCOMPARE(second->SendScintilla(Sci::SCI_GETLINECOUNT), 20001l);
    QVERIFY(editor.Widget()->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0ul) > narrow);
    editor.Undo();
    QCOMPARE(editor.Line(0), QStringLiteral("G01"));
    QCOMPARE(editor.LineCount(), 1);
    NcEditor work(nullptr);
    work.SetLineNumbers(true);
    QSignalSpy quiet(&work, &NcEditor::TextChanged);
    work.SetWorkText(big);
    QCOMPARE(quiet.count(), 0);
    QCOMPARE(work.LineCount(), 20000);
    QVERIFY(!work.IsModified() && !work.CanUndo());
    QVERIFY(work.Widget()->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0ul) > narrow);
    editor.RemoveSecondView();
  }

  void selectWordAtCaret() {
    NcEditor editor(nullptr);
    editor.SetText(QStringLiteral("N10 G01 X1.5\n"));
    editor.SetCaret(0, 5);
    editor.SelectWordAtCaret();
    QVERIFY(editor.HasSelection());
    QCOMPARE(editor.SelectedText(), QStringLiteral("G01"));
    editor.ClearSelection();
    QVERIFY(!editor.HasSelection());
  }

  void secondViewSharesTheText() {
    NcEditor editor(nullptr);
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QStringLiteral("N%1").arg(i);
    editor.SetLines(lines);
    QsciScintilla* main = editor.Widget();
    main->resize(300, 200);
    main->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, 50ul);
    QsciScintilla* second = editor.CreateSecondView(nullptr);
    QCOMPARE(editor.CreateSecondView(nullptr), second);
    QCOMPARE(second->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE), 50l);
    QSignalSpy text(&editor, &NcEditor::TextChanged);
    second->SendScintilla(Sci::SCI_SETSEL, 0ul, 0l);
    QTest::keyClicks(second, QStringLiteral("/"));
    QCOMPARE(editor.Line(0), QStringLiteral("/N0"));
    QVERIFY(text.count() > 0);
    editor.Undo();  // one undo history
    QCOMPARE(second->text(0), QStringLiteral("N0\r\n"));
    // Caret and search work in the view that had the focus last.
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(second, &focusIn);
    QCOMPARE(editor.FocusedView(), second);
    editor.SetCaret(120, 0);
    QCOMPARE(second->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(second->SendScintilla(Sci::SCI_GETCURRENTPOS))), 120l);
    QVERIFY(editor.FindNext(QStringLiteral("N17"), 0));
    QCOMPARE(editor.CaretRow(), 170);
    QCOMPARE(main->SendScintilla(Sci::SCI_GETCURRENTPOS), 0l);
    QPointer<QsciScintilla> gone(second);
    editor.RemoveSecondView();
    QVERIFY(gone.isNull() && editor.SecondView() == nullptr);
    QCOMPARE(editor.FocusedView(), main);
  }

  void find_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QString>("found");  // "row:col-col ..." after successive searches
    // Text: "X1. Y2.\nx1. X1.\n", caret at the start, or at the end for backward searches.
    QTest::newRow("any case") << "X1." << 0 << true << "0:0-3 1:0-3 1:4-7 none";
    QTest::newRow("case") << "X1." << int(SearchCaseSensitive) << true << "0:0-3 1:4-7 none";
    QTest::newRow("backward") << "X1." << int(SearchCaseSensitive) << false << "1:4-7 0:0-3 none";
    QTest::newRow("regexp") << "[XY][0-9]\\." << int(SearchRegExp) << true << "0:0-3 0:4-7 1:0-3 1:4-7 none";
    QTest::newRow("regexp case") << "^x" << int(SearchRegExp | SearchCaseSensitive) << true << "1:0-1 none";
  }
  void find() {
    QFETCH(QString, text);
    QFETCH(int, options);
    QFETCH(bool, forward);
    QFETCH(QString, found);
    NcEditor editor(nullptr);
    editor.SetText(QStringLiteral("X1. Y2.\nx1. X1.\n"));
    editor.SetCaret(forward ? 0 : 2, 0);
    QStringList got;
    for (int i = 0; i < 6; ++i) {
      if (!editor.FindNext(text, options, forward)) {
        got << "none";
        break;
      }
      const int row = editor.CaretRow();
      const QString sel = editor.SelectedText();
      const int end = editor.CaretCol();
      got << QStringLiteral("%1:%2-%3").arg(row).arg(end - sel.size()).arg(end);
    }
    QCOMPARE(got.join(' '), found);
  }

  // あいまい検索 in the editor: found in folded text, answered and replaced as the original
  // bytes (half-width marks, full-width forms, line ends and regexp groups included).
  void fuzzy_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("options");  // besides SearchFuzzy
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("found");  // byte spans: the first from the top, the last from the end
    QTest::addColumn<QString>("replaced");
    QTest::addColumn<int>("count");
    QTest::newRow("width and case") << "N1 G01\r\nＧ０１ g01\r\n" << "ｇ０１" << 0 << "#" << "3-6 18-21"
                                    << "N1 #\r\n# #\r\n" << 3;
    QTest::newRow("kana with half-width marks") << "(ｶﾞｲﾄﾞ)\nがいど\n" << "ガイド" << 0 << "#" << "1-16 18-27"
                                                << "(#)\n#\n" << 2;
    QTest::newRow("regexp groups are original text") << "X１ Y２\n" << "([xy])(\\d)" << int(SearchRegExp)
                                                     << "<\\2\\1>" << "0-4 5-9" << "<１X> <２Y>\n" << 2;
    QTest::newRow("regexp ^ sees the original text") << "XX\nX\n" << "^x" << int(SearchRegExp) << "" << "0-1 3-4"
                                                     << "X\n\n" << 2;
    QTest::newRow("over a line end") << "A\nＢ\nA\nB\n" << "a\nb" << 0 << "#" << "0-5 6-9" << "#\n#\n" << 2;
  }
  void fuzzy() {
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(int, options);
    QFETCH(QString, replacement);
    QFETCH(QString, found);
    QFETCH(QString, replaced);
    QFETCH(int, count);
    options |= SearchFuzzy;
    NcEditor editor(nullptr);
    editor.SetText(text);
    QsciScintilla* view = editor.Widget();
    auto selection = [view] {
      return QStringLiteral("%1-%2").arg(view->SendScintilla(Sci::SCI_GETSELECTIONSTART))
          .arg(view->SendScintilla(Sci::SCI_GETSELECTIONEND));
    };
    view->SendScintilla(Sci::SCI_GOTOPOS, 0ul);
    QVERIFY(editor.FindNext(search, options, true));
    const QString first = selection();
    view->SendScintilla(Sci::SCI_DOCUMENTEND);
    QVERIFY(editor.FindNext(search, options, false));
    QCOMPARE(first + ' ' + selection(), found);
    QCOMPARE(editor.ReplaceAll(search, replacement, options, false), count);
    QCOMPARE(editor.Text(), replaced);
    editor.Undo();  // one step
    QCOMPARE(editor.Text(), text);
    // What F3 repeats.
    QCOMPARE(editor.SearchText(), search);
    QCOMPARE(editor.SearchOptions(), options);
  }

  // A fuzzy search text over line ends is looked for a block of lines at a time: matches
  // across the blocks' borders are found as the plain search finds them.
  void fuzzyOverLineEndsInALargeText() {
    QString text;
    for (int i = 0; i < 12000; ++i) text += QStringLiteral("N%1\nX1\nY2\n").arg(i);  // about 170 KB
    NcEditor fuzzy(nullptr);
    NcEditor plain(nullptr);
    fuzzy.SetText(text);
    plain.SetText(text);
    // Backward from the end, as far as a block and more.
    for (NcEditor* e : {&fuzzy, &plain}) e->Widget()->SendScintilla(Sci::SCI_DOCUMENTEND);
    for (int i = 0; i < 40; ++i) {
      QVERIFY(fuzzy.FindNext(QStringLiteral("ｘ１\nＹ２\nn"), SearchFuzzy, false));
      QVERIFY(plain.FindNext(QStringLiteral("X1\nY2\nN"), SearchCaseSensitive, false));
      QCOMPARE(fuzzy.CaretRow(), plain.CaretRow());
    }
    QCOMPARE(fuzzy.ReplaceAll(QStringLiteral("ｘ１\nＹ２\nn"), QStringLiteral("#"), SearchFuzzy, false), 11999);
    QCOMPARE(plain.ReplaceAll(QStringLiteral("X1\nY2\nN"), QStringLiteral("#"), SearchCaseSensitive, false), 11999);
    QCOMPARE(fuzzy.Text(), plain.Text());

    // Far apart: the blocks grow on the way; found where the plain search finds them.
    text = Lines(9000, "N1") + QStringLiteral("X1\nY2\n") + Lines(9000, "N2") + QStringLiteral("X1\nY2\n") + Lines(50, "N3");
    fuzzy.SetText(text);
    fuzzy.SetCaret(0, 0);
    QVERIFY(fuzzy.FindNext(QStringLiteral("ｘ１\nｙ２"), SearchFuzzy, true));
    QCOMPARE(fuzzy.CaretRow(), 9001);
    QVERIFY(fuzzy.FindNext(QStringLiteral("ｘ１\nｙ２"), SearchFuzzy, true));
    QCOMPARE(fuzzy.CaretRow(), 18003);
    QVERIFY(!fuzzy.FindNext(QStringLiteral("ｘ１\nｙ２"), SearchFuzzy, true));
    QVERIFY(fuzzy.FindNext(QStringLiteral("ｘ１\nｙ２"), SearchFuzzy, false));
    QCOMPARE(fuzzy.CaretRow(), 9001);
  }

  void replace() {
    NcEditor editor(nullptr);
    const QString text = QStringLiteral("X1. X1.\nX1.\n");
    editor.SetText(text);
    editor.SetCaret(1, 0);
    QCOMPARE(editor.ReplaceAll("X1.", "X2.", 0, true), 1);
    QCOMPARE(editor.Text(), QStringLiteral("X1. X1.\nX2.\n"));
    editor.Undo();
    QCOMPARE(editor.ReplaceAll("X1.", "X2.", 0, false), 3);
    QCOMPARE(editor.Text(), QStringLiteral("X2. X2.\nX2.\n"));
    editor.Undo();  // the whole replace-all is one step
    QCOMPARE(editor.Text(), text);

    int asked = 0;
    QCOMPARE(editor.ReplaceAll("X1.", "X2.", 0, false, [&] { return ++asked < 2; }), 2);
    editor.Undo();
    QCOMPARE(editor.ReplaceAll("X", "XX", 0, false), 3);  // no endless loop on its own output
    QCOMPARE(editor.ReplaceAll("^", "N", SearchRegExp, false), 2);
    QCOMPARE(editor.Text(), QStringLiteral("NXX1. XX1.\nNXX1.\n"));
    QCOMPARE(editor.ReplaceAll("X(X)1", "\\1Y", SearchRegExp, false), 3);
    QCOMPARE(editor.Text(), QStringLiteral("NXY. XY.\nNXY.\n"));

    editor.SetText(text);
    editor.SetCaret(0, 0);
    QVERIFY(editor.FindNext("X1.", 0));
    QVERIFY(editor.ReplaceAndFindNext("X1.", "Z", 0));  // replaces the selected match
    QCOMPARE(editor.Line(0), QStringLiteral("Z X1."));
    QCOMPARE(editor.CaretCol(), 5);
    editor.SetCaret(1, 0);
    QVERIFY(editor.ReplaceAndFindNext("X1.", "Z", 0));  // nothing selected: only searches
    QCOMPARE(editor.Line(1), QStringLiteral("X1."));
    QCOMPARE(editor.SelectedText(), QStringLiteral("X1."));
  }

  void looks() {
    NcEditor editor(nullptr);
    QsciScintilla* view = editor.Widget();
    // The program's font is sized in pixels; every style, line numbers included, must get
    // a real size from it.
    QFont font;
    font.setPixelSize(15);
    editor.SetFont(font);
    editor.SetLineNumbers(true);
    for (int style : {0, 2, int(Sci::STYLE_DEFAULT), int(Sci::STYLE_LINENUMBER)}) {
      QVERIFY(view->SendScintilla(Sci::SCI_STYLEGETSIZEFRACTIONAL, static_cast<unsigned long>(style)) > 500);
    }
    QVERIFY(view->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0ul) >
            view->SendScintilla(Sci::SCI_TEXTWIDTH, static_cast<unsigned long>(Sci::STYLE_LINENUMBER), "9"));
    editor.SetLineNumbers(false);
    QCOMPARE(view->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0ul), 0l);
    editor.SetHorizontalScrollBar(false);
    QCOMPARE(view->SendScintilla(Sci::SCI_GETHSCROLLBAR), 0l);
    QCOMPARE(view->tabWidth(), 2);
    QVERIFY(!view->indentationsUseTabs());

    editor.SetText(QStringLiteral("G01\nG02\nG03\n"));
    view->resize(300, 200);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    editor.SetCaretLineUnderline(true);
    editor.SetCaret(2, 0);
    auto* line = view->viewport()->findChild<QWidget*>();
    QVERIFY(line != nullptr && line->isVisible());
    const long y = view->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0ul, view->SendScintilla(Sci::SCI_GETCURRENTPOS));
    QTRY_VERIFY(line->y() > y && line->height() == 1);
    editor.SetCaretLineUnderline(false);
    QVERIFY(!line->isVisible());
  }
};

QTEST_MAIN(TestNcEditor)
#include "test_nceditor.moc"
