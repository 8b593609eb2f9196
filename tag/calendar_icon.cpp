// The built-in calendar icon as a picture in characters, turned into pixels once.
#include "tag/calendar_icon.h"

namespace tessaly {

namespace {

// A leaf of a wall calendar: two rings, a red header and a grid of days with one day marked.
constexpr const char* kPicture[kCalendarIconSize] = {
    "................",
    "...o......o.....",
    ".##o######o###..",
    ".#RoRRRRRRoRR#..",
    ".#RRRRRRRRRRR#..",
    ".#############..",
    ".#W-W-W-W-W-W#..",
    ".#-----------#..",
    ".#W-W-W-W-B-W#..",
    ".#-----------#..",
    ".#W-W-W-W-W-W#..",
    ".#-----------#..",
    ".#W-W-W-W-W-W#..",
    ".#############..",
    "................",
    "................",
};

constexpr std::uint32_t Colour(char c) {
  switch (c) {
    case '#': return 0xFF404040;  // frame
    case 'o': return 0xFF808080;  // rings
    case 'R': return 0xFFC83228;  // header
    case 'W': return 0xFFFFFFFF;  // day
    case '-': return 0xFFC0C0C0;  // grid lines
    case 'B': return 0xFF2850C8;  // the marked day
    default: return 0x00000000;
  }
}

}  // namespace

const std::array<std::uint32_t, kCalendarIconSize * kCalendarIconSize>& BuiltinCalendarIcon() {
  static const auto pixels = [] {
    std::array<std::uint32_t, kCalendarIconSize * kCalendarIconSize> p{};
    for (int y = 0; y < kCalendarIconSize; ++y)
      for (int x = 0; x < kCalendarIconSize; ++x) p[y * kCalendarIconSize + x] = Colour(kPicture[y][x]);
    return p;
  }();
  return pixels;
}

}  // namespace tessaly
