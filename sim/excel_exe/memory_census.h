// What the stand-in's process holds, counted by kind and size, so that a repeated action (an
// add-in turned off and on) shows what it leaves behind: heap blocks, committed regions, GDI
// objects and windows. The counts live in storage reserved once, so taking a census does not
// change the next one.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace tessaly::sim::exe {

class MemoryCensus {
 public:
  enum Kind : unsigned { kHeapBlock, kPrivate, kMapped, kImage, kGdiObject, kWindow };
  struct Totals {
    long heap_blocks = 0, gdi_objects = 0, windows = 0;
    unsigned long long committed_bytes = 0;
  };
  struct Moved {
    std::string what;  // "heap block of 32 bytes", "GDI object of type 7", "window Button"
    long by;
  };

  MemoryCensus();
  // Counts everything again; the totals of this census.
  Totals Take();
  // What moved by `least` or more between the census before the last and the last.
  std::vector<Moved> MovedSince(long least) const;

 private:
  using Count = std::pair<ULONG64, long>;  // kind << 32 | size, type or class atom; how many
  void Add(Kind kind, ULONG64 value);
  void CountHeaps();
  void CountRegions();
  void CountGdiObjects();
  void CountWindows();
  static BOOL CALLBACK CountWindow(HWND w, LPARAM census);
  static BOOL CALLBACK CountWindowTree(HWND w, LPARAM census);

  std::vector<Count> now_, before_;
};

}  // namespace tessaly::sim::exe
