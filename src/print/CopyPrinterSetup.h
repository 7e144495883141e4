#pragma once

class QPrinter;

namespace kelvan::print {

// Copies what the printer set-up dialog chooses (printer or PDF file, paper, orientation,
// copies, duplex, colour) from one printer to another: the print dialog changes a copy
// and hands it back only on OK, and a printer object itself cannot be copied.
void CopyPrinterSetup(const QPrinter& from, QPrinter& to);

}  // namespace kelvan::print
