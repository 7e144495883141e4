#include "report/ui/TDumpDlg.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QFont>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/NcEditor.h"
#include "highlight/TNCFountain.h"
#include "print/PrintProgram.h"

namespace kelvan::report {

TDumpDlg::TDumpDlg(print::TStringsPrinter& printer, print::TPrintDlg& printDialog,
                   QWidget* parent)
    : QDialog(parent), printer_(printer), printDialog_(printDialog) {
  setWindowTitle(QStringLiteral("レポート"));
  resize(489, 471);
  QFont windowFont = font();
  windowFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
  windowFont.setPixelSize(12);
  setFont(windowFont);

  edit_ = new editor::NcEditor(this);
  ownLexer_ = new highlight::TNCFountain(this);
  edit_->SetLexer(ownLexer_);
  QFont editFont(QStringLiteral("ＭＳ ゴシック"));
  editFont.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")});
  // 15 pixels on a 96-dpi screen; the editor takes sizes in points.
  editFont.setPointSize(11);
  edit_->SetFont(editFont);
  edit_->SetLineNumbers(true);
  edit_->SetHorizontalScrollBar(false);
  edit_->Widget()->setWrapMode(QsciScintilla::WrapNone);
  FreeShortcutsFromEditor();

  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName(QStringLiteral("StatusBar1"));
  statusBar_->setSizeGripEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(BuildToolBar());
  layout->addWidget(edit_->Widget(), 1);
  layout->addWidget(statusBar_);
}

TDumpDlg::~TDumpDlg() = default;

QAction* TDumpDlg::NewAction(const QString& name, const QString& text, const QKeySequence& key) {
  auto* action = new QAction(text, this);
  action->setObjectName(name);
  action->setShortcut(key);
  // The shortcuts act wherever the focus is in this window, the editor included.
  action->setShortcutContext(Qt::WindowShortcut);
  addAction(action);
  return action;
}

QToolBar* TDumpDlg::BuildToolBar() {
  acPrint_ = NewAction(QStringLiteral("AcPrint"), QStringLiteral("印刷"), {});
  acUndo_ = NewAction(QStringLiteral("AcUndo"), QStringLiteral("元に戻す"),
                      QKeySequence(Qt::CTRL | Qt::Key_Z));
  acRedo_ = NewAction(QStringLiteral("AcRedo"), QStringLiteral("やり直し"),
                      QKeySequence(Qt::CTRL | Qt::Key_A));
  acFind_ = NewAction(QStringLiteral("AcFind"), QStringLiteral("検索"),
                      QKeySequence(Qt::CTRL | Qt::Key_F));
  acReplace_ = NewAction(QStringLiteral("AcReplace"), QStringLiteral("置換"),
                         QKeySequence(Qt::CTRL | Qt::Key_R));
  acFindNext_ = NewAction(QStringLiteral("AcFindNext"), QStringLiteral("次を検索"),
                          QKeySequence(Qt::Key_F3));
  // Escape closes this window, as it closes every dialog.
  acClose_ = NewAction(QStringLiteral("AcClose"), QStringLiteral("閉じる"), QKeySequence(Qt::Key_Escape));

  connect(acPrint_, &QAction::triggered, this, &TDumpDlg::PrintBtnClick);
  connect(acUndo_, &QAction::triggered, this, [this] { edit_->Undo(); });
  connect(acRedo_, &QAction::triggered, this, [this] { edit_->Redo(); });
  connect(acFind_, &QAction::triggered, this, &TDumpDlg::FindRequested);
  connect(acReplace_, &QAction::triggered, this, &TDumpDlg::ReplaceRequested);
  connect(acFindNext_, &QAction::triggered, this, &TDumpDlg::FindNextRequested);
  connect(acClose_, &QAction::triggered, this, &QDialog::close);

  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("SpeedBar1"));
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  const std::pair<QAction*, const char*> buttons[] = {
      {acPrint_, "PrintBtn"}, {nullptr, nullptr},  {acUndo_, "UndoBtn"},
      {acRedo_, "RedoBtn"},   {nullptr, nullptr},  {acFind_, "FindBtn"},
      {acReplace_, "ReplaceBtn"}, {nullptr, nullptr}, {acClose_, "CloseBtn"},
  };
  for (const auto& [action, name] : buttons) {
    if (!action) {
      bar->addSeparator();
      continue;
    }
    bar->addAction(action);
    bar->widgetForAction(action)->setObjectName(QString::fromLatin1(name));
  }
  return bar;
}

// The editor binds Ctrl+Z and Ctrl+A itself (undo, select all) and Escape (cancel), and
// claims them before any window shortcut; in this window Ctrl+A means redo and Escape
// closes, so the window's actions must receive these keys.
void TDumpDlg::FreeShortcutsFromEditor() {
  QsciCommandSet* commands = edit_->Widget()->standardCommands();
  for (QKeyCombination key : {Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_F,
                              Qt::CTRL | Qt::Key_R, QKeyCombination(Qt::Key_F3),
                              QKeyCombination(Qt::Key_Escape)}) {
    const int combined = key.toCombined();
    while (QsciCommand* command = commands->boundTo(combined)) {
      if (command->key() == combined) command->setKey(0);
      else if (command->alternateKey() == combined) command->setAlternateKey(0);
      else break;
    }
  }
}

void TDumpDlg::SetHighlighter(QsciLexer* lexer) { edit_->SetLexer(lexer ? lexer : ownLexer_); }

void TDumpDlg::SetReportLines(const std::vector<std::string>& lines) {
  QStringList text;
  text.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) text.push_back(QString::fromStdString(line));
  edit_->SetLines(text);
  edit_->Widget()->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
  edit_->SetModified(false);
  edit_->SetCaret(0, 0);
}

void TDumpDlg::ShowReport(const std::vector<std::string>& lines) {
  SetReportLines(lines);
  exec();
}

void TDumpDlg::ShowReportModeless(const std::vector<std::string>& lines) {
  SetReportLines(lines);
  show();
}

void TDumpDlg::PrintBtnClick() { print::PrintReport(printer_, printDialog_, edit_->Lines()); }

void TDumpDlg::showEvent(QShowEvent* event) {
  showing_ = true;
  QDialog::showEvent(event);
}

void TDumpDlg::hideEvent(QHideEvent* event) {
  showing_ = false;
  QDialog::hideEvent(event);
}

}  // namespace kelvan::report
