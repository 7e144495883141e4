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
#include "nc/NcTextLineSource.h"
#include "view/DocumentController.h"
#include "view/TViewForm.h"
#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

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

  Bind(Command::AreaItem, &TViewForm::AreaItemClick);
  Bind(Command::ToolItem, &TViewForm::ToolItemClick);
  Bind(Command::DetailsItem, &TViewForm::DetailsItemClick);
  Bind(Command::AcDump, &TViewForm::AcDumpExecute);
  Bind(Command::Print1, &TViewForm::Print1Click);
}

void TViewForm::ShowReport(const std::vector<std::string>& lines) {
  if (reportsModeless_) dumpDlg_->ShowReportModeless(lines); else dumpDlg_->ShowReport(lines);
}

void TViewForm::AreaItemClick() {
  // The extents of the last analysis as they stand; this report does not analyse again.
  ShowReport(report::BuildAreaReport(bench_->Machine()));
}

void TViewForm::ToolItemClick() {
  const nc::NcTextLineSource lines(*bench_->Snapshot());
  ShowReport(report::BuildToolsReport(lines, bench_->Document().LineEncoding(), bench_->FileName().toStdString()));
}

void TViewForm::DetailsItemClick() {
  bench_->AnalyseProgram();
  const nc::NcTextLineSource lines(*bench_->Snapshot());
  ShowReport(report::BuildDetailsReport(bench_->Path(), bench_->Machine(), lines,
                                        bench_->Document().LineEncoding(), bench_->FileName().toStdString()));
}

void TViewForm::AcDumpExecute() {
  // The dump lists the path of the last analysis beside the lines as they are now, then
  // analyses afresh, so that the next dump is current.
  const nc::NcTextLineSource lines(*bench_->Snapshot());
  std::vector<std::string> report = report::BuildDumpReport(bench_->Path(), lines, bench_->Document().LineEncoding());
  bench_->AnalyseProgram();
  ShowReport(report);
}

void TViewForm::Print1Click() {
  const settings::PrintSettings stored = settings::PrintSettings::Load(*reg_);
  print::PrintProgram(*printer_, *printDlg_, edit_->Lines(), bench_->FileName(), print::StoredEconomy(stored));
}

}  // namespace kelvan::view
