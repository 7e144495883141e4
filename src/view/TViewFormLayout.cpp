// The main window's widgets: editors, path view, tabs and status bar.

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include "editor/NcEditor.h"
#include "highlight/TNCFountain.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"

namespace kelvan::view {

namespace {

// "ＭＳ ゴシック" and the other faces of the original layout are Windows fonts; where one is
// not installed, a Japanese face stands in so that Japanese comments keep their glyphs.
QFont Substitute(QFont f, bool fixedPitch) {
  if (!QFontDatabase::families().contains(f.family())) {
    f.setFamilies({fixedPitch ? QStringLiteral("IPAGothic") : QStringLiteral("IPAPGothic"),
                   QStringLiteral("IPAGothic"), QStringLiteral("Monospace")});
  }
  return f;
}

}  // namespace

QFont EditorFont(const settings::FontSetting& s) {
  QFont f(s.name);
  if (s.size > 0) f.setPointSize(s.size); else f.setPixelSize(15);
  f.setBold(s.style & settings::FontBold);
  f.setItalic(s.style & settings::FontItalic);
  f.setUnderline(s.style & settings::FontUnderline);
  f.setStrikeOut(s.style & settings::FontStrikeOut);
  f.setFixedPitch(true);
  return Substitute(f, true);
}

void TViewForm::CreateLayout() {
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("RxSplitter1"));
  splitter_->setHandleWidth(8);
  splitter_->setChildrenCollapsible(false);

  editPanel_ = new QWidget(splitter_);
  editPanel_->setObjectName(QStringLiteral("EditPanel"));
  auto* editLayout = new QVBoxLayout(editPanel_);
  editLayout->setContentsMargins(0, 0, 0, 0);
  editSplitter_ = new QSplitter(Qt::Vertical, editPanel_);
  editLayout->addWidget(editSplitter_);
  edit_ = new editor::NcEditor(editSplitter_);
  editSplitter_->addWidget(edit_->Widget());

  panel2_ = new QWidget(splitter_);
  panel2_->setObjectName(QStringLiteral("Panel2"));
  auto* subLayout = new QVBoxLayout(panel2_);
  subLayout->setContentsMargins(0, 0, 0, 0);
  bufEdit_ = new editor::NcEditor(panel2_);
  subLayout->addWidget(bufEdit_->Widget());
  panel2_->setVisible(false);

  auto* viewPanel = new QWidget(splitter_);
  viewPanel->setObjectName(QStringLiteral("TabControl1"));
  auto* viewLayout = new QVBoxLayout(viewPanel);
  viewLayout->setContentsMargins(0, 0, 0, 0);
  viewLayout->setSpacing(0);
  tabs_ = new QTabBar(viewPanel);
  for (const char* caption : {"XY,I", "XY", "XZ", "YZ"}) tabs_->addTab(QString::fromLatin1(caption));
  QFont tabFont = Substitute(QFont(QStringLiteral("Comic Sans MS")), false);
  tabFont.setPixelSize(12);
  tabFont.setBold(true);
  tabs_->setFont(tabFont);
  viewLayout->addWidget(tabs_);
  showBox_ = new TPathView(viewPanel);
  showBox_->setObjectName(QStringLiteral("ShowBox"));
  viewLayout->addWidget(showBox_, 1);

  splitter_->addWidget(editPanel_);
  splitter_->addWidget(panel2_);
  splitter_->addWidget(viewPanel);
  splitter_->setStretchFactor(2, 1);
  setCentralWidget(splitter_);

  QFont editFont = EditorFont(start_.Font);
  edit_->SetFont(editFont);
  bufEdit_->SetFont(editFont);
  fountain_ = new highlight::TNCFountain(this);
  edit_->SetLexer(fountain_);
  bufEdit_->SetLexer(fountain_);
  edit_->SetLineNumbers(true);
  bufEdit_->SetLineNumbers(true);
  panel2_->resize(300, panel2_->height());

  // The window's keys win over the editor's own bindings (Ctrl+A is redo here, not
  // select-all; Insert must also update the status bar).
  for (QsciScintilla* view : {edit_->Widget(), bufEdit_->Widget()}) {
    for (QsciCommand* cmd : view->standardCommands()->commands()) {
      for (QAction* action : actions_) {
        if (action->shortcut().isEmpty()) continue;
        const QKeyCombination kc = action->shortcut()[0];
        const int key = static_cast<int>(kc.key()) | static_cast<int>(kc.keyboardModifiers());
        if (key == 0) continue;
        if (cmd->key() == key) cmd->setKey(0);
        if (cmd->alternateKey() == key) cmd->setAlternateKey(0);
      }
    }
  }
}

void TViewForm::CreateStatusBar() {
  static constexpr int kWidths[PanelCount] = {120, 60, 40, 300, 80, 80, 80, 70, 70, 80, 80, 50};
  QFont font = Substitute(QFont(QStringLiteral("ＭＳ ゴシック")), true);
  font.setPixelSize(12);
  font.setBold(true);
  statusBar()->setFont(font);
  for (int i = 0; i < PanelCount; ++i) {
    auto* label = new QLabel(statusBar());
    label->setObjectName(QStringLiteral("Panel%1").arg(i));
    label->setFrameShape(QFrame::StyledPanel);
    label->setMinimumWidth(kWidths[i]);
    if (i == PanelCaret || i == PanelChanged || i == PanelInsert || i == PanelAlpha || i == PanelBeta)
      label->setAlignment(Qt::AlignCenter);
    panels_[i] = label;
    // Panels whose texts come and go take the room their text needs, so that a message
    // and the capacity line stay readable in a window of the default size: the message
    // panel takes what is left beside that.
    if (FitsItsText(static_cast<Panel>(i))) label->setMinimumWidth(kFittedMinimum);
    statusBar()->addWidget(label, i == PanelMessage ? 1 : 0);
  }
  statusBar()->setSizeGripEnabled(false);
  panels_[PanelX]->setText(QStringLiteral("X 0"));
  panels_[PanelY]->setText(QStringLiteral("Y 0"));
  panels_[PanelZ]->setText(QStringLiteral("Z 0"));
  panels_[PanelU]->setText(QStringLiteral("U"));
  panels_[PanelV]->setText(QStringLiteral("V"));
}

bool TViewForm::FitsItsText(Panel p) {
  return p == PanelMessage || p == PanelCapacity || p == PanelU || p == PanelV || p == PanelAlpha ||
         p == PanelBeta;
}

void TViewForm::SetPanel(Panel p, const QString& text) {
  panels_[p]->setText(text);
  if (FitsItsText(p))
    panels_[p]->setMinimumWidth(std::max(kFittedMinimum, panels_[p]->fontMetrics().horizontalAdvance(text) + 12));
}

QString TViewForm::PanelText(Panel p) const { return panels_[p]->text(); }

}  // namespace kelvan::view
