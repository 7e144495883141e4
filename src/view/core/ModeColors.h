#pragma once
// The colours of the path view, as $BBGGRR values, in normal mode (the screen) and white
// mode (the clipboard copy).

#include <cstdint>

namespace kelvan::view {

namespace bgr {
inline constexpr uint32_t Black = 0x000000;
inline constexpr uint32_t White = 0xFFFFFF;
inline constexpr uint32_t Navy = 0x800000;
inline constexpr uint32_t Silver = 0xC0C0C0;
inline constexpr uint32_t Yellow = 0x00FFFF;
inline constexpr uint32_t Olive = 0x008080;
inline constexpr uint32_t Purple = 0x800080;
inline constexpr uint32_t Teal = 0x808000;
inline constexpr uint32_t Blue = 0xFF0000;
inline constexpr uint32_t Green = 0x008000;
inline constexpr uint32_t Red = 0x0000FF;
}  // namespace bgr

struct ModeColors {
  uint32_t Background;
  uint32_t Frame;       // grid and extent box
  uint32_t Rapid;       // rapid moves
  uint32_t Cutting;     // feed moves, arcs, taper moves, drilling strokes
  uint32_t RefReturn;   // reference-point returns
  uint32_t DrillRapid;  // the rapid legs of a drilling cycle: yellow in both modes
  uint32_t Hole;        // hole cylinders

  static constexpr ModeColors For(bool whiteMode) {
    if (whiteMode)
      return {bgr::White, bgr::Silver, bgr::Olive, bgr::Black, bgr::Purple, bgr::Yellow, bgr::Teal};
    return {bgr::Black, bgr::Navy, bgr::Yellow, bgr::Silver, bgr::Purple, bgr::Yellow, bgr::Teal};
  }
};

}  // namespace kelvan::view
