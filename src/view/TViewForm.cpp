#include "view/TViewForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

#include "editor/EditorDocument.h"
#include "editor/NcEditor.h"
#include "print/TStringsPrinter.h"
#include "settings/SettingsKeys.h"
#include "settings/ui/TOptionDlg.h"
#include "view/Beep.h"
#include "view/DocumentController.h"
#include "view/HelpWindow.h"
#include "view/TPathView.h"
#include "view/UserDialogs.h"
#include "tools/Tools.h"
#include "tools/ui/ConversionFrame.h"
#include "workbench/Workbench.h"

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
      hits_(HitList::CapacityForPath(start_.PathCapacity)) {
  setWindowTitle(kCaption);
  setAcceptDrops(true);
  startInstance_ = [](const QStringList& args) {
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), args);
  };
  resize(1068, 667);
  live_.Load(*reg_);
  view_.ZoomFactor = ViewTransform::ZoomFactorFromSetting(start_.ScaleFac);
  view_.GridPitch = ViewTransform::GridPitchFromSetting(start_.GridSize);
  view_.SelectTab(0);

  CreateActions();
  CreateLayout();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  help_ = new HelpWindow(this);

  document_ = std::make_unique<editor::EditorDocument>(*edit_);
  bench_ = std::make_unique<workbench::Workbench>(*document_, start_.PathCapacity);
  workbench::AnalysisSettings analysis;
  analysis.ValueUnit = start_.ValueUnit;
  analysis.AtcHeight = start_.AtcHeight;
  // The editor hands the analysis UTF-8 lines, so the words are compared in UTF-8 too.
  for (const QString& tag : live_.ErrorTags) analysis.ErrorTags.push_back(tag.toStdString());
  bench_->SetSettings(std::move(analysis));
  workbench::RunOptions run;
  run.BlockSkip = start_.BlockSkip;
  bench_->SetRunOptions(run);
  bench_->SetView(this);

  doc_ = new DocumentController(this, *bench_, *edit_, *bufEdit_, *dialogs_);
  doc_->SetFolder(start_.Folda);
  doc_->History().SetItems(start_.History);
  doc_->SetBackupQuery([this] { return live_.MakeBack; });
  if (start_.MaxWindow) setWindowState(windowState() | Qt::WindowMaximized);

  CreateReportWindows();
  CreateTools();
  CreateComm();
  CreateOptions();  // before the scripts set the command buttons' pictures
  CreateScripts();
  CreateSearch();
  CreateCompare();
  CreateViewGestures();
  ConnectEditor();
  ConnectWorkbench();
  ConnectCommands();
  ShowRunOptions();
  UpdateHistoryMenu();
}

TViewForm::~TViewForm() {
  SaveLayoutSettings();
  // The editors outlive the workbench by a little (they are child widgets); what they
  // say while they go must not reach it.
  edit_->disconnect(this);
  bufEdit_->disconnect(this);
  // The workbench must not draw into the window while the window goes.
  bench_->SetView(nullptr);
}

const nc::PathList& TViewForm::Path() const { return bench_->Path(); }
const nc::MachineState& TViewForm::Machine() const { return bench_->Machine(); }
bool TViewForm::IsAnalysed() const { return bench_->IsAnalysed(); }
bool TViewForm::Redraw(bool whiteMode) { return bench_->Redraw(whiteMode); }

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
  optionDlg_->LoadConfig();
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

void TViewForm::OpenHandedOver(const QString& path) {
  if (path.isEmpty()) return;
  if (!QFileInfo(path).isFile()) {
    Beep();
    return;
  }
  doc_->LoadUntitled(path);
  // Only a hand-over file, made for this window in the temporary folder, is ours to remove.
  const QFileInfo info(path);
  if (info.fileName().startsWith(QStringLiteral("kelvan-handover-")) &&
      info.absoluteDir() == QDir(QDir::tempPath()))
    QFile::remove(path);
}

void TViewForm::closeEvent(QCloseEvent* e) {
  // A conversion replaces the text when it ends; the window stays until then.
  if (frame_ && frame_->IsRunning()) {
    e->ignore();
    return;
  }
  if (!doc_->QueryClose()) {
    e->ignore();
    return;
  }
  bench_->Exec().Abandon();  // a run stops with the window
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
  if (!bench_->Exec().IsExecuting()) return false;
  Beep();
  return true;
}

void TViewForm::ConnectEditor() {
  connect(edit_, &editor::NcEditor::CaretMoved, this, [this] {
    SetPanel(PanelCaret, QString::asprintf("%5d 行:%4d 桁", edit_->CaretRow() + 1, edit_->CaretCol() + 1));
  });
  for (editor::NcEditor* e : {edit_, bufEdit_}) {
    // A change in either editor marks the program as not analysed.
    connect(e, &editor::NcEditor::TextChanged, this, [this] {
      SetPanel(PanelChanged, QStringLiteral("変更あり"));
      bench_->TextChanged();
    });
    // A double click selects the word at the main editor's caret.
    connect(e, &editor::NcEditor::DoubleClicked, this, [this] { edit_->SelectWordAtCaret(); });
  }
  edit_->Widget()->viewport()->installEventFilter(this);
  edit_->Widget()->installEventFilter(this);
  connect(doc_, &DocumentController::Loaded, this, &TViewForm::AfterLoad);
  connect(doc_, &DocumentController::Inserted, bench_.get(), &workbench::Workbench::Refresh);
  connect(doc_, &DocumentController::TitleChanged, this, &QWidget::setWindowTitle);
  connect(doc_, &DocumentController::ChangeMarkChanged, this,
          [this](const QString& text) { SetPanel(PanelChanged, text); });
  connect(doc_, &DocumentController::HistoryChanged, this, &TViewForm::UpdateHistoryMenu);
}

void TViewForm::ConnectWorkbench() {
  connect(bench_.get(), &workbench::Workbench::AnalysisFinished, this,
          [this](const nc::AnalysisResult& r, bool) { ShowAnalysis(r); });
  connect(bench_.get(), &workbench::Workbench::OptionsChanged, this, &TViewForm::ShowRunOptions);
  connect(&bench_->Exec(), &workbench::Execution::StateChanged, this, &TViewForm::ShowExecutionState);
}

void TViewForm::ConnectCommands() {
  workbench::Workbench* bench = bench_.get();
  workbench::Execution* exec = &bench->Exec();
  Bind(Command::AcFileNew, &TViewForm::FileNew);
  Bind(Command::AcFileOpen, &TViewForm::FileOpen);
  Bind(Command::AcFileInsert, &TViewForm::FileInsert);
  Bind(Command::AcFileSave, &TViewForm::FileSave);
  Bind(Command::AcFileSaveAs, &TViewForm::FileSaveAs);
  Bind(Command::AcClose, &QWidget::close);
  Bind(Command::AcUndo, &TViewForm::Undo);
  Bind(Command::AcRedo, &TViewForm::Redo);
  Bind(Command::Cut1, [this] { edit_->Cut(); });
  Bind(Command::Copy1, [this] { edit_->Copy(); });
  Bind(Command::Paste1, [this] { edit_->Paste(); });
  Bind(Command::AcDelLine, &TViewForm::DeleteLine);
  Bind(Command::AcOverWrite, &TViewForm::ToggleOverwrite);
  Bind(Command::AcSingle, [exec] { exec->Single(); });
  Bind(Command::AcRun, [exec] { exec->Run(); });
  Bind(Command::AcPause, [exec] { exec->Pause(); });
  Bind(Command::AcReset, [exec] { exec->Reset(); });
  Bind(Command::SkipBtn, [bench](bool down) { bench->SetBlockSkip(down); });
  Bind(Command::M00Btn, [bench](bool down) { bench->SetStopAtM00(down); });
  Bind(Command::M01Btn, [bench](bool down) { bench->SetStopAtM01(down); });
  Bind(Command::LoBtn, [exec] { exec->SetRunSpeed(0); });
  Bind(Command::MidBtn, [exec] { exec->SetRunSpeed(1); });
  Bind(Command::HiBtn, [exec] { exec->SetRunSpeed(2); });
  Bind(Command::UVButton, [bench](bool down) { bench->SetUVMode(down); });
  Bind(Command::UVHeightButton, &TViewForm::AskWorkHeight);
  Bind(Command::AcZoom, &TViewForm::ZoomIn);
  Bind(Command::AcUnZoom, &TViewForm::ZoomOut);
  Bind(Command::AcHome, &TViewForm::Home);
  Bind(Command::AcEditDiv, &TViewForm::ToggleSplitEditor);
  Bind(Command::AcSubEdit, &TViewForm::ToggleSubEditor);
  Bind(Command::Contents1, [this] { help_->ShowContents(); });
  Bind(Command::SearchforHelpOn1, [this] { help_->ShowIndex(); });
  Bind(Command::About1, &TViewForm::About);
  connect(tabs_, &QTabBar::currentChanged, this, &TViewForm::TabChanged);
  connect(showBox_, &TPathView::Resized, this, [this](QSize) { ShowBoxResized(); });
  connect(splitter_, &QSplitter::splitterMoved, this, &TViewForm::ShowBoxResized);
}

// --- the document ----------------------------------------------------------------------

void TViewForm::FileNew() {
  if (RefuseWhileExecuting()) return;
  startInstance_({});
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
  if (RefuseWhileExecuting()) return;
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
  SetPanel(PanelChanged, QString());
  UpdateHistoryMenu();
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

void TViewForm::ToggleSubEditor() {
  panel2_->setVisible(panel2_->isHidden());
  if (!panel2_->isHidden()) frame_->WorkBufferShown();
}

void TViewForm::ToggleSplitEditor() {
  QAction* item = Action(Command::AcEditDiv);
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
