// The main window's reports and printing.

#include <QAction>

#include "editor/NcEditor.h"
#include "highlight/TNCFountain.h"
#include "print/ApplyStoredPrintSettings.h"
#include "print/PrintProgram.h"
#include "print/TPrintDlg.h"
#include "print/TStringsPrinter.h"
#include "report/BuildAreaReport.h"
#include "report/BuildDetailsReport.h"
#include "report/BuildDumpReport.h"
#include "report/BuildToolsReport.h"
#include "report/ui/TDumpDlg.h"
#include "settings/PrintSettings.h"
#include "view/DocumentController.h"
#include "view/TViewForm.h"

namespace kelvan::view {

namespace {

// The editor hands out its lines as UTF-8.
constexpr nc::TextEncoding kEditorEncoding = nc::TextEncoding::Utf8;

}  // namespace

void TViewForm::CreateReportWindows() {
  printer_ = std::make_unique<print::TStringsPrinter>();
  print::StringsPrinterSettings ps = printer_->Settings();
  const settings::PrintSettings stored = settings::PrintSettings::Load(*reg_);
  print::ApplyStoredPageSettings(stored, ps);
  print::ApplyStoredFont(stored.PrintFont, ps);
  printer_->SetSettings(ps);
  printDlg_ = new print::TPrintDlg(this);
  dumpDlg_ = new report::TDumpDlg(*printer_, *printDlg_, this);
  dumpDlg_->SetHighlighter(fountain_);

  auto on = [this](const char* name, auto slot) {
    QAction* a = Action(QString::fromLatin1(name));
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, slot);
  };
  on("AreaItem", &TViewForm::AreaItemClick);
  on("ToolItem", &TViewForm::ToolItemClick);
  on("DetailsItem", &TViewForm::DetailsItemClick);
  on("AcDump", &TViewForm::AcDumpExecute);
  on("Print1", &TViewForm::Print1Click);
}

void TViewForm::ShowReport(const std::vector<std::string>& lines) {
  if (reportsModeless_) dumpDlg_->ShowReportModeless(lines); else dumpDlg_->ShowReport(lines);
}

void TViewForm::AreaItemClick() {
  // The extents of the last analysis as they stand; this report does not analyse again.
  ShowReport(report::BuildAreaReport(state_));
}

void TViewForm::ToolItemClick() {
  ShowReport(report::BuildToolsReport(edit_->Source(), kEditorEncoding, doc_->FileName().toStdString()));
}

void TViewForm::DetailsItemClick() {
  analysed_ = AnalyseProgram();
  ShowReport(report::BuildDetailsReport(path_, state_, edit_->Source(), kEditorEncoding,
                                        doc_->FileName().toStdString()));
}

void TViewForm::AcDumpExecute() {
  // The dump lists the path of the last analysis beside the lines as they are now, then
  // analyses afresh, so that the next dump is current.
  std::vector<std::string> lines = report::BuildDumpReport(path_, edit_->Source(), kEditorEncoding);
  analysed_ = AnalyseProgram();
  ShowReport(lines);
}

void TViewForm::Print1Click() {
  const settings::PrintSettings stored = settings::PrintSettings::Load(*reg_);
  print::PrintProgram(*printer_, *printDlg_, edit_->Lines(), doc_->FileName(), print::StoredEconomy(stored));
}

}  // namespace kelvan::view
