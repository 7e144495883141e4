#pragma once

#include <QDateTime>
#include <QStringList>

#include <memory>

#include "print/StringsPrinterSettings.h"

class QPrinter;

namespace kelvan::print {

// The main window's printer of text lines: a printer and the settings it prints with
// (title, margins, font, header and footer, columns, line numbers, page range). The
// program and every report go through the one instance, so that what the user chose in
// the print dialog stays for the rest of the run.
class TStringsPrinter {
 public:
  TStringsPrinter();
  ~TStringsPrinter();
  TStringsPrinter(const TStringsPrinter&) = delete;
  TStringsPrinter& operator=(const TStringsPrinter&) = delete;

  const StringsPrinterSettings& Settings() const { return settings_; }
  void SetSettings(const StringsPrinterSettings& settings) { settings_ = settings; }
  // The document title: the path that "%F" and "%f" show, and the print job's name.
  void SetTitle(const QString& title) { settings_.Title = title; }

  QPrinter& Printer() { return *printer_; }

  // Prints the lines with the current settings; returns the number of pages printed,
  // 0 when no page falls in the page range or the printer cannot be opened.
  int Print(const QStringList& lines);

  // The same on any printer (the print preview's, a PDF file's) with the given settings.
  static int PrintTo(QPrinter& printer, const StringsPrinterSettings& settings,
                     const QStringList& lines, const QDateTime& now = QDateTime::currentDateTime());

 private:
  std::unique_ptr<QPrinter> printer_;
  StringsPrinterSettings settings_;
};

}  // namespace kelvan::print
