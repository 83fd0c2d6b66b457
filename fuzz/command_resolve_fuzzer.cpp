// Splits and resolves arbitrary commands: no crash, every quoted argument
// reads back unchanged, the argument count matches the split, an
// unassociated command is kept exactly as written, and a program started
// through the machine's "%1" %* template reads back as the same arguments.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/command_line_rules.h"
#include "platform/sim/machine.h"
#include "run/resolve_command.h"

namespace {

tarn::sim::Machine& MachineWithAssociations() {
  static tarn::sim::Machine* machine = [] {
    auto* m = new tarn::sim::Machine();
    using tarn::platform::RegValue;
    auto& registry = m->registry();
    (void)registry.Put(tarn::platform::kClassesRoot, u".txt", u"", RegValue::FromText(u"txtfile"));
    (void)registry.Put(tarn::platform::kClassesRoot, u"txtfile\\Shell\\Open\\Command", u"",
                       RegValue::FromText(u"notepad.exe %1 %2 %* %10"));
    return m;
  }();
  return *machine;
}

void CheckQuoting(const std::vector<tarn::Text>& arguments) {
  for (size_t i = 1; i < arguments.size(); ++i) {
    const tarn::Text line = u"p " + tarn::QuoteArgument(arguments[i]);
    const auto again = tarn::SplitCommandLine(line);
    if (again.size() != 2 || again[1] != arguments[i]) std::abort();
  }
}

// True when the program template applies and nothing can disturb the read
// back: a placeholder inside an argument is replaced again, and a program
// name cannot hold a double quote.
bool ReadsBackThroughProgramTemplate(const std::vector<tarn::Text>& arguments) {
  if (!tarn::EqualsIgnoreCase(tarn::run::FindExtension(arguments[0]), u".exe")) return false;
  if (arguments[0].find(u'"') != tarn::Text::npos) return false;
  for (const tarn::Text& argument : arguments) {
    if (argument.find(u'%') != tarn::Text::npos) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text command(size / 2, u'\0');
  std::memcpy(command.data(), data, command.size() * 2);
  const std::vector<tarn::Text> arguments = tarn::SplitCommandLine(command);
  CheckQuoting(arguments);
  tarn::sim::Machine& machine = MachineWithAssociations();
  tarn::Text line;
  const size_t count =
      tarn::run::ResolveCommandLine(machine.registry(), &machine.environment(), command, line);
  if (count != arguments.size()) std::abort();
  const bool associated = !arguments.empty() &&
                          !tarn::run::RegisteredOpenCommand(machine.registry(), nullptr,
                                                            tarn::run::FindExtension(arguments[0]))
                               .empty();
  if (!associated && line != command) std::abort();
  if (associated && ReadsBackThroughProgramTemplate(arguments) &&
      tarn::SplitCommandLine(line) != arguments) {
    std::abort();
  }
  return 0;
}
