// The add-in with the real tag on the stand-in host's own desktop, with its timers in the test's hand.
#pragma once

#include <memory>
#include <string>

#include "addin/connect.h"
#include "sim/manual_timers.h"
#include "tests/addin/real_tag_parts.h"

namespace tessaly::testing {

using sim::SimExcel;

// The real tag on the host's own desktop.
struct DesktopWorld {
  explicit DesktopWorld(const std::string& version = "16.0")
      : host(SimExcel::Create(version)), parts(host, host->Desktop(), host->Desktop()) {
    host->AddWorkbook("Book1");
    DateCell("Book1", "B2");
    parts.module = &addin->Module();
    addin->OnConnection(host, kConnectStartup, std::make_shared<sim::SimAddInInstance>(), {Variant::i4(1)});
    // The host's message loop runs once the connection returns: the command bars are made then.
    Settle();
  }
  void DateCell(const std::string& book, const std::string& a1) {
    SimExcel::Cell(host->Sheet(book, "Sheet1"), a1).number_format = "yyyy-mm-dd";
  }
  frmTag& tag() { return *parts.real_tag; }
  // The tag's window as the desktop has it.
  const sim::SimDesktop::Window& tag_window() { return host->Desktop().Get(tag().Handle()); }
  bool Shown() { return tag().Displayed() && tag_window().visible; }
  ScreenRect Painted(const std::string& book, const std::string& a1) {
    auto a = sim::address::Parse(a1, host->MaxRow(), host->MaxColumn())[0];
    sim::WorkbookModel& b = host->Book(book);
    sim::WindowLayout layout = host->Layout(b);
    return sim::CellRect(host->Axes(*b.sheets[0]), layout, sim::PaneShowing(layout, a.r1, a.c1), a.r1, a.c1);
  }

  // The message loop left to itself until it has nothing to do: the paints first, then the timers.
  // The rounds it took; a watch that keeps itself busy takes them all.
  int Settle() {
    int rounds = 0;
    for (; rounds < kMaxRounds; ++rounds) {
      const int painted = host->Desktop().PaintPending();
      const int fired = timers.fired;
      timers.Elapse(20);
      if (painted == 0 && timers.fired == fired) break;
    }
    return rounds;
  }
  static constexpr int kMaxRounds = 20;

  std::shared_ptr<SimExcel> host;
  FakePlatform platform;
  RealTagParts parts;
  sim::ManualTimers timers;
  std::unique_ptr<Connect> addin = std::make_unique<Connect>(ConnectServices{
      platform.services(), host->Desktop(), host->Desktop(), host->Desktop(), parts, "C:\\Tessaly", &timers});
};

}  // namespace tessaly::testing
