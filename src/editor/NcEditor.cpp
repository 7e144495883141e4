#include "editor/NcEditor.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QPointer>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "editor/CaretLineUnderline.h"
#include "editor/EditorLineSource.h"
#include "editor/EditorSearch.h"
#include "editor/RowMarkImage.h"
#include "highlight/TNCFountain.h"
#include "nc/Cp932.h"

namespace kelvan::editor {
namespace {

using Sci = QsciScintillaBase;

constexpr int kLineNumberMargin = 0;
constexpr int kRowMarkMargin = 1;
// Styles that SetFont sets: those of any lexer in the program and Scintilla's predefined
// ones (32 to 39).
constexpr int kFontStyles = 64;

int EolModeOf(nc::LineEnd end) {
  switch (end) {
    case nc::LineEnd::CrLf: return Sci::SC_EOL_CRLF;
    case nc::LineEnd::Cr: return Sci::SC_EOL_CR;
    default: return Sci::SC_EOL_LF;
  }
}

int Digits(long n) {
  int digits = 1;
  for (; n >= 10; n /= 10) ++digits;
  return digits;
}

}  // namespace

struct NcEditor::Impl {
  NcEditor* owner;
  QPointer<QsciScintilla> main;
  QPointer<QsciScintilla> second;
  bool secondFocused = false;  // the second view had the focus last
  EditorLineSource source;
  QPointer<QsciLexer> lexer;
  std::optional<QFont> font;
  nc::TextEncoding encoding = nc::TextEncoding::Cp932;
  bool bom = false;
  bool forcedModified = false;
  bool quiet = false;  // a text set by the program, not an edit: no TextChanged
  bool lastModified = false;
  bool lineNumbers = false;
  bool hScrollBar = true;
  bool caretUnderline = false;
  bool overwrite = false;
  bool applyingLexer = false;
  int numberDigits = 0;
  QString searchText;  // the search given last, for FindAgain
  int searchOptions = 0;
  // Last caret reported per view (main, second), so that CaretMoved fires on moves only.
  std::array<std::pair<int, int>, 2> lastCaret{{{-1, -1}, {-1, -1}}};
  std::array<QPointer<CaretLineUnderline>, 2> underlines;  // per view (main, second)

  Impl(NcEditor* o, QWidget* parent)
      : owner(o), main(new QsciScintilla(parent)), source(main) {}

  // The view the user worked in last; the main view when the second one is gone.
  QsciScintilla* Focused() const { return secondFocused && second ? second.data() : main.data(); }

  long Send(unsigned int msg, unsigned long w = 0, long l = 0) const { return main->SendScintilla(msg, w, l); }
  long Length() const { return Send(Sci::SCI_GETLENGTH); }
  long LineStart(long line) const { return Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)); }
  long LineEnd(long line) const { return Send(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line)); }
  long SciLines() const { return Send(Sci::SCI_GETLINECOUNT); }
  bool EndsWithLineEnd() const {
    const long n = Length();
    if (n == 0) return false;
    const char c = static_cast<char>(Send(Sci::SCI_GETCHARAT, static_cast<unsigned long>(n - 1)));
    return c == '\n' || c == '\r';
  }
  std::string Eol() const {
    switch (Send(Sci::SCI_GETEOLMODE)) {
      case Sci::SC_EOL_CRLF: return "\r\n";
      case Sci::SC_EOL_CR: return "\r";
      default: return "\n";
    }
  }
  std::string_view Range(QsciScintillaBase* view, long from, long to) const {
    if (to <= from) return {};
    const auto* p = reinterpret_cast<const char*>(
        view->SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
    return p ? std::string_view(p, static_cast<size_t>(to - from)) : std::string_view();
  }
  std::vector<QsciScintilla*> Views() const {
    std::vector<QsciScintilla*> views;
    if (main) views.push_back(main);
    if (second) views.push_back(second);
    return views;
  }

  void Replace(long from, long to, std::string_view bytes) {
    Send(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    // Scintilla insists on a pointer even for no text.
    main->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()),
                        bytes.empty() ? "" : bytes.data());
  }
  // Replaces the whole text as one undo step. Marks belong to the old lines; Scintilla
  // would fold them into the first line, so they go.
  void ReplaceAll(std::string_view bytes) {
    Send(Sci::SCI_MARKERDELETEALL, static_cast<unsigned long>(-1));
    WholeText([&] {
      Send(Sci::SCI_BEGINUNDOACTION);
      Replace(0, Length(), bytes);
      Send(Sci::SCI_ENDUNDOACTION);
    });
  }
  // Sets the whole text without an undo record (the marks go with the old lines), in a
  // buffer with room for the text at once and `room` bytes more.
  void SetWithoutUndo(std::string_view utf8, unsigned long room) {
    Send(Sci::SCI_SETUNDOCOLLECTION, 0);
    Send(Sci::SCI_MARKERDELETEALL, static_cast<unsigned long>(-1));
    WholeText([&] {
      Send(Sci::SCI_CLEARALL);
      Send(Sci::SCI_ALLOCATE, static_cast<unsigned long>(utf8.size()) + room);
      main->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.empty() ? "" : utf8.data());
    });
    Send(Sci::SCI_SETUNDOCOLLECTION, 1);
    Send(Sci::SCI_EMPTYUNDOBUFFER);
  }
  // Runs a change of the whole text with Scintilla's change notifications off in every
  // view: for each of them QScintilla would turn the whole inserted text into a QString
  // (for accessibility), a tenth of a second per 25 MB. What the notifications are used
  // for here follows once: the number margin and TextChanged (unless quiet).
  template <class Change>
  void WholeText(Change&& change) {
    Silently(change);
    Changed();
  }
  // Runs changes with the change notifications off in every view. Besides the QString
  // above, QScintilla counts the characters from the top of the text to every change (for
  // accessibility): a replace-all over a large text would take quadratic time.
  template <class Change>
  void Silently(Change&& change) {
    std::vector<std::pair<QsciScintilla*, long>> masks;
    for (QsciScintilla* view : Views()) {
      masks.emplace_back(view, view->SendScintilla(Sci::SCI_GETMODEVENTMASK));
      view->SendScintilla(Sci::SCI_SETMODEVENTMASK, 0ul);
    }
    change();
    for (const auto& [view, mask] : masks) view->SendScintilla(Sci::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
  }
  // What the notifications are used for, after silent changes.
  void Changed() {
    UpdateNumberMargin(false);
    if (!quiet) emit owner->TextChanged();
  }

  void SetUpView(QsciScintilla* view);
  void ApplyLexer(QsciScintilla* view);
  void ApplyFont(QsciScintilla* view);
  void UpdateNumberMargin(bool force);
  void CheckCaret(QsciScintilla* view);
  void UpdateModified();
};

void NcEditor::Impl::SetUpView(QsciScintilla* view) {
  view->setUtf8(true);
  view->setIndentationsUseTabs(false);
  view->setTabWidth(2);
  view->setOverwriteMode(overwrite);
  view->SendScintilla(Sci::SCI_SETHSCROLLBAR, static_cast<unsigned long>(hScrollBar));
  view->setMarginType(kLineNumberMargin, QsciScintilla::NumberMargin);
  view->setMarginMarkerMask(kLineNumberMargin, 0);
  view->setMarginType(kRowMarkMargin, QsciScintilla::SymbolMargin);
  view->setMarginWidth(kRowMarkMargin, kRowMarkSize);
  view->setMarginMarkerMask(kRowMarkMargin, kRowMarkMask);
  view->setMarginSensitivity(kRowMarkMargin, false);
  for (int m = 2; m < 5; ++m) view->setMarginWidth(m, 0);
  for (nc::RowMark mark : {nc::MarkBlockSkip, nc::MarkM00, nc::MarkM01}) view->markerDefine(RowMarkImage(mark), mark);
  ApplyLexer(view);
  auto* underline = new CaretLineUnderline(view);
  underline->SetEnabled(caretUnderline);
  underlines[view == main ? 0 : 1] = underline;

  connect(view, &QsciScintillaBase::SCN_UPDATEUI, owner, [this, view](int) { CheckCaret(view); });
  connect(view, &QsciScintillaBase::SCN_FOCUSIN, owner, [this, view] { secondFocused = view != main; });
  connect(view, &QsciScintillaBase::SCN_DOUBLECLICK, owner, [this](int, int, int) { emit owner->DoubleClicked(); });
  // The NC scheme serves several editors, so each view hands it its own style requests.
  connect(view, &QsciScintillaBase::SCN_STYLENEEDED, owner, [this, view](int pos) {
    if (applyingLexer) return;
    if (auto* fountain = qobject_cast<highlight::TNCFountain*>(lexer.data())) fountain->StyleNeeded(view, pos);
  });
}

void NcEditor::Impl::ApplyLexer(QsciScintilla* view) {
  // Taking a lexer asks for the whole document to be coloured at once: seconds on a
  // large program. That request is let pass; the document is then marked unstyled and
  // Scintilla asks again for what it shows.
  applyingLexer = true;
  view->setLexer(lexer.data());
  applyingLexer = false;
  ApplyFont(view);
}

void NcEditor::Impl::ApplyFont(QsciScintilla* view) {
  if (!font) return;
  // Straight to the view's styles (the line numbers' among them): the scheme is shared,
  // and its fonts would change the other editors as well. QScintilla's own font setters
  // take the point size as given, which is -1 for a font sized in pixels, so the size is
  // the resolved one. The resolved family also keeps the name real.
  const QFontInfo info(*font);
  const QByteArray family = info.family().toUtf8();
  const long size = static_cast<long>(info.pointSizeF() * static_cast<int>(Sci::SC_FONT_SIZE_MULTIPLIER));
  for (unsigned long s = 0; s < kFontStyles; ++s) {
    view->SendScintilla(Sci::SCI_STYLESETFONT, s, family.constData());
    view->SendScintilla(Sci::SCI_STYLESETSIZEFRACTIONAL, s, size);
    view->SendScintilla(Sci::SCI_STYLESETBOLD, s, static_cast<long>(info.bold()));
    view->SendScintilla(Sci::SCI_STYLESETITALIC, s, static_cast<long>(info.italic()));
  }
  numberDigits = 0;  // the number margin's width depends on the font
}

void NcEditor::Impl::UpdateNumberMargin(bool force) {
  const int digits = Digits(SciLines());
  if (!force && digits == numberDigits) return;
  numberDigits = digits;
  for (QsciScintilla* view : Views()) {
    view->setMarginLineNumbers(kLineNumberMargin, lineNumbers);
    if (lineNumbers) {
      view->setMarginWidth(kLineNumberMargin, QString(digits + 1, QLatin1Char('9')));
    } else {
      view->setMarginWidth(kLineNumberMargin, 0);
    }
  }
}

void NcEditor::Impl::CheckCaret(QsciScintilla* view) {
  const long pos = view->SendScintilla(Sci::SCI_GETCURRENTPOS);
  const long line = view->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
  const long col = pos - view->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
  auto& last = lastCaret[view == main ? 0 : 1];
  const std::pair<int, int> now{static_cast<int>(line), static_cast<int>(col)};
  if (now == last) return;
  last = now;
  if (CaretLineUnderline* line = underlines[view == main ? 0 : 1]) line->Reposition();
  emit owner->CaretMoved(now.first, now.second);
}

void NcEditor::Impl::UpdateModified() {
  const bool modified = forcedModified || Send(Sci::SCI_GETMODIFY) != 0;
  if (modified == lastModified) return;
  lastModified = modified;
  emit owner->ModificationChanged(modified);
}

// --- construction ------------------------------------------------------------------------

NcEditor::NcEditor(QWidget* parent) : QObject(parent), d_(std::make_unique<Impl>(this, parent)) {
  QsciScintilla* main = d_->main;
  d_->SetUpView(main);
  // A text never loaded is a new Windows-style program: CR LF.
  main->SendScintilla(Sci::SCI_SETEOLMODE, static_cast<unsigned long>(Sci::SC_EOL_CRLF));
  d_->UpdateNumberMargin(true);
  // Every view on the document reports every change; the main view is always there.
  connect(main, &QsciScintilla::textChanged, this, [this] {
    d_->UpdateNumberMargin(false);
    if (!d_->quiet) emit TextChanged();
  });
  connect(main, &QsciScintilla::modificationChanged, this, [this](bool) { d_->UpdateModified(); });
}

NcEditor::~NcEditor() {
  // The views usually belong to the caller's layout by now and may outlive this object;
  // they must not call back into it. Views nobody took over go with the editor.
  for (QsciScintilla* view : d_->Views()) {
    view->disconnect(this);
    if (view->parent() == nullptr) delete view;
  }
}

QsciScintilla* NcEditor::Widget() const { return d_->main; }

// --- files ---------------------------------------------------------------------------------

bool NcEditor::LoadFile(const QString& path, QString& error) {
  nc::DecodedText text;
  std::string message;
  if (!nc::ReadDecodedText(QFile::encodeName(path).toStdString(), text, message)) {
    error = QString::fromLocal8Bit(message.c_str());
    return false;
  }
  LoadDecoded(text);
  return true;
}

void NcEditor::LoadDecoded(const nc::DecodedText& text) {
  const std::string_view utf8 = text.Utf8 ? text.Utf8->Bytes() : std::string_view();
  const bool readOnly = d_->Send(Sci::SCI_GETREADONLY) != 0;
  d_->Send(Sci::SCI_SETREADONLY, 0);
  // Loading is not an edit: no undo record (it would copy the whole text once more). Room
  // for typing after the text: a buffer without room is copied whole at the first
  // keystroke. It is kept small, as its memory is first touched by that keystroke.
  d_->SetWithoutUndo(utf8, 1 << 20);
  d_->Send(Sci::SCI_SETEOLMODE, static_cast<unsigned long>(EolModeOf(text.NewLineEnd)));
  d_->Send(Sci::SCI_SETREADONLY, static_cast<unsigned long>(readOnly));
  d_->encoding = text.Encoding;
  d_->bom = text.Bom;
  d_->forcedModified = false;
  d_->Send(Sci::SCI_SETSAVEPOINT);
  // Clearing put every caret at the top already. Moving a caret there explicitly would lay
  // out the first line now and again at the first paint, which costs seconds when that
  // line is megabytes long (a binary file).
  for (QsciScintilla* view : d_->Views()) {
    view->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, 0ul);
    view->SendScintilla(Sci::SCI_SETXOFFSET, 0ul);
  }
  d_->UpdateModified();
}

bool NcEditor::SaveFile(const QString& path, QString& error, bool* lossy) const {
  const auto* text = static_cast<const char*>(d_->main->SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
  const std::string_view utf8(text ? text : "", static_cast<size_t>(d_->Length()));
  std::string bytes = nc::EncodeFromUtf8(utf8, d_->encoding, lossy);
  if (d_->bom) bytes.insert(0, nc::kUtf8Bom);
  std::string message;
  if (!nc::WriteFileAtomically(QFile::encodeName(path).toStdString(), bytes, message)) {
    error = QString::fromLocal8Bit(message.c_str());
    return false;
  }
  return true;
}

nc::TextEncoding NcEditor::Encoding() const { return d_->encoding; }

// --- lines ---------------------------------------------------------------------------------

int NcEditor::LineCount() const { return d_->source.LineCount(); }

QString NcEditor::Line(int row) const {
  const std::string_view line = d_->source.Line(row);
  return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

void NcEditor::SetLine(int row, const QString& text) {
  if (row < 0 || row >= LineCount()) return;
  d_->Replace(d_->LineStart(row), d_->LineEnd(row), text.toUtf8().toStdString());
}

void NcEditor::InsertLine(int row, const QString& text) {
  const std::string bytes = text.toUtf8().toStdString();
  const int count = LineCount();
  if (row < count) {
    const long at = d_->LineStart(std::max(row, 0));
    d_->Replace(at, at, bytes + d_->Eol());
    return;
  }
  // Appending keeps the text's ending: after a final line end the new line gets one too;
  // a text without a final line end stays without one.
  const long end = d_->Length();
  if (end == 0 || d_->EndsWithLineEnd()) {
    d_->Replace(end, end, bytes + d_->Eol());
  } else {
    d_->Replace(end, end, d_->Eol() + bytes);
  }
}

void NcEditor::DeleteLine(int row) {
  const int count = LineCount();
  if (row < 0 || row >= count) return;
  // The following line moves up into this row; it must not inherit this row's marks.
  ClearRowMarks(row);
  const long start = d_->LineStart(row);
  const long next = d_->LineStart(row + 1);
  if (next < 0 || next > d_->Length() || (row == count - 1 && d_->LineEnd(row) == d_->Length())) {
    // The last line without a line end: the line end before it goes instead, so the text
    // still ends without one.
    d_->Replace(row > 0 ? d_->LineEnd(row - 1) : start, d_->Length(), {});
  } else {
    d_->Replace(start, next, {});
  }
}

void NcEditor::SetLines(const QStringList& lines) {
  // A text that ended with a line end (or a new, empty one) keeps ending with one.
  const bool finalEnd = d_->Length() == 0 || d_->EndsWithLineEnd();
  const std::string eol = d_->Eol();
  std::string bytes;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    bytes += lines[i].toUtf8().toStdString();
    if (i + 1 < lines.size() || finalEnd) bytes += eol;
  }
  d_->ReplaceAll(bytes);
}

QStringList NcEditor::Lines() const {
  QStringList lines;
  const int count = LineCount();
  lines.reserve(count);
  for (int i = 0; i < count; ++i) lines.push_back(Line(i));
  return lines;
}

void NcEditor::Clear() { d_->ReplaceAll({}); }

QString NcEditor::Text() const {
  const std::string_view text = d_->Range(d_->main, 0, d_->Length());
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void NcEditor::SetText(const QString& text) { d_->ReplaceAll(text.toUtf8().toStdString()); }

void NcEditor::ReplaceTextUtf8(std::string_view utf8) { d_->ReplaceAll(utf8); }

std::string_view NcEditor::TextUtf8() const { return d_->Range(d_->main, 0, d_->Length()); }

void NcEditor::SetWorkText(std::string_view utf8) {
  // No undo record: it would keep a copy of both the old and the new text.
  d_->quiet = true;
  d_->SetWithoutUndo(utf8, 1 << 16);
  d_->forcedModified = false;
  d_->Send(Sci::SCI_SETSAVEPOINT);
  d_->UpdateModified();
  d_->quiet = false;
}

std::string NcEditor::LineEnd() const { return d_->Eol(); }

bool NcEditor::EndsWithLineEnd() const { return d_->EndsWithLineEnd(); }

void NcEditor::InsertText(int row, const QString& text) {
  std::string bytes = text.toUtf8().toStdString();
  long at;
  if (row < d_->SciLines()) {
    at = d_->LineStart(std::max(row, 0));
  } else {
    at = d_->Length();
    // Past the last line of a text without a final line end: start a line of its own.
    if (at > 0 && !d_->EndsWithLineEnd()) bytes.insert(0, d_->Eol());
  }
  d_->Replace(at, at, bytes);
}

const nc::LineSource& NcEditor::Source() const { return d_->source; }

std::shared_ptr<const nc::NcText> NcEditor::Snapshot() const {
  const long length = d_->Length();
  std::string bytes(static_cast<size_t>(length), '\0');
  // The range copy reads both sides of the buffer's gap without moving it.
  if (length > 0) d_->main->SendScintilla(Sci::SCI_GETTEXTRANGE, 0L, length, bytes.data());
  return std::make_shared<const nc::NcText>(nc::NcText::FromBytes(std::move(bytes), nc::TextEncoding::Utf8));
}

// --- row marks -----------------------------------------------------------------------------

void NcEditor::SetRowMark(int row, nc::RowMark mark) {
  if (row < 0 || row >= LineCount() || mark < nc::MarkBlockSkip || mark > nc::MarkM01) return;
  if (!HasRowMark(row, mark)) d_->Send(Sci::SCI_MARKERADD, static_cast<unsigned long>(row), static_cast<long>(mark));
}

void NcEditor::ClearRowMarks(int row) {
  if (row < 0) return;
  const auto line = static_cast<unsigned long>(row);
  // A mark can be added twice through the second view; delete until none is left.
  long marks = d_->Send(Sci::SCI_MARKERGET, line) & kRowMarkMask;
  while (marks != 0) {
    for (int m = nc::MarkBlockSkip; m <= nc::MarkM01; ++m) {
      if (marks & (1 << m)) d_->Send(Sci::SCI_MARKERDELETE, line, static_cast<long>(m));
    }
    marks = d_->Send(Sci::SCI_MARKERGET, line) & kRowMarkMask;
  }
}

bool NcEditor::HasRowMark(int row, nc::RowMark mark) const {
  if (row < 0) return false;
  return (d_->Send(Sci::SCI_MARKERGET, static_cast<unsigned long>(row)) >> mark) & 1;
}

void NcEditor::ApplyRowMarks(const nc::RowMarks& marks) {
  for (int m = nc::MarkBlockSkip; m <= nc::MarkM01; ++m) d_->Send(Sci::SCI_MARKERDELETEALL, static_cast<unsigned long>(m));
  const int count = LineCount();
  marks.ForEach([&](int32_t line, uint8_t bits) {
    if (line >= count) return;
    // Scintilla's marker numbers are the marks themselves: bit b is mark 10 + b.
    d_->Send(Sci::SCI_MARKERADDSET, static_cast<unsigned long>(line), static_cast<long>(bits) << nc::MarkBlockSkip);
  });
}

// --- caret and selection -------------------------------------------------------------------

int NcEditor::CaretRow() const {
  QsciScintilla* view = d_->Focused();
  const long pos = view->SendScintilla(Sci::SCI_GETCURRENTPOS);
  return static_cast<int>(view->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos)));
}

int NcEditor::CaretCol() const {
  QsciScintilla* view = d_->Focused();
  const long pos = view->SendScintilla(Sci::SCI_GETCURRENTPOS);
  const long line = view->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
  return static_cast<int>(pos - view->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
}

void NcEditor::SetCaret(int row, int col) {
  QsciScintilla* view = d_->Focused();
  const long line = std::clamp<long>(row, 0, d_->SciLines() - 1);
  const long start = d_->LineStart(line);
  long pos = start + std::clamp<long>(col, 0, d_->LineEnd(line) - start);
  // Never inside a character: back to the start of the UTF-8 sequence.
  while (pos > start && (d_->Send(Sci::SCI_GETCHARAT, static_cast<unsigned long>(pos)) & 0xC0) == 0x80) --pos;
  view->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(pos));
  d_->CheckCaret(view);
}

bool NcEditor::HasSelection() const {
  QsciScintilla* view = d_->Focused();
  return view->SendScintilla(Sci::SCI_GETSELECTIONSTART) != view->SendScintilla(Sci::SCI_GETSELECTIONEND);
}

QString NcEditor::SelectedText() const {
  QsciScintilla* view = d_->Focused();
  const std::string_view text = d_->Range(view, view->SendScintilla(Sci::SCI_GETSELECTIONSTART),
                                          view->SendScintilla(Sci::SCI_GETSELECTIONEND));
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void NcEditor::ClearSelection() {
  QsciScintilla* view = d_->Focused();
  view->SendScintilla(Sci::SCI_SETEMPTYSELECTION,
                      static_cast<unsigned long>(view->SendScintilla(Sci::SCI_GETCURRENTPOS)));
}

void NcEditor::SelectWordAtCaret() {
  QsciScintilla* view = d_->Focused();
  const auto pos = static_cast<unsigned long>(view->SendScintilla(Sci::SCI_GETCURRENTPOS));
  const long start = view->SendScintilla(Sci::SCI_WORDSTARTPOSITION, pos, 1l);
  const long end = view->SendScintilla(Sci::SCI_WORDENDPOSITION, pos, 1l);
  if (start < end) view->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(start), end);
  d_->CheckCaret(view);
}

// --- state ---------------------------------------------------------------------------------

bool NcEditor::IsModified() const { return d_->forcedModified || d_->Send(Sci::SCI_GETMODIFY) != 0; }

void NcEditor::SetModified(bool modified) {
  // Scintilla knows "modified" only as "not at the save point"; a text that the program
  // declares modified without an edit (after a conversion, say) is remembered here.
  d_->forcedModified = modified;
  if (!modified) d_->Send(Sci::SCI_SETSAVEPOINT);
  d_->UpdateModified();
}

bool NcEditor::IsOverwrite() const { return d_->Focused()->overwriteMode(); }

void NcEditor::SetOverwrite(bool overwrite) {
  d_->overwrite = overwrite;
  for (QsciScintilla* view : d_->Views()) view->setOverwriteMode(overwrite);
}

void NcEditor::SetReadOnly(bool readOnly) {
  for (QsciScintilla* view : d_->Views()) view->setReadOnly(readOnly);
}

// --- commands ------------------------------------------------------------------------------

// Silently: an undo may put back a whole text (a replace-all, a conversion) or many
// changes at once, which the notifications would copy and count (see Silently).
void NcEditor::Undo() {
  if (!CanUndo()) return;
  d_->Silently([this] { d_->Focused()->undo(); });
  d_->Changed();
}

void NcEditor::Redo() {
  if (!CanRedo()) return;
  d_->Silently([this] { d_->Focused()->redo(); });
  d_->Changed();
}

bool NcEditor::CanUndo() const { return d_->Send(Sci::SCI_CANUNDO) != 0; }
bool NcEditor::CanRedo() const { return d_->Send(Sci::SCI_CANREDO) != 0; }
void NcEditor::Cut() { d_->Focused()->cut(); }
void NcEditor::Copy() { d_->Focused()->copy(); }
void NcEditor::Paste() { d_->Focused()->paste(); }

void NcEditor::ScrollLines(int lines) {
  d_->Focused()->SendScintilla(Sci::SCI_LINESCROLL, 0ul, static_cast<long>(lines));
}

void NcEditor::SetFocus() { d_->Focused()->setFocus(); }

// --- look ----------------------------------------------------------------------------------

void NcEditor::SetLexer(QsciLexer* lexer) {
  d_->lexer = lexer;
  for (QsciScintilla* view : d_->Views()) d_->ApplyLexer(view);
  d_->UpdateNumberMargin(true);
}

void NcEditor::SetFont(const QFont& font) {
  d_->font = font;
  for (QsciScintilla* view : d_->Views()) d_->ApplyFont(view);
  d_->UpdateNumberMargin(true);
}

void NcEditor::SetLineNumbers(bool on) {
  d_->lineNumbers = on;
  d_->UpdateNumberMargin(true);
}

void NcEditor::SetHorizontalScrollBar(bool on) {
  d_->hScrollBar = on;
  for (QsciScintilla* view : d_->Views()) view->SendScintilla(Sci::SCI_SETHSCROLLBAR, static_cast<unsigned long>(on));
}

void NcEditor::SetCaretLineUnderline(bool on) {
  d_->caretUnderline = on;
  for (CaretLineUnderline* line : d_->underlines) {
    if (line) line->SetEnabled(on);
  }
}

// --- split view ----------------------------------------------------------------------------

QsciScintilla* NcEditor::CreateSecondView(QWidget* parent) {
  if (d_->second) return d_->second;
  auto* view = new QsciScintilla(parent);
  d_->second = view;
  // Set up on the view's own empty document first: taking a lexer colours the whole
  // document, which on a large program would cost a second or so and restart its styling.
  d_->SetUpView(view);
  view->setDocument(d_->main->document());
  d_->UpdateNumberMargin(true);
  d_->lastCaret[1] = {-1, -1};
  view->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                      static_cast<unsigned long>(d_->Send(Sci::SCI_GETFIRSTVISIBLELINE)));
  return view;
}

void NcEditor::RemoveSecondView() {
  if (!d_->second) return;
  d_->secondFocused = false;
  delete d_->second.data();
}

QsciScintilla* NcEditor::SecondView() const { return d_->second; }

QsciScintilla* NcEditor::FocusedView() const { return d_->Focused(); }

// --- search --------------------------------------------------------------------------------

bool NcEditor::FindNext(const QString& text, int options, bool forward) {
  d_->searchText = text;
  d_->searchOptions = options;
  QsciScintilla* view = d_->Focused();
  const EditorSearch search(view, text, options);
  if (search.IsEmpty()) return false;
  const EditorSearch::Match m =
      forward ? search.FindForward(view->SendScintilla(Sci::SCI_GETSELECTIONEND))
              : search.Find(view->SendScintilla(Sci::SCI_GETSELECTIONSTART), 0);
  if (!m.Found()) return false;
  view->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(m.start), m.end);
  d_->CheckCaret(view);
  return true;
}

bool NcEditor::FindAgain(bool forward) { return FindNext(d_->searchText, d_->searchOptions, forward); }

QString NcEditor::SearchText() const { return d_->searchText; }

int NcEditor::SearchOptions() const { return d_->searchOptions; }

bool NcEditor::ReplaceAndFindNext(const QString& text, const QString& replacement, int options) {
  QsciScintilla* view = d_->Focused();
  const EditorSearch search(view, text, options);
  if (search.IsEmpty()) return false;
  const long start = view->SendScintilla(Sci::SCI_GETSELECTIONSTART);
  const long end = view->SendScintilla(Sci::SCI_GETSELECTIONEND);
  if (start < end && search.IsMatch(start, end)) {
    const long after = search.Replace(replacement);
    view->SendScintilla(Sci::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(after));
  }
  return FindNext(text, options, true);
}

// The matches are gathered in the text as it is and the text from the first to the end of
// the last is then replaced once, as one change: a million replacements one by one would
// cost Scintilla seconds in bookkeeping (undo records, line positions, views). Every
// match is thus found in the original text, its context ("^", "\\b") included.
int NcEditor::ReplaceAll(const QString& text, const QString& replacement, int options, bool fromCaret,
                         const std::function<bool()>& keepGoing) {
  d_->searchText = text;
  d_->searchOptions = options;
  QsciScintilla* view = d_->Focused();
  const EditorSearch search(view, text, options);
  if (search.IsEmpty() || view->isReadOnly()) return 0;
  const QByteArray with = replacement.toUtf8();
  const std::string_view withBytes(with.constData(), static_cast<size_t>(with.size()));
  // Only a regular expression's replacement differs from match to match.
  const bool literal = (options & SearchRegExp) == 0;
  const long length = view->SendScintilla(Sci::SCI_GETLENGTH);
  const bool endsWithLineEnd = d_->EndsWithLineEnd();
  // From the caret means from the start of the selection, so that a match just found and
  // selected is replaced too.
  long pos = fromCaret ? view->SendScintilla(Sci::SCI_GETSELECTIONSTART) : 0;
  std::vector<std::pair<long, long>> matches;
  std::vector<std::string> expansions;
  for (;;) {
    const EditorSearch::Match m = search.Find(pos, length);
    if (!m.Found()) break;
    // The empty place after a final line end is where the caret can stand, not a line:
    // "^" must not add a line there.
    if (m.Empty() && m.start == length && endsWithLineEnd) break;
    matches.emplace_back(m.start, m.end);
    if (!literal) expansions.push_back(search.Expansion(withBytes));
    // After an empty match the search moves on by a character, or it would match there again.
    pos = m.end;
    if (m.Empty()) {
      if (pos >= length) break;
      pos = search.After(pos);
    }
    if (keepGoing && !keepGoing()) break;
  }
  if (!matches.empty()) {
    const long first = matches.front().first;
    const long last = matches.back().second;
    const std::string_view original = d_->Range(view, first, last);
    std::string out;
    out.reserve(original.size() + matches.size() * withBytes.size());
    long copied = first;
    for (size_t i = 0; i < matches.size(); ++i) {
      out.append(original.substr(static_cast<size_t>(copied - first), static_cast<size_t>(matches[i].first - copied)));
      out += literal ? withBytes : std::string_view(expansions[i]);
      copied = matches[i].second;
    }
    view->SendScintilla(Sci::SCI_BEGINUNDOACTION);
    d_->Silently([&] {
      view->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(first), last);
      view->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(out.size()), out.c_str());
    });
    view->SendScintilla(Sci::SCI_ENDUNDOACTION);
    d_->Changed();
    view->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(first + static_cast<long>(out.size())));
  }
  d_->CheckCaret(view);
  return static_cast<int>(matches.size());
}

}  // namespace kelvan::editor
