#include "script/ui/TPascalFountain.h"

#include <QColor>
#include <QFont>

#include <cctype>
#include <string>

#include "script/ReservedWords.h"

namespace kelvan::script {

namespace {

// The scanner compares lower-cased words, so the list is handed over in lower case.
const std::string& LowerWordList() {
  static const std::string list = [] {
    std::string s;
    for (std::string_view w : kReservedWords) {
      if (!s.empty()) s += ' ';
      for (char c : w) s += char(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
  }();
  return list;
}

}  // namespace

TPascalFountain::TPascalFountain(QObject* parent) : QsciLexerPascal(parent) {}

const char* TPascalFountain::keywords(int set) const {
  return set == 1 ? LowerWordList().c_str() : nullptr;
}

QColor TPascalFountain::defaultColor(int style) const {
  switch (style) {
    case Comment:
    case CommentParenthesis:
    case CommentLine:
      return QColor(0, 128, 0);
    case Keyword:
      return QColor(0, 0, 128);
    case SingleQuotedString:
    case UnclosedString:
    case Character:
      return QColor(128, 0, 0);
    case Number:
    case HexNumber:
      return QColor(0, 0, 255);
    case PreProcessor:
    case PreProcessorParenthesis:
      return QColor(128, 0, 128);
    default:
      return QColor(0, 0, 0);
  }
}

QFont TPascalFountain::defaultFont(int style) const {
  QFont f = QsciLexerPascal::defaultFont(style);
  f.setItalic(false);
  return f;
}

}  // namespace kelvan::script
