#include "view/TViewForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

#include "editor/NcEditor.h"
#include "nc/AnalyseProgram.h"
#include "view/Beep.h"
#include "view/DocumentController.h"
#include "view/ExecutionController.h"
#include "view/HelpWindow.h"
#include "view/TPathView.h"
#include "view/UserDialogs.h"
#include "print/TStringsPrinter.h"

namespace kelvan::view {

namespace {

const QString kCaption = QStringLiteral("Kelvan");

Qt::ToolBarArea AreaOfSetting(int value) {
  switch (value) {
    case 1: return Qt::BottomToolBarArea;
    case 2: return Qt::LeftToolBarArea;
    case 3: return Qt::RightToolBarArea;
    default: return Qt::TopToolBarArea;
  }
}

int SettingOfArea(Qt::ToolBarArea area) {
  switch (area) {
    case Qt::TopToolBarArea: return 0;
    case Qt::BottomToolBarArea: return 1;
    case Qt::LeftToolBarArea: return 2;
    case Qt::RightToolBarArea: return 3;
    default: return -1;  // floating: not stored
  }
}

}  // namespace

TViewForm::TViewForm(std::unique_ptr<UserDialogs> dialogs, std::unique_ptr<settings::TRegManager> reg,
                     QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtUserDialogs>()),
      reg_(reg ? std::move(reg) : std::make_unique<settings::TRegManager>()),
      start_(settings::StartSettings::Load(*reg_)),
      path_(start_.PathCapacity),
      hits_(HitList::CapacityForPath(start_.PathCapacity)) {
  setWindowTitle(kCaption);
  setAcceptDrops(true);
  resize(1068, 667);
  live_.Load(*reg_);
  state_.AtcHeight = start_.AtcHeight;
  state_.ValueUnit = start_.ValueUnit;
  view_.ZoomFactor = ViewTransform::ZoomFactorFromSetting(start_.ScaleFac);
  view_.GridPitch = ViewTransform::GridPitchFromSetting(start_.GridSize);
  view_.SelectTab(0);

  CreateActions();
  CreateLayout();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  help_ = new HelpWindow(this);

  doc_ = new DocumentController(this, *edit_, *bufEdit_, *dialogs_);
  doc_->SetFolder(start_.Folda);
  doc_->History().SetItems(start_.History);
  doc_->SetBackupQuery([this] { return live_.MakeBack; });
  exec_ = new ExecutionController(
      {[this] { return Redraw(false); },
       [this](int i) { DrawRunItem(i); },
       [this] { return path_.Count; },
       [this](int i) { return i >= 0 && i < path_.Count ? path_[i].Line : 0; },
       [this](int row, int col) { edit_->SetCaret(row, col); },
       [this] { return edit_->CaretRow(); },
       [this] { return edit_->CaretCol(); },
       [this] { edit_->SetFocus(); },
       [this](int line, nc::RowMark m) { return edit_->HasRowMark(line, m); },
       [this] { return Action(QStringLiteral("M00Btn"))->isChecked(); },
       [this] { return Action(QStringLiteral("M01Btn"))->isChecked(); },
       [this](bool) { UpdateFileActions(); }},
      this);
  if (start_.BlockSkip) Action(QStringLiteral("SkipBtn"))->setChecked(true);
  if (start_.MaxWindow) setWindowState(windowState() | Qt::WindowMaximized);

  CreateReportWindows();
  ConnectEditor();
  ConnectCommands();
  UpdateHistoryMenu();
}

TViewForm::~TViewForm() { SaveLayoutSettings(); }

void TViewForm::SaveLayoutSettings() {
  reg_->WriteStrings(settings::keys::History, doc_->History().Items());
  const int edge = SettingOfArea(toolBarArea(speedBar_));
  if (edge >= 0 && !speedBar_->isFloating()) reg_->WriteInteger(settings::keys::ToolBar, edge);
  reg_->WriteInteger(settings::keys::Split, editPanel_->width());
  reg_->Sync();
}

void TViewForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shown_) return;  // the first showing only
  shown_ = true;
  if (AreaOfSetting(start_.ToolBar) != Qt::TopToolBarArea) addToolBar(AreaOfSetting(start_.ToolBar), speedBar_);
  QList<int> sizes = splitter_->sizes();
  const int total = sizes.value(0) + sizes.value(2);
  sizes[0] = std::clamp(start_.Split, 50, std::max(50, total - 50));
  sizes[2] = std::max(50, total - sizes[0]);
  splitter_->setSizes(sizes);
  SetPanel(PanelChanged, QString());
  SetPanel(PanelInsert, QStringLiteral("挿入"));
  edit_->SetFocus();
}

void TViewForm::OpenAtStart(const QString& path) {
  if (path.isEmpty()) return;
  if (!QFileInfo(path).isFile()) {
    Beep();
    return;
  }
  doc_->Load(path);
}

void TViewForm::closeEvent(QCloseEvent* e) {
  if (exec_->IsRunning()) {
    // The run loop is waiting inside this event: stop it first, then close.
    exec_->StopRequested = true;
    exec_->PauseRequested = true;
    closeAfterRun_ = true;
    e->ignore();
    return;
  }
  if (!doc_->QueryClose()) {
    e->ignore();
    return;
  }
  e->accept();
}

void TViewForm::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TViewForm::dropEvent(QDropEvent* e) {
  const auto urls = e->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  e->acceptProposedAction();
  doc_->Drop(urls.first().toLocalFile());
}

bool TViewForm::RefuseWhileExecuting() {
  if (!exec_->IsExecuting()) return false;
  Beep();
  return true;
}

void TViewForm::UpdateFileActions() {
  const bool idle = !exec_->IsExecuting() && !exec_->IsRunning();
  for (const char* name : {"AcFileNew", "AcFileOpen", "AcFileInsert", "AcFileSave", "AcFileSaveAs"})
    Action(QString::fromLatin1(name))->setEnabled(idle);
  for (QAction* h : history_) h->setEnabled(idle);
  if (closeAfterRun_ && !exec_->IsRunning()) {
    closeAfterRun_ = false;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  }
}

void TViewForm::ConnectEditor() {
  connect(edit_, &editor::NcEditor::CaretMoved, this, [this] {
    SetPanel(PanelCaret, QString::asprintf("%5d 行:%4d 桁", edit_->CaretRow() + 1, edit_->CaretCol() + 1));
  });
  for (editor::NcEditor* e : {edit_, bufEdit_}) {
    connect(e, &editor::NcEditor::TextChanged, this, [this] {
      SetPanel(PanelChanged, QStringLiteral("変更あり"));
      analysed_ = false;
    });
    // A double click selects the word at the main editor's caret.
    connect(e, &editor::NcEditor::DoubleClicked, this, [this] { edit_->SelectWordAtCaret(); });
  }
  edit_->Widget()->viewport()->installEventFilter(this);
  edit_->Widget()->installEventFilter(this);
  connect(doc_, &DocumentController::Loaded, this, &TViewForm::AfterLoad);
  connect(doc_, &DocumentController::Inserted, this, &TViewForm::AfterInsert);
  connect(doc_, &DocumentController::TitleChanged, this, &QWidget::setWindowTitle);
  connect(doc_, &DocumentController::ChangeMarkChanged, this,
          [this](const QString& text) { SetPanel(PanelChanged, text); });
  connect(doc_, &DocumentController::HistoryChanged, this, &TViewForm::UpdateHistoryMenu);
}

void TViewForm::ConnectCommands() {
  auto on = [this](const char* name, auto slot) {
    connect(Action(QString::fromLatin1(name)), &QAction::triggered, this, slot);
  };
  on("AcFileNew", &TViewForm::FileNew);
  on("AcFileOpen", &TViewForm::FileOpen);
  on("AcFileInsert", &TViewForm::FileInsert);
  on("AcFileSave", &TViewForm::FileSave);
  on("AcFileSaveAs", &TViewForm::FileSaveAs);
  on("AcClose", &QWidget::close);
  on("AcUndo", &TViewForm::Undo);
  on("AcRedo", &TViewForm::Redo);
  on("Cut1", [this] { edit_->Cut(); });
  on("Copy1", [this] { edit_->Copy(); });
  on("Paste1", [this] { edit_->Paste(); });
  on("AcDelLine", &TViewForm::DeleteLine);
  on("AcOverWrite", &TViewForm::ToggleOverwrite);
  on("AcSingle", [this] { exec_->Single(); });
  on("AcRun", [this] { exec_->Run(); });
  on("AcPause", [this] { exec_->Pause(); });
  on("AcReset", [this] { exec_->Reset(); });
  for (const char* name : {"SkipBtn", "M00Btn", "M01Btn"}) on(name, &TViewForm::SkipButtonsClicked);
  on("LoBtn", [this] { exec_->RunSpeed = 0; });
  on("MidBtn", [this] { exec_->RunSpeed = 1; });
  on("HiBtn", [this] { exec_->RunSpeed = 2; });
  on("UVButton", [this] {
    analysed_ = AnalyseProgram();
    if (analysed_) Redraw();
  });
  on("UVHeightButton", &TViewForm::AskWorkHeight);
  on("AcZoom", &TViewForm::ZoomIn);
  on("AcUnZoom", &TViewForm::ZoomOut);
  on("AcHome", &TViewForm::Home);
  on("AcEditDiv", &TViewForm::ToggleSplitEditor);
  on("AcSubEdit", &TViewForm::ToggleSubEditor);
  on("Contents1", [this] { help_->ShowContents(); });
  on("SearchforHelpOn1", [this] { help_->ShowIndex(); });
  on("About1", &TViewForm::About);
  connect(tabs_, &QTabBar::currentChanged, this, &TViewForm::TabChanged);
  connect(showBox_, &TPathView::Resized, this, [this](QSize) { ShowBoxResized(); });
  connect(splitter_, &QSplitter::splitterMoved, this, &TViewForm::ShowBoxResized);
  connect(exec_, &ExecutionController::StateChanged, this, &TViewForm::UpdateFileActions);
}

// --- the document ----------------------------------------------------------------------

void TViewForm::FileNew() {
  if (RefuseWhileExecuting()) return;
  QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
}

void TViewForm::FileOpen() {
  if (RefuseWhileExecuting()) return;
  doc_->Open();
}

void TViewForm::FileInsert() {
  if (RefuseWhileExecuting()) return;
  doc_->Insert();
}

void TViewForm::FileSave() {
  if (RefuseWhileExecuting()) return;
  doc_->Save();
}

void TViewForm::FileSaveAs() {
  if (RefuseWhileExecuting()) return;
  doc_->SaveAs();
}

void TViewForm::OpenHistory(int index) {
  if (exec_->IsExecuting()) {
    Beep();
    return;
  }
  if (doc_->OpenRecent(index)) UpdateHistoryMenu();
}

void TViewForm::UpdateHistoryMenu() {
  const QStringList& items = doc_->History().Items();
  for (int i = 0; i < 10; ++i) {
    history_[i]->setVisible(i < items.size());
    if (i < items.size()) history_[i]->setText(RecentFiles::Caption(i, items[i]));
  }
}

void TViewForm::AfterLoad() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  analysed_ = AnalyseProgram();
  exec_->ExecIndex = -1;
  Redraw();
  SetPanel(PanelChanged, QString());
  QApplication::restoreOverrideCursor();
  UpdateHistoryMenu();
}

void TViewForm::AfterInsert() {
  analysed_ = AnalyseProgram();
  exec_->ExecIndex = -1;
  Redraw();
}

// --- editing -----------------------------------------------------------------------------

void TViewForm::Undo() {
  if (RefuseWhileExecuting()) return;
  edit_->Undo();
}

void TViewForm::Redo() {
  if (RefuseWhileExecuting()) return;
  edit_->Redo();
}

void TViewForm::DeleteLine() {
  if (edit_->LineCount() > 0) edit_->DeleteLine(edit_->CaretRow());
}

void TViewForm::ToggleOverwrite() {
  const bool overwrite = !edit_->IsOverwrite();
  edit_->SetOverwrite(overwrite);
  if (QsciScintilla* second = edit_->SecondView()) second->setOverwriteMode(overwrite);
  SetPanel(PanelInsert, overwrite ? QStringLiteral("上書") : QStringLiteral("挿入"));
}

void TViewForm::ToggleSubEditor() { panel2_->setVisible(!panel2_->isVisible()); }

void TViewForm::ToggleSplitEditor() {
  QAction* item = Action(QStringLiteral("AcEditDiv"));
  if (edit_->SecondView()) {
    edit_->RemoveSecondView();
    item->setChecked(false);
    return;
  }
  QsciScintilla* second = edit_->CreateSecondView(editSplitter_);
  editSplitter_->addWidget(second);
  const int h = editSplitter_->height();
  editSplitter_->setSizes({h - h / 2, h / 2});
  second->installEventFilter(this);
  second->viewport()->installEventFilter(this);
  item->setChecked(true);
}

bool TViewForm::eventFilter(QObject* watched, QEvent* e) {
  // A wheel turn over an editor scrolls it by one line.
  if (e->type() == QEvent::Wheel) {
    for (QsciScintilla* view : {edit_->Widget(), edit_->SecondView()}) {
      if (view && (watched == view || watched == view->viewport())) {
        const int delta = static_cast<QWheelEvent*>(e)->angleDelta().y();
        if (delta != 0) view->SendScintilla(QsciScintilla::SCI_LINESCROLL, 0L, delta < 0 ? 1L : -1L);
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void TViewForm::About() {
  dialogs_->Message(this, QMessageBox::Information, kCaption,
                    QStringLiteral("Kelvan %1\nNC プログラム ワークベンチ").arg(QStringLiteral(KELVAN_VERSION)),
                    QMessageBox::Ok);
}

}  // namespace kelvan::view
