#pragma once
// The commands of the main window. Each has one action, found by this identity: a command
// that does not exist does not compile.

#include <array>
#include <cstddef>
#include <string_view>

namespace kelvan::view {

enum class Command : int {
  // File
  AcFileNew, AcFileOpen, AcFileInsert, AcFileSave, AcFileSaveAs, Environment, AcCommunication,
  Print1, AcClose,
  // Edit
  AcUndo, AcRedo, Cut1, Copy1, Paste1, AcFind, AcFindNext, AcFindPrev, AcReplace, AcJump,
  AcDelLine, AcOverWrite,
  // Run
  AcSingle, AcRun, AcPause, AcReset, SkipBtn, M00Btn, M01Btn, LoBtn, MidBtn, HiBtn,
  // View toggles of the tool bar
  InfoBtn, UVButton, UVHeightButton,
  // Reports
  AreaItem, ToolItem, DetailsItem, AcDump, ClipBordItem,
  // 2D and 3D tools
  SuperHoleItem, OptimizItem, IncConvItem, IncConvFixdItem, NullLineKillItem, Turn3DItem,
  XmirrItem, YmirrItem, Raph3DItem,
  // Restart from the caret's line, program compare
  AcRestart, AcCompare,
  // View
  AcZoom, AcUnZoom, AcHome, AcFit, AcEditDiv, AcAlpha, AcSubEdit,
  // Scripts and the user command buttons
  AcScriptEdit, AcScriptLoad, AcScriptRun, AcScriptStop, Ex1Btn, Ex2Btn, Ex3Btn, Ex4Btn,
  Ex5Btn, Ex6Btn, Ex7Btn,
  // Help
  Contents1, SearchforHelpOn1, About1,
  Count
};

inline constexpr size_t kCommandCount = static_cast<size_t>(Command::Count);

// The object name of each command's action, in the order of the enumeration above; the
// two must change together.
inline constexpr std::array<std::string_view, kCommandCount> kCommandNames = {
    "AcFileNew", "AcFileOpen", "AcFileInsert", "AcFileSave", "AcFileSaveAs", "Environment",
    "AcCommunication", "Print1", "AcClose",
    "AcUndo", "AcRedo", "Cut1", "Copy1", "Paste1", "AcFind", "AcFindNext", "AcFindPrev", "AcReplace",
    "AcJump", "AcDelLine", "AcOverWrite",
    "AcSingle", "AcRun", "AcPause", "AcReset", "SkipBtn", "M00Btn", "M01Btn", "LoBtn", "MidBtn",
    "HiBtn",
    "InfoBtn", "UVButton", "UVHeightButton",
    "AreaItem", "ToolItem", "DetailsItem", "AcDump", "ClipBordItem",
    "SuperHoleItem", "OptimizItem", "IncConvItem", "IncConvFixdItem", "NullLineKillItem",
    "Turn3DItem", "XmirrItem", "YmirrItem", "Raph3DItem",
    "AcRestart", "AcCompare",
    "AcZoom", "AcUnZoom", "AcHome", "AcFit", "AcEditDiv", "AcAlpha", "AcSubEdit",
    "AcScriptEdit", "AcScriptLoad", "AcScriptRun", "AcScriptStop", "Ex1Btn", "Ex2Btn", "Ex3Btn",
    "Ex4Btn", "Ex5Btn", "Ex6Btn", "Ex7Btn",
    "Contents1", "SearchforHelpOn1", "About1"};

// Every command has a name (a shorter list leaves empty names behind), and the two lists
// agree at their groups' ends.
constexpr bool AllCommandsNamed() {
  for (std::string_view n : kCommandNames)
    if (n.empty()) return false;
  return true;
}
static_assert(AllCommandsNamed(), "a command has no name in kCommandNames");
static_assert(kCommandNames[static_cast<size_t>(Command::AcOverWrite)] == "AcOverWrite");
static_assert(kCommandNames[static_cast<size_t>(Command::UVHeightButton)] == "UVHeightButton");
static_assert(kCommandNames[static_cast<size_t>(Command::Raph3DItem)] == "Raph3DItem");
static_assert(kCommandNames[static_cast<size_t>(Command::AcCompare)] == "AcCompare");
static_assert(kCommandNames[static_cast<size_t>(Command::AcSubEdit)] == "AcSubEdit");
static_assert(kCommandNames[static_cast<size_t>(Command::Ex7Btn)] == "Ex7Btn");

constexpr std::string_view CommandName(Command c) { return kCommandNames[static_cast<size_t>(c)]; }

// The user command button n (1..7).
constexpr Command UserCommand(int n) { return static_cast<Command>(static_cast<int>(Command::Ex1Btn) + n - 1); }

}  // namespace kelvan::view
