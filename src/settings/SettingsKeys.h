#pragma once
// Every key of the settings store, each a constant that carries its section, its type and
// its default text. The store's read and write operations take these constants, so a
// misspelt key or a key read as the wrong type does not compile.

#include <QString>

#include <cstdint>
#include <string_view>

namespace kelvan::settings {

enum class Section : uint8_t { Config, History, Find };
enum class KeyType : uint8_t { String, Integer, Boolean, Decimal, Font, StringList };

// One key. `index` is the number some keys carry at the end of their name ("XFlow3",
// "Command1"); 0 means none.
template <KeyType T>
struct Key {
  std::string_view name;         // ASCII
  Section section = Section::Config;
  std::string_view defaultText;  // UTF-8; fonts and lists have none (their callers' defaults)
  int index = 0;
};

using StringKey = Key<KeyType::String>;
using IntegerKey = Key<KeyType::Integer>;
using BoolKey = Key<KeyType::Boolean>;
using DecimalKey = Key<KeyType::Decimal>;
using FontKey = Key<KeyType::Font>;
using StringListKey = Key<KeyType::StringList>;

inline constexpr int ProfileCount = 4;
inline constexpr int CommandCount = 7;

// A family of keys that differ only in their trailing number, 1 to `count`: the fields
// of the machine profiles and the user commands. `defaults`, when given, holds one
// default per number.
template <KeyType T>
struct IndexedKey {
  std::string_view name;
  std::string_view defaultText;
  int count = ProfileCount;
  const std::string_view* defaults = nullptr;

  // Key n (1..count); another n is our own bug and gives key 1.
  constexpr Key<T> operator()(int n) const {
    if (n < 1 || n > count) n = 1;
    return {name, Section::Config, defaults ? defaults[n - 1] : defaultText, n};
  }
};

// The value name of a key as stored: its name followed by its number, if any.
template <KeyType T>
QString KeyName(const Key<T>& key) {
  QString name = QString::fromLatin1(key.name.data(), static_cast<qsizetype>(key.name.size()));
  if (key.index > 0) name += QString::number(key.index);
  return name;
}

namespace keys {

inline constexpr std::string_view kMachineNames[ProfileCount] = {"通信１", "通信２", "通信３", "通信４"};
inline constexpr std::string_view kComDevices[ProfileCount] = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2",
                                                              "/dev/ttyS3"};
// The bundled scripts stand on the first four buttons until the user names others.
inline constexpr std::string_view kCommandDefaults[CommandCount] = {"シーケンス番号.PAS", "ボルト穴円周.PAS",
                                                                    "矩形ポケット.PAS", "正面削り.PAS", "", "", ""};

// Section "Config": what the settings dialog edits, and what the main window keeps there
// itself (ToolBar, Split).
inline constexpr StringKey Folda{"Folda", Section::Config, "C:\\Halvorn\\Nc"};
inline constexpr IntegerKey BufSize{"BufSize", Section::Config, "1000000"};
inline constexpr DecimalKey AtcHight{"AtcHight", Section::Config, "500"};
inline constexpr IntegerKey FloatPos{"FloatPos", Section::Config, "1"};
inline constexpr BoolKey BlockSkip{"BlockSkip", Section::Config, "0"};
inline constexpr BoolKey MakeBack{"MakeBack", Section::Config, "1"};
inline constexpr DecimalKey GridSize{"GridSize", Section::Config, "50"};
inline constexpr DecimalKey ScaleFac{"ScaleFac", Section::Config, "2.0"};
inline constexpr BoolKey MaxWindow{"MaxWindow", Section::Config, "0"};
inline constexpr BoolKey HoleDisp{"HoleDisp", Section::Config, "0"};
inline constexpr BoolKey ShowG00{"ShowG00", Section::Config, "1"};
inline constexpr BoolKey ScrollBar{"ScrollBar", Section::Config, "0"};
inline constexpr BoolKey ShowPos{"ShowPos", Section::Config, "1"};
inline constexpr BoolKey ShowUnderLine{"ShowUnderLine", Section::Config, "0"};
inline constexpr StringKey ScrollNext{"ScrollNext", Section::Config, "5"};
inline constexpr BoolKey ShowArrow{"ShowArrow", Section::Config, "1"};
inline constexpr FontKey Font{"Font", Section::Config, ""};
inline constexpr StringListKey ErrorTag{"ErrorTag", Section::Config, ""};
inline constexpr IntegerKey MarginTop{"MarginTop", Section::Config, "10"};
inline constexpr IntegerKey MarginBottom{"MarginBottom", Section::Config, "10"};
inline constexpr IntegerKey MarginLeft{"MarginLeft", Section::Config, "20"};
inline constexpr IntegerKey MarginRight{"MarginRight", Section::Config, "10"};
inline constexpr StringKey Header{"Header", Section::Config, "%F"};
inline constexpr StringKey Footer{"Footer", Section::Config, "%p"};
inline constexpr BoolKey EconoPrint{"EconoPrint", Section::Config, "0"};
inline constexpr IntegerKey EconoPrintRow{"EconoPrintRow", Section::Config, "80"};
inline constexpr IntegerKey EconoPrintCol{"EconoPrintCol", Section::Config, "45"};
inline constexpr FontKey PrintFont{"PrintFont", Section::Config, ""};
inline constexpr IntegerKey ToolBar{"ToolBar", Section::Config, "0"};
inline constexpr IntegerKey Split{"Split", Section::Config, "300"};
// The menu item "固定サイクル展開" is hidden unless this is set (by hand in the store).
inline constexpr BoolKey ShowSuperHole{"ShowSuperHole", Section::Config, "0"};
// The program compare: the colour the other program's path is drawn in (a colour
// identifier or "$" and eight hex digits, $00BBGGRR), and the distance below which the
// two paths agree.
inline constexpr StringKey CompareColor{"CompareColor", Section::Config, "clLime"};
inline constexpr DecimalKey CompareTolerance{"CompareTolerance", Section::Config, "0.001"};

// The fields of machine profile n (1..4): the key is the name followed by the digit.
inline constexpr IndexedKey<KeyType::String> Machin{"Machin", "", ProfileCount, kMachineNames};
inline constexpr IndexedKey<KeyType::Integer> CommPort{"CommPort", "0"};
inline constexpr IndexedKey<KeyType::Integer> BaudRate{"BaudRate", "0"};
inline constexpr IndexedKey<KeyType::Integer> ByteSize{"ByteSize", "0"};
inline constexpr IndexedKey<KeyType::Integer> StopBits{"StopBits", "0"};
inline constexpr IndexedKey<KeyType::Integer> Parity{"Parity", "0"};
inline constexpr IndexedKey<KeyType::Integer> XFlow{"XFlow", "2"};
inline constexpr IndexedKey<KeyType::Integer> NcCode{"NcCode", "0"};
inline constexpr IndexedKey<KeyType::Integer> OutMode{"OutMode", "0"};
inline constexpr IndexedKey<KeyType::Integer> FeedLen{"FeedLen", "0"};
inline constexpr IndexedKey<KeyType::Boolean> DC2DC4{"DC2DC4", "1"};
inline constexpr IndexedKey<KeyType::Integer> EOB{"EOB", "1"};
inline constexpr IndexedKey<KeyType::Boolean> Standby{"Standby", "1"};
inline constexpr IndexedKey<KeyType::Integer> TimeOut{"TimeOut", "300"};
// The device path of serial port "COM1" .. "COM4" (a USB adapter is /dev/ttyUSB0).
inline constexpr IndexedKey<KeyType::String> ComDevice{"ComDevice", "", ProfileCount, kComDevices};

// The script files of the user command buttons, "Command1" .. "Command7".
inline constexpr IndexedKey<KeyType::String> Command{"Command", "", CommandCount, kCommandDefaults};

// Section "History": the recent files.
inline constexpr StringListKey History{"History", Section::History, ""};

// Section "Find": the search histories.
inline constexpr StringKey Find{"Find", Section::Find, ""};
inline constexpr StringKey Replace{"Replace", Section::Find, ""};
inline constexpr StringKey FindFind{"FindFind", Section::Find, ""};

}  // namespace keys

}  // namespace kelvan::settings
