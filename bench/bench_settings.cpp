// Speed of the settings object: reading a value, and loading the whole catalogue.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "posix/posix_settings.h"
#include "settings/init_system.h"
#include "settings/option_catalogue.h"
#include "settings/stored_text.h"
#include "tests/settings/fakes.h"

namespace tessaly {
namespace {

// A settings object with the whole catalogue registered over the given store.
std::unique_ptr<cUtilRegMan> catalogue(testing::FakePlatform& p, IUserSettings& store) {
  SettingsServices s{store, p.files, p.shell, p.system, p.messages, p.locale, p.clock};
  auto reg = std::make_unique<cUtilRegMan>(s, "Tessaly", "C:\\ProgramData\\Brenmoor\\Tessaly\\");
  reg->InitThisObject(opt::kMaxEntry, kOptionSection);
  for (const OptionSpec& o : OptionCatalogue())
    reg->InitValue(o.index, std::string(o.key), o.type, DefaultValue(o, "M/d/yyyy", "C:\\Addins\\"), o.store);
  return reg;
}

// Every option stored with its default's text, as after a user saved the options dialog.
void populate(IUserSettings& store) {
  for (const OptionSpec& o : OptionCatalogue())
    store.save("Tessaly", kOptionSection, std::string(o.key), StoreText(DefaultValue(o, "M/d/yyyy", "C:\\Addins\\")));
  store.save("Tessaly", kOptionSection, "FirstTimeRun", "0");
}

void BM_ValueRead(benchmark::State& state) {
  testing::FakePlatform p;
  auto reg = catalogue(p, p.store);
  short i = 3;
  for (auto _ : state) {
    benchmark::DoNotOptimize(reg->Value(i));
    i = i == opt::kMaxEntry ? 3 : static_cast<short>(i + 1);
  }
}
BENCHMARK(BM_ValueRead);

void BM_BoolRead(benchmark::State& state) {
  testing::FakePlatform p;
  auto reg = catalogue(p, p.store);
  for (auto _ : state) benchmark::DoNotOptimize(reg->Bool(opt::ActiveForCellFormat));
}
BENCHMARK(BM_BoolRead);

void BM_LoadAllMemoryStore(benchmark::State& state) {
  testing::FakePlatform p;
  populate(p.store);
  for (auto _ : state) {
    state.PauseTiming();
    auto reg = catalogue(p, p.store);
    state.ResumeTiming();
    reg->LoadAll();
    benchmark::DoNotOptimize(reg->Value(opt::GTLCSTEP));
  }
}
BENCHMARK(BM_LoadAllMemoryStore)->Unit(benchmark::kMicrosecond);

void BM_LoadAllSettingsFile(benchmark::State& state) {
  auto root = std::filesystem::temp_directory_path() / "tessaly-bench-settings";
  std::filesystem::remove_all(root);
  posix::FileUserSettings store(root.string());
  populate(store);
  testing::FakePlatform p;
  for (auto _ : state) {
    state.PauseTiming();
    auto reg = catalogue(p, store);
    state.ResumeTiming();
    reg->LoadAll();
    benchmark::DoNotOptimize(reg->Value(opt::GTLCSTEP));
  }
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_LoadAllSettingsFile)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessaly

BENCHMARK_MAIN();
