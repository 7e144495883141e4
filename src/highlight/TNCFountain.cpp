#include "highlight/TNCFountain.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kelvan::highlight {
namespace {

using Sci = QsciScintillaBase;

// Styles go to Scintilla in pieces of about this many bytes, so that styling a whole large
// program at once (a jump to its end) needs no second buffer of its size.
constexpr size_t kChunkBytes = size_t{1} << 20;

// End of the line that starts at i (first CR or LF, or n) and the start of the next one,
// with the line ends Scintilla knows: LF, CR LF and a bare CR.
void FindLine(const char* text, size_t i, size_t n, size_t& lineEnd, size_t& next) {
  const char* p = std::find_if(text + i, text + n, [](char c) { return c == '\n' || c == '\r'; });
  lineEnd = static_cast<size_t>(p - text);
  next = lineEnd;
  if (next < n) next += (text[next] == '\r' && next + 1 < n && text[next + 1] == '\n') ? 2 : 1;
}

}  // namespace

TNCFountain::TNCFountain(QObject* parent) : QsciLexerCustom(parent) {
  // The main window's scheme; the classes left invalid take the editor's default colour.
  colors_[StyleAnk] = QColor(0x00, 0x00, 0xFF);      // blue
  colors_[StyleInt] = QColor(0x00, 0x00, 0x00);      // black
  colors_[StyleSymbol] = QColor(0xFF, 0x00, 0xFF);   // fuchsia
  colors_[StyleReserve] = QColor(0x00, 0x80, 0x00);  // green
  colors_[StyleBracket] = QColor(0x80, 0x00, 0x00);  // maroon
}

int TNCFountain::StyleOf(NcTokenClass cls) {
  switch (cls) {
    case NcTokenClass::Ank: return StyleAnk;
    case NcTokenClass::Int: return StyleInt;
    case NcTokenClass::Symbol: return StyleSymbol;
    case NcTokenClass::Reserve: return StyleReserve;
    case NcTokenClass::Bracket: return StyleBracket;
    case NcTokenClass::Str: return StyleStr;
    case NcTokenClass::Dbcs: return StyleDbcs;
    case NcTokenClass::Comment: return StyleComment;
  }
  return StyleDefault;
}

const char* TNCFountain::language() const { return "NC"; }

QString TNCFountain::description(int style) const {
  switch (style) {
    case StyleDefault: return QStringLiteral("Default");
    case StyleComment: return QStringLiteral("Comment");
    case StyleAnk: return QStringLiteral("Ank");
    case StyleInt: return QStringLiteral("Int");
    case StyleSymbol: return QStringLiteral("Symbol");
    case StyleReserve: return QStringLiteral("Reserve");
    case StyleStr: return QStringLiteral("Str");
    case StyleDbcs: return QStringLiteral("DBCS");
    case StyleBracket: return QStringLiteral("Bracket");
    default: return {};
  }
}

QColor TNCFountain::defaultColor(int style) const {
  if (style > StyleDefault && style < StyleCount && colors_[style].isValid()) return colors_[style];
  return QsciLexer::defaultColor();
}

void TNCFountain::SetClassColor(int style, const QColor& c) {
  colors_[style] = c;
  setColor(defaultColor(style), style);  // tells every editor showing the scheme
}

void TNCFountain::styleText(int start, int end) { StyleLines(editor(), start, end); }

void TNCFountain::setEditor(QsciScintilla* editor) { QsciLexer::setEditor(editor); }

void TNCFountain::StyleNeeded(QsciScintillaBase* view, int pos) {
  const long endStyled = view->SendScintilla(Sci::SCI_GETENDSTYLED);
  const long line = view->SendScintilla(Sci::SCI_LINEFROMPOSITION, endStyled);
  const long start = view->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
  if (start < pos) StyleLines(view, static_cast<int>(start), pos);
}

void TNCFountain::StyleLines(QsciScintillaBase* view, int start, int end) {
  if (view == nullptr) return;
  const long length = view->SendScintilla(Sci::SCI_GETLENGTH);
  const long firstLine = view->SendScintilla(Sci::SCI_LINEFROMPOSITION, start);
  const long from = view->SendScintilla(Sci::SCI_POSITIONFROMLINE, firstLine);
  const long lastLine = view->SendScintilla(Sci::SCI_LINEFROMPOSITION, std::max<long>(end - 1, from));
  long to = view->SendScintilla(Sci::SCI_POSITIONFROMLINE, lastLine + 1);
  if (to < 0 || to > length) to = length;
  if (from < 0 || from >= to) return;

  const size_t n = static_cast<size_t>(to - from);
  // The range pointer moves Scintilla's gap out of [from, to) at most; styling writes only
  // style bytes, so the pointer stays valid through the loop.
  const char* text = reinterpret_cast<const char*>(
      view->SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), static_cast<long>(n)));
  if (text == nullptr) return;

  view->SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(from));
  std::vector<char> styles;
  styles.reserve(std::min(n, kChunkBytes + 4096));
  std::vector<NcToken> tokens;
  size_t i = 0;
  while (i < n) {
    size_t lineEnd = 0, next = 0;
    FindLine(text, i, n, lineEnd, next);
    const size_t base = styles.size();
    styles.resize(base + (next - i), static_cast<char>(StyleDefault));
    ScanNcLine(std::string_view(text + i, lineEnd - i), tokens);
    for (const NcToken& t : tokens) {
      std::memset(styles.data() + base + static_cast<size_t>(t.start), StyleOf(t.cls),
                  static_cast<size_t>(t.length));
    }
    i = next;
    if (styles.size() >= kChunkBytes || i == n) {
      view->SendScintilla(Sci::SCI_SETSTYLINGEX, static_cast<uintptr_t>(styles.size()),
                          static_cast<const char*>(styles.data()));
      styles.clear();
    }
  }
}

}  // namespace kelvan::highlight
