#include "run/resolve_command.h"

#include <vector>

#include "accounts/shell_folder_table.h"
#include "base/command_line_rules.h"
#include "base/format.h"

namespace tarn::run {
namespace {

// Room enough for any command line the system accepts (32767 units), so no
// replacement is ever cut short.
constexpr size_t kUncutCapacity = 32768;

// The machine's own classes: the merged view of HKEY_CLASSES_ROOT would let
// any user's HKCU\Software\Classes choose what an elevated run starts for a
// document.
constexpr TextView kMachineClasses = u"Software\\Classes\\";

Text ReadDefaultText(platform::Registry& registry, TextView subKey, uint32_t* type = nullptr) {
  platform::ScopedKey key = platform::ScopedKey::Open(
      registry, platform::kLocalMachine, Text(kMachineClasses) + Text(subKey), platform::kKeyRead);
  if (!key) return {};
  const auto value = registry.QueryValue(key.get(), u"");
  if (!value) return {};
  if (type) *type = value->type;
  return value->AsText();
}

enum class Placing { kAbsent, kPlaced, kRefused };

// One argument of the command: as the program reads it, and as it goes
// outside the template's quotes.
struct Argument {
  TextView text;
  Text written;
};

// The argument as the command writes it, when that reads back as the same
// argument on its own; else quoted as needed. A quote left open at the end
// of the command would take in whatever the template puts after it.
Text AsWritten(TextView written, TextView argument) {
  const std::vector<Text> again = SplitCommandLine(u"p " + Text(written));
  if (again.size() == 2 && again[1] == argument) return Text(written);
  return QuoteArgument(argument);
}

// Puts `argument` in place of every `placeholder` in `line`. Outside the
// template's quotes the argument goes in as the command writes it, its
// quotes kept: a script reads `A0>>"%MARK%"` differently without them, and
// the program started reads the same argument either way. Inside a quoted
// part (the usual "%1") it goes in bare: quotes of its own would close the
// template's part and leave a blank outside it. For the same reason an
// argument holding a quote is refused there: it would end the part and let
// the rest of the argument become arguments of their own to the registered
// program.
Placing PlaceArgument(Text& line, TextView placeholder, const Argument& argument) {
  Placing placing = Placing::kAbsent;
  size_t pos = FindIgnoreCase(line, placeholder, 0);
  while (pos != Text::npos) {
    placing = Placing::kPlaced;
    const bool inQuotes = InQuotedPart(line, pos);
    if (inQuotes && argument.text.find(u'"') != TextView::npos) return Placing::kRefused;
    const TextView text = inQuotes ? argument.text : TextView(argument.written);
    if (line.size() - placeholder.size() + text.size() > kUncutCapacity) break;
    line.replace(pos, placeholder.size(), text);
    pos = FindIgnoreCase(line, placeholder, pos + text.size());
  }
  return placing;
}

}  // namespace

TextView FindExtension(TextView path) {
  size_t point = TextView::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == u'\\' || path[i] == u' ') {
      point = TextView::npos;
    } else if (path[i] == u'.') {
      point = i;
    }
  }
  return point == TextView::npos ? TextView() : path.substr(point);
}

Text RegisteredOpenCommand(platform::Registry& registry, platform::Environment* environment,
                           TextView extension) {
  if (extension.empty()) return {};
  const Text fileType = CutToCapacity(ReadDefaultText(registry, extension), kFileTypeCapacity);
  if (fileType.empty()) return {};
  uint32_t type = platform::kRegSz;
  Text command = ReadDefaultText(registry, Format(u"%s\\Shell\\Open\\Command", {fileType}), &type);
  if (type == platform::kRegExpandSz && environment != nullptr) {
    command = environment->Expand(command, kUncutCapacity).text;
  }
  return command;
}

size_t ResolveCommandLine(platform::Registry& registry, platform::Environment* environment,
                          TextView command, Text& commandLine) {
  const std::vector<Text> arguments = SplitCommandLine(command);
  commandLine.clear();
  if (!arguments.empty()) {
    commandLine = RegisteredOpenCommand(registry, environment, FindExtension(arguments[0]));
  }
  if (commandLine.empty()) {
    commandLine = Text(command);
    return arguments.size();
  }
  const std::vector<TextView> written = SplitCommandLineAsWritten(command);
  Text collected;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const Text placeholder = Format(u"%%%u", {static_cast<unsigned>(i + 1)});
    const Argument argument{arguments[i], AsWritten(written[i], arguments[i])};
    const Placing placing = PlaceArgument(commandLine, placeholder, argument);
    if (placing == Placing::kRefused) {
      commandLine.clear();
      return arguments.size();
    }
    if (placing == Placing::kAbsent) collected += argument.written + u" ";
  }
  (void)ReplaceText(commandLine, kUncutCapacity, u"%*", collected);
  return arguments.size();
}

Text StartedCommandLine(platform::Registry& registry, platform::Environment& environment,
                        TextView command) {
  Text commandLine;
  (void)ResolveCommandLine(registry, &environment, platform::ExpandWhole(environment, command),
                           commandLine);
  return commandLine;
}

}  // namespace tarn::run
