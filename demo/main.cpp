// Runs the add-in's option start-up against this machine's real per-user store and shows the
// options in effect, the start-up values and every message box the user would have seen.
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>

#include "date/serial_date.h"
#include "host/error_policy.h"
#include "demo/session.h"
#include "host/platform_settings.h"
#include "settings/init_system.h"
#include "sim/recording_message_box.h"

using namespace tessaly;

namespace {

const char* type_name(short type) {
  switch (type) {
    case 2: return "Integer";
    case 3: return "Long";
    case 8: return "String";
    case 11: return "Boolean";
    default: return "?";
  }
}

// Until the date engine's parser is wired in: year-month-day texts only.
std::string folder_of_program(const char* argv0) {
  std::error_code ec;
  std::filesystem::path exe = argv0;
#ifdef __linux__
  exe = std::filesystem::canonical("/proc/self/exe", ec);
  if (ec) exe = argv0;
#endif
  std::string dir = std::filesystem::absolute(exe, ec).parent_path().string();
  char sep = MakeFileSystem()->separator();
  return dir.empty() || dir.back() == sep ? dir : dir + sep;
}

}  // namespace

int main(int, char** argv) {
  std::setlocale(LC_ALL, "");
  auto store = MakeUserSettings();
  auto files = MakeFileSystem();
  auto shell = MakeShellFolders();
  auto system = MakeSystemInfo();
  auto locale = MakeLocale();
  auto clock = MakeClock();
  sim::RecordingMessageBox boxes;
  SettingsServices services{*store, *files, *shell, *system, boxes, *locale, *clock};

  mVantry m;
  m.AddInFolder = folder_of_program(argv[0]);
  SkipFailures step;
  step([&] { ReadFirstTimeRun(m, *store); });
  step([&] { InitSystem(m, services); });
  if (!m.RegMan) return 1;
  const cUtilRegMan& reg = *m.RegMan;

  std::printf("Options in effect (section %s):\n", reg.SecName().c_str());
  std::printf("%5s  %-40s %-8s %s\n", "index", "key", "type", "value");
  for (short i = 0; i <= reg.MaxEntry(); ++i) {
    if (reg.ValueType(i) == 0) continue;
    std::printf("%5d  %-40s %-8s %s%s\n", i, reg.Name(i).c_str(), type_name(reg.ValueType(i)),
                reg.Value(i).to_text().c_str(), reg.StoreType(i) == kStorePerMachine ? "   (per machine)" : "");
  }

  DateParts today = serial::to_parts(m.CurrentDefaultDate);
  std::printf("\nStart-up values:\n");
  std::printf("  ProductName         %s\n", m.ProductName.c_str());
  std::printf("  FirstRun            %s\n", m.FirstRun ? "true" : "false");
  std::printf("  AddInFolder         %s\n", m.AddInFolder.c_str());
  std::printf("  HelpFilePath        %s\n", m.HelpFilePath.c_str());
  std::printf("  UserDataFolder      %s\n", m.UserDataFolder.c_str());
  std::printf("  MachineDataFolder   %s\n", m.MachineDataFolder.c_str());
  std::printf("  Machine file        %s\n", reg.MachineFilePath().c_str());
  std::printf("  Windows version     %u.%u\n", m.WinVersion.major, m.WinVersion.minor);
  std::printf("  FormatDelimiter     %s\n", m.FormatDelimiter.c_str());
  std::printf("  CurrentDefaultDate  %.0f (%04d-%02d-%02d)\n", m.CurrentDefaultDate, today.year, today.month, today.day);
  std::printf("  UrlHome             %s\n", m.UrlHome.c_str());
  std::printf("  UrlProduct          %s\n", m.UrlProduct.c_str());

  std::printf("\nMessage boxes raised: %zu\n", boxes.shown().size());
  for (const MessageRequest& b : boxes.shown()) {
    std::string text = b.text;
    for (std::size_t p; (p = text.find("\r\n")) != std::string::npos;) text.replace(p, 2, "\n    ");
    std::printf("  [%s] %s\n", b.title.c_str(), text.c_str());
  }
  demo::RunStandInSession();
  return 0;
}
