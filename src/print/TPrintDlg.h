#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

#include "print/StringsPrinterSettings.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QSpinBox;

namespace kelvan::print {

class TStringsPrinter;

// The print dialog "印刷ダイアログ": margins, header and footer with their alignment,
// columns, line numbers, font, page range, printer set-up and a preview, all on a copy
// of the strings printer's settings. OK prints and hands the copy to the strings
// printer, where it stays for the rest of the run; Cancel leaves the printer as it was.
class TPrintDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TPrintDlg(QWidget* parent = nullptr);
  ~TPrintDlg() override;

  // Shows the dialog modally for printing `lines`; true when OK was chosen and at least
  // one page was printed.
  bool Execute(TStringsPrinter& printer, const QStringList& lines);

  // The steps of Execute around the modal loop, for the windows' tests:
  // Load fills the controls from the printer's settings and copies its set-up;
  // Apply hands the controls' settings and the set-up to the printer and prints.
  void Load(TStringsPrinter& printer, const QStringList& lines);
  int Apply(TStringsPrinter& printer);
  StringsPrinterSettings CurrentSettings() const;
  // The copy of the printer the set-up dialog and the preview work on.
  QPrinter& WorkPrinter() { return *work_; }
  // Paints the pages into the preview's printer.
  void RenderPreview(QPrinter* printer) const;

 private:
  QWidget* BuildMarginGroup();
  QWidget* BuildHeaderGroup();
  QWidget* BuildLayoutGroup();
  QWidget* BuildRangeGroup();
  QComboBox* NewAlignmentBox(const QString& name);
  void SetupClick();
  void PreviewClick();
  void FontClick();
  void ColorClick();
  void ShowFont();

  std::unique_ptr<QPrinter> work_;
  StringsPrinterSettings base_;  // what the dialog has no control for comes from here
  QStringList lines_;
  QDoubleSpinBox* marginTop_ = nullptr;
  QDoubleSpinBox* marginBottom_ = nullptr;
  QDoubleSpinBox* marginLeft_ = nullptr;
  QDoubleSpinBox* marginRight_ = nullptr;
  QLineEdit* header_ = nullptr;
  QLineEdit* footer_ = nullptr;
  QComboBox* headerAlign_ = nullptr;
  QComboBox* footerAlign_ = nullptr;
  QComboBox* columns_ = nullptr;
  QCheckBox* lineNumbers_ = nullptr;
  QLabel* fontLabel_ = nullptr;
  QSpinBox* firstPage_ = nullptr;
  QSpinBox* lastPage_ = nullptr;
  QString fontName_;
  double fontSize_ = 11;
  QColor fontColor_;
};

}  // namespace kelvan::print
