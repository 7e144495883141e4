#include "print/CopyPrinterSetup.h"

#include <QPrinter>

namespace kelvan::print {

void CopyPrinterSetup(const QPrinter& from, QPrinter& to) {
  // The format first: choosing a printer name switches to native output and a file name
  // to PDF, so each is set only for its own format.
  to.setOutputFormat(from.outputFormat());
  if (from.outputFormat() == QPrinter::NativeFormat) {
    to.setPrinterName(from.printerName());
  } else {
    to.setOutputFileName(from.outputFileName());
  }
  to.setPageLayout(from.pageLayout());
  to.setCopyCount(from.copyCount());
  to.setCollateCopies(from.collateCopies());
  to.setDuplex(from.duplex());
  to.setColorMode(from.colorMode());
  to.setPageOrder(from.pageOrder());
}

}  // namespace kelvan::print
