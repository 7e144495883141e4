#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

#include "settings/FontSetting.h"

namespace kelvan::settings {

class TRegManager;

// The settings the main window reads once, when it is created or first shown. Changing
// them in the settings dialog takes effect at the next start.
struct StartSettings {
  QString Folda;                  // first folder of the NC file dialogs
  int32_t PathCapacity = 1000000;  // "BufSize", at least 100000
  double AtcHeight = 500;         // "AtcHight"
  int FloatPos = 1;               // 0..2
  double ValueUnit = 0.001;       // by FloatPos, fixed for the whole run
  int Decimals = 3;               // by FloatPos; later uses follow the live setting
  bool BlockSkip = false;
  bool MaxWindow = false;
  double GridSize = 50;           // grid pitch of the path view, at least 1
  double ScaleFac = 2.0;          // zoom step factor, 1..2
  FontSetting Font = DesignFont();  // main editor
  int ToolBar = 0;                // 0 top, 1 bottom, 2 left, 3 right; others: design place
  int Split = 300;                // editor panel width in pixels
  QStringList History;            // at most MaxHistory paths, newest first
  QStringList Commands;           // "Command1".."Command7", script file names
  bool ShowSuperHole = false;     // the canned-cycle expansion in the 2D tools menu
  uint32_t CompareColor = 0x00FF00;  // $BBGGRR of the compared path; unknown text: lime
  double CompareTolerance = 0.001;   // no number, or outside 0..1000: 0.001

  static constexpr int MaxHistory = 10;

  static StartSettings Load(const TRegManager& reg);

  // The conversions of the stored texts, each with the fallback the program needs to
  // start: a decimal is read as ParseDecimal does (blanks around it allowed, "." as the
  // point, an exponent allowed).
  static double AtcHeightFromText(QStringView text);  // no number: 500
  static double GridSizeFromText(QStringView text);   // no number: 50; below 1: 1
  static double ScaleFacFromText(QStringView text);   // no number or outside 1..2: 2.0
  static int FloatPosFromStored(int stored);          // outside 0..2: 1
  static uint32_t CompareColorFromText(QStringView text);
  static double CompareToleranceFromText(QStringView text);
};

}  // namespace kelvan::settings
