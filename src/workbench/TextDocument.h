#pragma once

#include <memory>
#include <string>

#include "nc/Cp932.h"
#include "nc/DecodedText.h"
#include "nc/NcText.h"
#include "nc/RowMarks.h"

namespace kelvan::workbench {

// The text of the workbench's document, as the workbench reads and changes it. The editor
// implements it over its buffer; the command line over a file held in memory. The
// workbench learns of every change of the text through Workbench::TextChanged.
class TextDocument {
 public:
  virtual ~TextDocument() = default;

  // The whole text as it is now, as an immutable copy that later edits do not touch.
  virtual std::shared_ptr<const nc::NcText> Snapshot() const = 0;
  // The encoding of the snapshot's bytes (the editor holds UTF-8).
  virtual nc::TextEncoding LineEncoding() const = 0;
  // Replaces the whole text with a file's, which is then the unmodified document.
  virtual void LoadText(const nc::DecodedText& text) = 0;
  // Replaces the whole text with the lines of a command (a conversion, a transfer, a
  // script), each followed by LineEnd(), as one step that Undo takes back; the document is
  // then modified. The text ends with a line end only when it did before.
  virtual void ReplaceText(std::string text) = 0;
  // The line end the document's lines take.
  virtual std::string LineEnd() const = 0;

  // Shows the row marks of the last analysis instead of those shown so far.
  virtual void ApplyRowMarks(const nc::RowMarks& marks) = 0;

  // The caret; rows and columns are 0-based, columns count the bytes of the line.
  virtual int CaretRow() const = 0;
  virtual int CaretColumn() const = 0;
  // Clamps to the text and brings the caret into view.
  virtual void SetCaret(int row, int column) = 0;
  virtual void ClearSelection() = 0;
  // The selected text (in the snapshot's encoding); empty when nothing is selected.
  virtual std::string SelectedText() const { return {}; }
  virtual void Focus() = 0;
};

// A document held in memory, without a caret to show: kelvan-cli and the tests.
class MemoryDocument : public TextDocument {
 public:
  explicit MemoryDocument(std::shared_ptr<const nc::NcText> text = std::make_shared<const nc::NcText>())
      : text_(std::move(text)) {}

  std::shared_ptr<const nc::NcText> Snapshot() const override { return text_; }
  nc::TextEncoding LineEncoding() const override { return text_->Encoding(); }
  void LoadText(const nc::DecodedText& text) override { text_ = text.Utf8; }
  void ReplaceText(std::string text) override {
    const bool finalEnd = text_->LineCount() == 0 || text_->End(text_->LineCount() - 1) != nc::LineEnd::None;
    if (!finalEnd && !text.empty() && text.back() == '\n') text.pop_back();
    text_ = std::make_shared<const nc::NcText>(nc::NcText::FromBytes(std::move(text), text_->Encoding()));
    ++replaced_;
  }
  std::string LineEnd() const override { return "\n"; }
  int Replaced() const { return replaced_; }
  void ApplyRowMarks(const nc::RowMarks& marks) override { marks_ = marks; }
  int CaretRow() const override { return row_; }
  int CaretColumn() const override { return column_; }
  void SetCaret(int row, int column) override {
    row_ = row;
    column_ = column;
  }
  void ClearSelection() override {}
  void Focus() override {}

  // Replaces the text; the owner then tells the workbench (TextChanged).
  void SetText(std::shared_ptr<const nc::NcText> text) { text_ = std::move(text); }
  const nc::RowMarks& ShownMarks() const { return marks_; }

 private:
  std::shared_ptr<const nc::NcText> text_;
  nc::RowMarks marks_;
  int row_ = 0, column_ = 0;
  int replaced_ = 0;
};

}  // namespace kelvan::workbench
