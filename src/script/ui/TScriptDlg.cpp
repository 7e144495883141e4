#include "script/ui/TScriptDlg.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "editor/NcEditor.h"
#include "print/PrintProgram.h"
#include "script/ScriptHost.h"
#include "script/ui/QtScriptUi.h"
#include "script/ui/TAssistanceDlg.h"
#include "script/ui/TGuiDlg.h"
#include "script/ui/TPascalFountain.h"
#include "view/Beep.h"
#include "view/UserDialogs.h"
#include "workbench/ScriptRun.h"
#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"

namespace kelvan::script {

namespace {

const QString kSystemCaption = QStringLiteral(" Morwen System Message");
const QString kFilter = QStringLiteral("スクリプト(*.pas)|*.pas|*.*|*.*");
constexpr int kPollMilliseconds = 30;

}  // namespace

TScriptDlg::TScriptDlg(workbench::Workbench& bench, view::UserDialogs& dialogs, print::TStringsPrinter& printer,
                       print::TPrintDlg& printDialog, const QString& folder, QWidget* parent)
    : QDialog(parent), bench_(bench), dialogs_(dialogs), printer_(printer), printDialog_(printDialog),
      folder_(folder) {
  setObjectName(QStringLiteral("ScriptDlg"));
  resize(640, 480);
  QFont windowFont = font();
  windowFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
  windowFont.setPixelSize(12);
  setFont(windowFont);

  script_ = new editor::NcEditor(this);
  script_->Widget()->setObjectName(QStringLiteral("Script"));
  lexer_ = new TPascalFountain(this);
  script_->SetLexer(lexer_);
  QFont editFont(QStringLiteral("ＭＳ ゴシック"));
  editFont.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")});
  editFont.setStyleHint(QFont::TypeWriter);
  editFont.setPointSize(11);
  script_->SetFont(editFont);
  script_->SetLineNumbers(true);
  script_->Widget()->setAutoIndent(true);
  script_->Widget()->setWrapMode(QsciScintilla::WrapNone);
  FreeShortcutsFromEditor();
  connect(script_, &editor::NcEditor::CaretMoved, this, [this](int, int) { ShowCaret(); });

  guiDlg_ = new TGuiDlg(this);
  assistance_ = new TAssistanceDlg(this);
  ui_ = std::make_unique<QtScriptUi>(dialogs_, *guiDlg_, parent ? parent : this);
  host_ = std::make_unique<ScriptHost>(*ui_, (folder_ + QLatin1Char('/')).toStdString());

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar1"));
  status->setSizeGripEnabled(false);
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status->addWidget(panels_[i], i == 2 ? 1 : 0);
  }
  panels_[0]->setMinimumWidth(150);
  panels_[1]->setMinimumWidth(40);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(BuildMenus());
  layout->addWidget(script_->Widget(), 1);
  layout->addWidget(status);

  SetFileName(QDir(folder_).filePath(QStringLiteral("NONAME.PAS")));
  ShowCaret();
  panels_[1]->setText(QStringLiteral("挿入"));
}

TScriptDlg::~TScriptDlg() = default;

QAction* TScriptDlg::NewAction(const char* name, const QString& text, const QKeySequence& key) {
  auto* a = new QAction(text, this);
  a->setObjectName(QString::fromLatin1(name));
  if (!key.isEmpty()) {
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
  }
  addAction(a);
  return a;
}

QAction* TScriptDlg::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

QMenuBar* TScriptDlg::BuildMenus() {
  auto* bar = new QMenuBar(this);
  auto on = [this](QAction* a, auto slot) { connect(a, &QAction::triggered, this, slot); };

  QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
  on(NewAction("FileNew", QStringLiteral("新規作成(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N)), &TScriptDlg::FileNew);
  on(NewAction("FileOpen", QStringLiteral("開く(&O)"), QKeySequence(Qt::CTRL | Qt::Key_O)),
     &TScriptDlg::LoadProcedure);
  on(NewAction("FileSave", QStringLiteral("上書き保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S)),
     &TScriptDlg::FileSave);
  on(NewAction("FileSaveAs", QStringLiteral("名前をつけて保存(&A)..."), {}), &TScriptDlg::FileSaveAs);
  on(NewAction("Print", QStringLiteral("印刷(&P)"), {}), &TScriptDlg::PrintScript);
  on(NewAction("FileExit", QStringLiteral("閉じる(&X)"), QKeySequence(Qt::Key_F8)), &TScriptDlg::reject);
  for (const char* n : {"FileNew", "FileOpen", "FileSave", "FileSaveAs", "", "Print", "", "FileExit"}) {
    if (*n) file->addAction(Action(n)); else file->addSeparator();
  }

  QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
  on(NewAction("EditUndo", QStringLiteral("元に戻す(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Z)), [this] { script_->Undo(); });
  on(NewAction("EditRedo", QStringLiteral("やり直し(&R)"), QKeySequence(Qt::CTRL | Qt::Key_A)), [this] { script_->Redo(); });
  on(NewAction("EditCut", QStringLiteral("切り取り(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X)), [this] { script_->Cut(); });
  on(NewAction("EditCopy", QStringLiteral("コピー(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C)), [this] { script_->Copy(); });
  on(NewAction("EditPaste", QStringLiteral("張り付け(&P)"), QKeySequence(Qt::CTRL | Qt::Key_V)),
     [this] { script_->Paste(); });
  QAction* overwrite = NewAction("OverWrite", QStringLiteral("上書き(&W)"), QKeySequence(Qt::Key_Insert));
  overwrite->setCheckable(true);
  on(overwrite, &TScriptDlg::OverWrite);
  on(NewAction("LineDel", QStringLiteral("行削除(&D)"), QKeySequence(Qt::CTRL | Qt::Key_Y)), &TScriptDlg::LineDel);
  // Ctrl+Space opens the list wherever the caret is; the menu item makes it findable.
  on(NewAction("InputSupport", QStringLiteral("入力支援(&I)"), QKeySequence(Qt::CTRL | Qt::Key_Space)),
     &TScriptDlg::InputSupport);
  for (const char* n : {"EditUndo", "EditRedo", "", "EditCut", "EditCopy", "EditPaste", "", "OverWrite", "LineDel",
                        "InputSupport"}) {
    if (*n) edit->addAction(Action(n)); else edit->addSeparator();
  }

  // The find dialogs serve every editor; the main window shows them over this window.
  QMenu* search = bar->addMenu(QStringLiteral("検索(&S)"));
  on(NewAction("Find", QStringLiteral("検索(&F)"), QKeySequence(Qt::CTRL | Qt::Key_F)), &TScriptDlg::FindRequested);
  on(NewAction("FindNext", QStringLiteral("再検索(&N)"), QKeySequence(Qt::Key_F3)), [this] { emit FindNextRequested(true); });
  on(NewAction("Replace", QStringLiteral("置換(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R)), &TScriptDlg::ReplaceRequested);
  for (const char* n : {"Find", "FindNext", "Replace"}) search->addAction(Action(n));
  on(NewAction("AcFindPrev", QString(), QKeySequence(Qt::SHIFT | Qt::Key_F3)), [this] { emit FindNextRequested(false); });

  QMenu* run = bar->addMenu(QStringLiteral("実行(&G)"));
  on(NewAction("RunScript", QStringLiteral("スクリプト実行(&R)"), QKeySequence(Qt::Key_F9)),
     [this] { RunScriptText(); });
  on(NewAction("StopScript", QStringLiteral("スクリプト停止(&S)"), {}), &TScriptDlg::StopScript);
  run->addAction(Action("RunScript"));
  run->addAction(Action("StopScript"));
  return bar;
}

// The editor claims these keys for itself (undo, select all, redo, overwrite, cancel)
// before any window shortcut; here they belong to the window's commands.
void TScriptDlg::FreeShortcutsFromEditor() {
  QsciCommandSet* commands = script_->Widget()->standardCommands();
  for (QKeyCombination key :
       {Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::Key_F, Qt::CTRL | Qt::Key_R,
        Qt::CTRL | Qt::Key_N, Qt::CTRL | Qt::Key_O, Qt::CTRL | Qt::Key_S, Qt::CTRL | Qt::Key_Space,
        QKeyCombination(Qt::Key_F3), QKeyCombination(Qt::Key_Insert), QKeyCombination(Qt::Key_Escape)}) {
    const int combined = key.toCombined();
    while (QsciCommand* command = commands->boundTo(combined)) {
      if (command->key() == combined) command->setKey(0);
      else if (command->alternateKey() == combined) command->setAlternateKey(0);
      else break;
    }
  }
}

void TScriptDlg::SetFileName(const QString& path) {
  fileName_ = path;
  setWindowTitle(path);
}

QString TScriptDlg::StatusText(int panel) const { return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString(); }

void TScriptDlg::ShowCaret() {
  panels_[0]->setText(QString::asprintf("%5d 行:%4d 桁", script_->CaretRow() + 1, script_->CaretCol() + 1));
}

int TScriptDlg::Ask(const QString& caption, const QString& text) {
  return dialogs_.Message(this, QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel);
}

// --- files ------------------------------------------------------------------------------------

void TScriptDlg::FileNew() {
  if (running_) return view::Beep();
  if (Ask(kSystemCaption, QStringLiteral("初期化して良いですか？")) != QMessageBox::Ok) return;
  SetFileName(QDir(folder_).filePath(QStringLiteral("NONAME.PAS")));
  script_->LoadDecoded(nc::DecodedText{});  // a new text: CP932 with CR LF
  script_->SetModified(false);
}

bool TScriptDlg::LoadFile(const QString& path, QString& error) {
  if (!script_->LoadFile(path, error)) return false;
  SetFileName(QFileInfo(path).absoluteFilePath());
  script_->SetModified(false);
  ShowCaret();
  return true;
}

bool TScriptDlg::LoadProcedure() {
  if (running_) {
    view::Beep();
    return false;
  }
  const QString path = dialogs_.OpenFileName(this, folder_, kFilter);
  if (path.isEmpty()) return false;
  QString error;
  if (LoadFile(path, error)) return true;
  dialogs_.Message(this, QMessageBox::Critical, kSystemCaption, error, QMessageBox::Ok);
  return false;
}

bool TScriptDlg::WriteTo(const QString& path) {
  bool lossy = false;
  const QByteArray utf8 = script_->Text().toUtf8();
  nc::EncodeFromUtf8(std::string_view(utf8.constData(), size_t(utf8.size())), script_->Encoding(), &lossy);
  if (lossy && Ask(kSystemCaption, QStringLiteral("Shift-JIS で表せない文字があります。それらの文字は「?」として"
                                                  "保存されます。保存しますか。")) != QMessageBox::Ok)
    return false;
  QString error;
  if (!script_->SaveFile(path, error)) {
    dialogs_.Message(this, QMessageBox::Critical, kSystemCaption, QStringLiteral("保存できませんでした。\n") + error,
                     QMessageBox::Ok);
    return false;
  }
  script_->SetModified(false);
  return true;
}

bool TScriptDlg::FileSave() {
  // The folder of a fresh NONAME.PAS may not exist yet (a first start without seeding).
  QDir().mkpath(QFileInfo(fileName_).absolutePath());
  return WriteTo(fileName_);
}

bool TScriptDlg::FileSaveAs() {
  QString path = dialogs_.SaveFileName(this, fileName_, kFilter);
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pas");
  path = QFileInfo(path).absoluteFilePath();
  if (QFileInfo::exists(path) && Ask(kSystemCaption, path + QStringLiteral(" 上書きしますか。")) != QMessageBox::Ok)
    return false;
  if (!WriteTo(path)) return false;
  SetFileName(path);
  return true;
}

void TScriptDlg::PrintScript() {
  print::PrintProgram(printer_, printDialog_, script_->Lines(), fileName_, print::EconomyPrint{});
}

// --- editing ------------------------------------------------------------------------------------

void TScriptDlg::OverWrite() {
  const bool on = Action("OverWrite")->isChecked();
  script_->SetOverwrite(on);
  panels_[1]->setText(on ? QStringLiteral("上書") : QStringLiteral("挿入"));
}

void TScriptDlg::LineDel() {
  if (script_->LineCount() > 0) script_->DeleteLine(script_->CaretRow());
}

void TScriptDlg::InputSupport() {
  QsciScintilla* w = script_->Widget();
  const long pos = w->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
  const int x = int(w->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, pos));
  const int y = int(w->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, pos));
  const QString word = assistance_->Choose(w->viewport()->mapToGlobal(QPoint(x, y + 20)));
  if (!word.isEmpty()) w->replaceSelectedText(word);
  script_->SetFocus();
}

// --- running ---------------------------------------------------------------------------------------

bool TScriptDlg::Poll() {
  if (sincePoll_.elapsed() >= kPollMilliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    sincePoll_.restart();
  }
  return !stopRequested_;
}

void TScriptDlg::SetRunning(bool running) {
  running_ = running;
  script_->SetReadOnly(running);
  for (QAction* a : findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (a->objectName() == QLatin1String("StopScript")) continue;
    if (running) a->setProperty("enabledBeforeRun", a->isEnabled());
    a->setEnabled(running ? false : a->property("enabledBeforeRun").toBool());
  }
  emit RunningChanged(running);
}

bool TScriptDlg::RunScriptText() {
  if (running_) return false;
  messages_.clear();
  panels_[2]->clear();
  const QByteArray text = script_->Text().toUtf8();
  stopRequested_ = false;
  SetRunning(true);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  qApp->installEventFilter(this);
  sincePoll_.start();
  ScriptHost::Options options;
  options.Poll = [this] { return Poll(); };
  const bool ok = workbench::RunScriptOnWorkbench(bench_, *host_, text.toStdString(), options,
                                                  bench_.Document().SelectedText());
  qApp->removeEventFilter(this);
  QApplication::restoreOverrideCursor();
  SetRunning(false);
  for (const scriptengine::Message& m : host_->Messages()) messages_ << QString::fromStdString(m.Text);
  if (!messages_.isEmpty()) ShowFirstMessage();
  return ok && messages_.isEmpty();
}

void TScriptDlg::StopScript() {
  if (!running_) return;
  stopRequested_ = true;
  host_->Stop();
}

// The first message in the status bar, a beep, the caret on the fault, the window shown.
void TScriptDlg::ShowFirstMessage() {
  const scriptengine::Message& first = host_->Messages().front();
  panels_[2]->setText(messages_.front());
  view::Beep();
  if (first.Line > 0) {
    script_->ClearSelection();
    script_->SetCaret(first.Line - 1, std::max(first.Column - 1, 0));
  }
  ShowCaret();
  if (!showing_) exec();
}

void TScriptDlg::OriginalCommand(const QString& name) {
  if (bench_.Exec().IsExecuting() || running_) return view::Beep();
  const QString path = QDir(folder_).filePath(name);
  if (name.isEmpty() || !QFileInfo(path).isFile()) return view::Beep();
  if (script_->IsModified() &&
      dialogs_.Message(parentWidget() ? parentWidget() : this, QMessageBox::Question, QStringLiteral("Kelvan"),
                       QStringLiteral("スクリプトが編集されていますが、破棄しますか。"),
                       QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return;
  QString error;
  if (!LoadFile(path, error)) {
    dialogs_.Message(parentWidget() ? parentWidget() : this, QMessageBox::Critical, kSystemCaption, error,
                     QMessageBox::Ok);
    return;
  }
  RunScriptText();
}

// --- the window ----------------------------------------------------------------------------------

void TScriptDlg::showEvent(QShowEvent* event) {
  showing_ = true;
  panels_[1]->setText(Action("OverWrite")->isChecked() ? QStringLiteral("上書") : QStringLiteral("挿入"));
  ShowCaret();
  QDialog::showEvent(event);
}

void TScriptDlg::hideEvent(QHideEvent* event) {
  showing_ = false;
  QDialog::hideEvent(event);
}

// A running script keeps its window: it closes once the script has ended or stopped.
void TScriptDlg::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    view::Beep();
    return;
  }
  QDialog::closeEvent(event);
}

void TScriptDlg::reject() {
  if (running_) return view::Beep();
  QDialog::reject();
}

// While a script runs, Escape stops it, unless a box of the script's own has the keys.
bool TScriptDlg::eventFilter(QObject* watched, QEvent* event) {
  if (running_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == this) {
      StopScript();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kelvan::script
