#include "platform/sim/sim_pending_restart.h"

namespace tarn::sim {
namespace {

constexpr TextView kCurrentVersion = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr TextView kComputerNames = u"SYSTEM\\CurrentControlSet\\Control\\ComputerName";

}  // namespace

void MarkRestartPending(SimRegistry& registry, PendingRestart why) {
  const platform::RegKey machine = platform::kLocalMachine;
  switch (why) {
    case PendingRestart::kComponentServicing:
      (void)registry.Put(machine,
                         Text(kCurrentVersion) + u"\\Component Based Servicing\\RebootPending", u"",
                         platform::RegValue::FromText(u""));
      break;
    case PendingRestart::kWindowsUpdate:
      (void)registry.Put(machine,
                         Text(kCurrentVersion) + u"\\WindowsUpdate\\Auto Update\\RebootRequired",
                         u"", platform::RegValue::FromText(u""));
      break;
    case PendingRestart::kComputerRename:
      (void)registry.Put(machine, Text(kComputerNames) + u"\\ActiveComputerName", u"ComputerName",
                         platform::RegValue::FromText(u"TARN-PC"));
      (void)registry.Put(machine, Text(kComputerNames) + u"\\ComputerName", u"ComputerName",
                         platform::RegValue::FromText(u"NEW-PC"));
      break;
    case PendingRestart::kFileRename: {
      // A source with an empty target asks for the file to be deleted.
      Text list = u"\\??\\C:\\Windows\\Temp\\old.dll";
      list += Text(2, u'\0');
      (void)registry.Put(machine, u"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                         u"PendingFileRenameOperations",
                         platform::RegValue::FromText(list, platform::kRegMultiSz));
      break;
    }
  }
}

}  // namespace tarn::sim
