// The NC colouring: the token rule on its own, and the scheme styling real editors.

#include <Qsci/qsciscintilla.h>

#include <QtTest>

#include "editor/NcEditor.h"
#include "highlight/ScanNcLine.h"
#include "highlight/TNCFountain.h"

using kelvan::editor::NcEditor;
using kelvan::highlight::NcToken;
using kelvan::highlight::NcTokenClass;
using kelvan::highlight::ScanNcLine;
using kelvan::highlight::TNCFountain;
using Sci = QsciScintillaBase;

namespace {

char ClassLetter(NcTokenClass c) {
  switch (c) {
    case NcTokenClass::Ank: return 'A';
    case NcTokenClass::Int: return 'I';
    case NcTokenClass::Symbol: return 'S';
    case NcTokenClass::Reserve: return 'R';
    case NcTokenClass::Bracket: return 'B';
    case NcTokenClass::Str: return 'Q';
    case NcTokenClass::Dbcs: return 'D';
    case NcTokenClass::Comment: return 'C';
  }
  return '?';
}

// "text/class" per token, separated by spaces: readable in a failure message.
QString Describe(const std::string& line) {
  QStringList parts;
  for (const NcToken& t : ScanNcLine(line)) {
    const std::string text = line.substr(static_cast<size_t>(t.start), static_cast<size_t>(t.length));
    parts << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())) + '/' + ClassLetter(t.cls);
  }
  return parts.join(' ');
}

// The foreground of a style in a view, as Scintilla holds it ($BBGGRR).
QColor StyleFore(QsciScintillaBase* view, int style) {
  const long bgr = view->SendScintilla(Sci::SCI_STYLEGETFORE, static_cast<unsigned long>(style));
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int StyleAt(QsciScintillaBase* view, int row, int col) {
  const long pos = view->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(row)) + col;
  return static_cast<int>(view->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
}

void StyleAll(QsciScintillaBase* view) { view->SendScintilla(Sci::SCI_COLOURISE, 0ul, -1l); }

}  // namespace

class TestNcFountain : public QObject {
  Q_OBJECT
 private slots:
  void tokens_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("motion block") << QByteArray("G01X-10.5") << "G/A 01/I X/A -/S 10/I ./S 5/I";
    QTest::newRow("tape mark") << QByteArray("%") << "%/R";
    QTest::newRow("two tape marks") << QByteArray("%%") << "%/R %/R";
    QTest::newRow("remark") << QByteArray("N100(ROUGHING)") << "N/A 100/I (ROUGHING)/B";
    QTest::newRow("japanese remark") << QByteArray("(荒加工)X1") << "(荒加工)/B X/A 1/I";
    QTest::newRow("japanese outside") << QByteArray("荒 X1") << "荒/D X/A 1/I";
    QTest::newRow("lower case") << QByteArray("g01x_y") << "g/A 01/I x_y/A";
    QTest::newRow("unmatched bracket") << QByteArray("X1(OPEN END") << "X/A 1/I (OPEN END/B";
    QTest::newRow("first close ends") << QByteArray("(A(B)C)") << "(A(B)/B C/A )/S";
    QTest::newRow("quoted") << QByteArray("'IT''S' X") << "'IT''S'/Q X/A";
    QTest::newRow("open quote") << QByteArray("'OPEN (X") << "'OPEN (X/Q";
    QTest::newRow("signs") << QByteArray("#1=[#2*3];") << "#/S 1/I =/S [/S #/S 2/I */S 3/I ]/S ;/S";
    QTest::newRow("blanks only") << QByteArray(" \t ") << "";
    QTest::newRow("skip") << QByteArray("/N10 G0") << "//S N/A 10/I G/A 0/I";
    QTest::newRow("byte escape") << QByteArray("\xEF\x9E\x80X") << "\xEF\x9E\x80/D X/A";
  }
  void tokens() {
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    QCOMPARE(Describe(line.toStdString()), expected);
  }

  // Malformed UTF-8 (a cut sequence at the end, stray bytes) must be covered byte by byte,
  // never read past the line.
  void malformedBytesStayInsideTheLine() {
    const std::string line("\xFF" "A\xE3\x81", 4);
    const auto tokens = ScanNcLine(std::string_view(line.data(), line.size()));
    int covered = 0;
    for (const NcToken& t : tokens) {
      QCOMPARE(t.start, covered);
      covered += t.length;
    }
    QCOMPARE(covered, 4);
    QCOMPARE(tokens.size(), size_t{4});
    QCOMPARE(tokens[1].cls, NcTokenClass::Ank);
    for (size_t i : {0u, 2u, 3u}) QCOMPARE(tokens[i].cls, NcTokenClass::Dbcs);
  }

  void colours() {
    TNCFountain f;
    QCOMPARE(f.color(TNCFountain::StyleAnk), QColor(0x00, 0x00, 0xFF));
    QCOMPARE(f.color(TNCFountain::StyleInt), QColor(0x00, 0x00, 0x00));
    QCOMPARE(f.color(TNCFountain::StyleSymbol), QColor(0xFF, 0x00, 0xFF));
    QCOMPARE(f.color(TNCFountain::StyleReserve), QColor(0x00, 0x80, 0x00));
    QCOMPARE(f.color(TNCFountain::StyleBracket), QColor(0x80, 0x00, 0x00));
    for (int s : {TNCFountain::StyleStr, TNCFountain::StyleDbcs, TNCFountain::StyleComment}) {
      QCOMPARE(f.color(s), f.color(TNCFountain::StyleDefault));
    }
  }

  void styledInEditor() {
    TNCFountain fountain;
    NcEditor editor(nullptr);
    editor.SetLexer(&fountain);
    editor.SetText(QStringLiteral("G01X-1.5\r\n%\r\nN1(荒)荒\r\nX(OPEN\r\nG01"));
    QsciScintilla* view = editor.Widget();
    StyleAll(view);
    const struct {
      int row, col, style;
    } cases[] = {
        {0, 0, TNCFountain::StyleAnk},     {0, 1, TNCFountain::StyleInt},   {0, 4, TNCFountain::StyleSymbol},
        {0, 6, TNCFountain::StyleSymbol},  {0, 7, TNCFountain::StyleInt},   {1, 0, TNCFountain::StyleReserve},
        {2, 2, TNCFountain::StyleBracket}, {2, 6, TNCFountain::StyleBracket}, {2, 7, TNCFountain::StyleDbcs},
        {3, 5, TNCFountain::StyleBracket}, {4, 0, TNCFountain::StyleAnk},   {0, 8, TNCFountain::StyleDefault},
    };
    for (const auto& c : cases) {
      QVERIFY2(StyleAt(view, c.row, c.col) == c.style, qPrintable(QStringLiteral("%1:%2").arg(c.row).arg(c.col)));
    }
    QCOMPARE(StyleFore(view, TNCFountain::StyleAnk), QColor(0x00, 0x00, 0xFF));
    QCOMPARE(StyleFore(view, TNCFountain::StyleBracket), QColor(0x80, 0x00, 0x00));
  }

  // One scheme serves the program editor and the work buffer at once; both must be styled,
  // not only the editor that took the scheme last.
  void oneSchemeSeveralEditors() {
    TNCFountain fountain;
    NcEditor first(nullptr), second(nullptr);
    first.SetLexer(&fountain);
    second.SetLexer(&fountain);
    QsciScintilla* split = first.CreateSecondView(nullptr);
    first.SetText(QStringLiteral("G01X1\n"));
    second.SetText(QStringLiteral("M30\n"));
    for (QsciScintillaBase* view : {static_cast<QsciScintillaBase*>(first.Widget()),
                                    static_cast<QsciScintillaBase*>(second.Widget())}) {
      StyleAll(view);
      QCOMPARE(StyleAt(view, 0, 0), int(TNCFountain::StyleAnk));
      QCOMPARE(StyleAt(view, 0, 1), int(TNCFountain::StyleInt));
    }
    first.SetLine(0, QStringLiteral("%"));
    StyleAll(split);
    QCOMPARE(StyleAt(first.Widget(), 0, 0), int(TNCFountain::StyleReserve));
    QCOMPARE(split->lexer(), &fountain);
    QCOMPARE(StyleFore(split, TNCFountain::StyleAnk), QColor(0x00, 0x00, 0xFF));
    QCOMPARE(StyleFore(split, TNCFountain::StyleReserve), QColor(0x00, 0x80, 0x00));
  }

  void settersReachTheEditors() {
    TNCFountain fountain;
    NcEditor editor(nullptr);
    editor.SetLexer(&fountain);
    fountain.SetAnk(QColor(0x12, 0x34, 0x56));
    fountain.SetStr(QColor(0x00, 0x80, 0x80));
    QCOMPARE(fountain.Ank(), QColor(0x12, 0x34, 0x56));
    QCOMPARE(StyleFore(editor.Widget(), TNCFountain::StyleAnk), QColor(0x12, 0x34, 0x56));
    QCOMPARE(StyleFore(editor.Widget(), TNCFountain::StyleStr), QColor(0x00, 0x80, 0x80));
    fountain.SetStr(QColor());  // back to "none"
    QCOMPARE(fountain.color(TNCFountain::StyleStr), fountain.color(TNCFountain::StyleDefault));
  }
};

QTEST_MAIN(TestNcFountain)
#include "test_ncfountain.moc"
