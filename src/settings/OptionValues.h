#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

#include "settings/FontSetting.h"
#include "settings/PrintSettings.h"
#include "settings/SettingsKeys.h"

namespace kelvan::settings {

class LiveSettings;
class TRegManager;

// One machine profile as its page of the settings dialog holds it. The two numbers the
// user types stay text until OK converts them.
struct ProfileValues {
  QString Machin;
  int CommPort = 0;
  int BaudRate = 0;
  int ByteSize = 0;
  int StopBits = 0;
  int Parity = 0;
  int XFlow = 2;
  int NcCode = 0;
  int OutMode = 0;
  QString FeedLen = QStringLiteral("0");
  bool DC2DC4 = true;
  int EOB = 1;
  bool Standby = true;
  QString TimeOut = QStringLiteral("300");

  bool operator==(const ProfileValues&) const = default;
};

// A field that OK converts strictly to an integer and that holds no integer.
struct IntegerField {
  enum Kind { MarginTop, MarginBottom, MarginLeft, MarginRight, EconoPrintRow, EconoPrintCol, FeedLen, TimeOut };
  Kind kind = MarginTop;
  int profile = 0;  // 1..4 for FeedLen and TimeOut, else 0
  QString text;     // as typed

  bool operator==(const IntegerField&) const = default;
};

// Everything the settings dialog edits, as its controls hold it: typed numbers are text,
// choices are item indexes. A choice read from the store keeps its number even when no
// item stands for it, so that OK writes back what it could not show.
struct OptionValues {
  // システム
  QString Folda;
  QString BufSize;   // an integer read from the store, shown in decimal
  QString AtcHight;  // as typed
  bool BlockSkip = false;
  bool MakeBack = true;
  int FloatPos = 1;
  // 表示
  QString GridSize;
  QString ScaleFac;
  bool MaxWindow = false;
  bool HoleDisp = false;
  bool ShowG00 = true;
  bool ScrollBar = false;
  bool ShowPos = true;
  bool ShowUnderLine = false;
  QString ScrollNext;
  bool ShowArrow = true;
  FontSetting Font = DesignFont();
  // エラー回避
  QStringList ErrorTag;
  // 印刷
  QString MarginTop;
  QString MarginBottom;
  QString MarginLeft;
  QString MarginRight;
  QString Header;
  QString Footer;
  bool EconoPrint = false;
  QString EconoPrintRow;
  QString EconoPrintCol;
  FontSetting PrintFont = DesignFont();
  // 通信１ .. 通信４, and the device paths of COM1 .. COM4 that all four share
  std::array<ProfileValues, ProfileCount> Profiles;
  std::array<QString, ProfileCount> ComDevices;
  // 拡張コマンド
  std::array<QString, CommandCount> Commands;

  bool operator==(const OptionValues&) const = default;

  // Every key the dialog edits, as the store holds it.
  static OptionValues Load(const TRegManager& reg);

  // The first field that OK would have to convert to an integer and cannot, in the order
  // OK writes the keys; nullopt when every such field holds an integer.
  std::optional<IntegerField> FirstNonInteger() const;

  // Writes every key in OK's order. BufSize that is no integer is stored as 100000. Values
  // with a field that FirstNonInteger names are refused whole: nothing is written and the
  // result is false, so that the store never holds half of one OK.
  bool Save(TRegManager& reg) const;

  // The margins, header and footer as OK gives them to the strings printer (the other
  // members keep their defaults). Margins that hold no integer give 0.
  PrintSettings PageSettings() const;

  // The user command scripts, Command1 first.
  QStringList CommandNames() const;

  // Hands the values that other windows read at each use to `live` and emits its
  // Changed(). A FloatPos with no item counts as the default, as at start.
  void ApplyTo(LiveSettings& live) const;
};

// The path-list capacity OK stores when the field holds no integer.
inline constexpr int kBufSizeFallback = 100000;

}  // namespace kelvan::settings
