#pragma once
// The colouring rule of NC text: which bytes of one line form which token. Plain C++, so
// that the rule can be checked without a widget; the lexer turns the tokens into styles.

#include <cstdint>
#include <string_view>
#include <vector>

namespace kelvan::highlight {

// Token classes of the NC scheme. Spaces and tabs form no token and keep the editor's
// default look. Comment exists as a property of the scheme but no NC text produces it:
// parenthesised remarks are brackets.
enum class NcTokenClass : uint8_t { Ank, Int, Symbol, Reserve, Bracket, Str, Dbcs, Comment };

struct NcToken {
  int start = 0;   // byte offset into the line
  int length = 0;  // bytes
  NcTokenClass cls = NcTokenClass::Symbol;
  bool operator==(const NcToken&) const = default;
};

// Splits one line (UTF-8 bytes without the line end) into its tokens, in order, replacing
// the contents of out (its capacity is reused, which matters when styling a million
// lines). Every line is scanned on its own: an unmatched "(" colours to the end of its line
// only, so that an edit never has to restyle the lines below it.
void ScanNcLine(std::string_view line, std::vector<NcToken>& out);
std::vector<NcToken> ScanNcLine(std::string_view line);

}  // namespace kelvan::highlight
