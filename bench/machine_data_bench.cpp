// What per-machine data adds to start-up: the firmware table parsed, the
// [machines] rows of a fleet read and matched, the variables set and the
// name fitted, on the simulated machine. The match is the table's last row,
// so every row is read and compared. A configuration without [machines]
// pays only for the two profile reads that find nothing.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/sim/machine.h"
#include "platform/smbios_table.h"
#include "startup/machine_data.h"
#include "support/smbios_builder.h"

namespace {

using namespace tarn;

constexpr char16_t kIni[] = u"C:\\tarn\\install.ini";

std::vector<uint8_t> FirmwareTable() {
  return testing::SmbiosBuilder()
      .Add(0, {1, 2, 0, 0}, {"Vendor", "1.0"})
      .System("Contoso", "Laptop 14 G8", "CZC000999", testing::kStoredUuid)
      .Board(2, "BOARD-1")
      .Board(3, "CHASSIS-1")
      .EndOfTable()
      .Bytes();
}

// A fleet of `rows` machines by serial number; this machine is the last.
std::string Fleet(int rows) {
  std::string text = "[settings]\r\nWorkgroup=FLEET\r\n[machines]\r\n";
  for (int row = 0; row < rows; ++row) {
    text += "serial:CZC" + std::to_string(row + 1000000).substr(1) +
            " = Computer=PC-%SERIAL:~-6%; Workgroup=WG" + std::to_string(row % 7) +
            "; Owner=Owner " + std::to_string(row) + "; Org=Example; Selection=office\r\n";
  }
  return text;
}

void Run(benchmark::State& state, const std::string& ini) {
  sim::Machine machine;
  machine.system().SetFirmwareTable(FirmwareTable());
  machine.system().SetAdapterAddress(std::array<uint8_t, 6>{0, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  (void)machine.files().MakeDirectories(u"C:\\tarn");
  if (!machine.files().PutTextFile(kIni, ini)) state.SkipWithError("cannot write the file");
  AppContext app(machine.platform());
  app.config.IniPath = kIni;
  for (auto _ : state) {
    app.config.Computer = u"";
    startup::ApplyMachineData(app, {});
    benchmark::DoNotOptimize(app.config.Computer.view().data());
  }
}

void BM_MachineDataFromFleetTable(benchmark::State& state) {
  Run(state, Fleet(static_cast<int>(state.range(0))));
  state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_MachineDataFromFleetTable)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_WithoutMachineData(benchmark::State& state) {
  Run(state, "[settings]\r\nComputer=PC-1\r\n[Software]\r\ncommand.0=a.exe\r\n");
}
BENCHMARK(BM_WithoutMachineData)->Unit(benchmark::kMicrosecond);

void BM_FirmwareTableParse(benchmark::State& state) {
  const std::vector<uint8_t> table = FirmwareTable();
  for (auto _ : state) benchmark::DoNotOptimize(platform::ReadFirmwareIdentity(table));
}
BENCHMARK(BM_FirmwareTableParse)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
