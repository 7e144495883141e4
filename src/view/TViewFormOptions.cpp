// The main window's settings dialog "環境設定": opened while nothing executes; what OK
// stores reaches the editor, the printer, the picture and the user command buttons at once.

#include <QAction>
#include <QIcon>

#include <string>
#include <vector>

#include "editor/NcEditor.h"
#include "print/ApplyStoredPrintSettings.h"
#include "print/TStringsPrinter.h"
#include "script/ScriptFolder.h"
#include "settings/OptionValues.h"
#include "settings/ui/TOptionDlg.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

// The editor font of a stored font, as the layout makes it (TViewFormLayout.cpp).
QFont EditorFont(const settings::FontSetting& s);

namespace {

// The user command buttons keep their numbered glyph here, for a command that is
// renamed to a script without a picture.
constexpr const char* kDesignIcon = "designIcon";

}  // namespace

void TViewForm::CreateOptions() {
  optionDlg_ = new settings::TOptionDlg(*reg_, live_, *dialogs_, QString::fromStdString(script::UserScriptFolder()),
                                        this);
  connect(optionDlg_, &settings::TOptionDlg::SettingsApplied, this, &TViewForm::ApplyOptions);
  // The error-avoidance words belong to the analysis; other words make the program
  // analyse afresh at the next drawing.
  connect(&live_, &settings::LiveSettings::Changed, this, [this] {
    std::vector<std::string> tags;
    for (const QString& tag : live_.ErrorTags) tags.push_back(tag.toStdString());
    if (tags == bench_->Settings().ErrorTags) return;
    workbench::AnalysisSettings s = bench_->Settings();
    s.ErrorTags = std::move(tags);
    bench_->SetSettings(std::move(s));
  });
  for (int n = 1; n <= settings::CommandCount; ++n) {
    QAction* a = Action(UserCommand(n));
    a->setProperty(kDesignIcon, QVariant::fromValue(a->icon()));
  }
  connect(Action(Command::Environment), &QAction::triggered, this, &TViewForm::EnvironmentExecute);
}

void TViewForm::EnvironmentExecute() {
  if (RefuseWhileExecuting()) return;
  optionDlg_->exec();
}

void TViewForm::ApplyOptions(const settings::OptionValues& v, bool atStart) {
  // At start-up the window took the editor font, the printer's settings, the block skip
  // and the command buttons from the start settings already, out of the same store.
  if (!atStart) {
    const QFont font = EditorFont(v.Font);
    edit_->SetFont(font);
    bufEdit_->SetFont(font);
  }
  edit_->SetHorizontalScrollBar(v.ScrollBar);
  if (!atStart) Redraw();
  if (!v.ShowPos) {
    for (Panel p : {PanelX, PanelY, PanelZ}) SetPanel(p, QString());
  }
  edit_->SetCaretLineUnderline(v.ShowUnderLine);
  if (atStart) return;

  print::StringsPrinterSettings ps = printer_->Settings();
  print::ApplyStoredPageSettings(v.PageSettings(), ps);
  printer_->SetSettings(ps);

  // New command names take effect at once; a command left empty loses its hint and
  // picture, so that its button no longer runs the old script.
  const QStringList names = v.CommandNames();
  for (int n = 1; n <= settings::CommandCount; ++n) {
    QAction* a = Action(UserCommand(n));
    a->setToolTip(names.value(n - 1));
    a->setIcon(a->property(kDesignIcon).value<QIcon>());
  }
  LoadUserCommands(names);
}

}  // namespace kelvan::view
