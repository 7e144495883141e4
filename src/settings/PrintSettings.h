#pragma once

#include <QString>

#include "settings/FontSetting.h"

namespace kelvan::settings {

class TRegManager;

// What printing takes from the store: the strings printer's margins (millimetres),
// header and footer control strings and font, and the economy-printing keys, which are
// read afresh at each print.
struct PrintSettings {
  int MarginTop = 10;
  int MarginBottom = 10;
  int MarginLeft = 20;
  int MarginRight = 10;
  QString Header = QStringLiteral("%F");
  QString Footer = QStringLiteral("%p");
  bool EconoPrint = false;
  int EconoPrintRow = 80;  // lines per printed column, as stored (may be 0 or less)
  int EconoPrintCol = 45;  // width of the left column in characters
  FontSetting PrintFont = DesignFont();

  static PrintSettings Load(const TRegManager& reg);
};

}  // namespace kelvan::settings
