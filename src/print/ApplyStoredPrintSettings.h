#pragma once

#include "print/PrintProgram.h"
#include "print/StringsPrinterSettings.h"
#include "settings/PrintSettings.h"

namespace kelvan::print {

// The margins, header and footer of the settings store on the strings printer's
// settings: at start-up and on OK in the settings dialog.
void ApplyStoredPageSettings(const settings::PrintSettings& stored, StringsPrinterSettings& out);

// The store's printer font (name, size, colour): at start-up only, so that a font chosen
// in the print dialog stays for the run. A colour the store cannot name prints black.
void ApplyStoredFont(const settings::FontSetting& font, StringsPrinterSettings& out);

// The economy-printing keys as PrintProgram takes them.
EconomyPrint StoredEconomy(const settings::PrintSettings& stored);

}  // namespace kelvan::print
