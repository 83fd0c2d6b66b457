// Hostile [machines] rows and computer name patterns: keys without ':',
// fields without '=', quotes that do not close, '%' pairs and cuts with any
// numbers. Reading a row, matching it, expanding a pattern and fitting the
// name must answer, and a fitted name must be one Windows takes.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/machine_pattern.h"
#include "app/machine_table.h"
#include "app/name_rules.h"

using namespace tarn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Text text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const size_t split = text.find(u'=');
  const TextView key = TextView(text).substr(0, split);
  const TextView value = split == Text::npos ? TextView() : TextView(text).substr(split + 1);
  const app::RowReading reading = app::ReadMachineRow(key, value);
  if (reading.row.has_value() != reading.problem.empty()) __builtin_trap();
  const app::MachineFacts facts = {u"CZC1234ABCDEF", u"00112233-4455-6677-8899-AABBCCDDEEFF",
                                   u"00-1A-2B-3C-4D-5E", u"Contoso", u"Laptop 14"};
  std::vector<app::MachineRow> rows;
  if (reading.row) rows.push_back(*reading.row);
  (void)app::FindMachineRow(rows, facts, key);
  const app::FittedName fitted = app::FitComputerName(app::ExpandMachinePattern(text, facts));
  if (!fitted.name.empty() && (fitted.name.size() > app::kComputerNameMaxLength ||
                               app::CheckComputerName(fitted.name) != app::NameCheck::kValid)) {
    __builtin_trap();
  }
  (void)app::UsesMachineVariables(text);
  return 0;
}
