// The reference tables of docs/configuration.md, made from the key table.
#include <array>
#include <string>

#include "app/configuration_keys.h"

namespace tarn::app {
namespace {

struct SectionTitle {
  SectionKind kind;
  const char* heading;
};

constexpr std::array<SectionTitle, 4> kTitled = {{
    {SectionKind::kSettings, "### `[settings]`"},
    {SectionKind::kUsers, "### `[users]`"},
    {SectionKind::kMachines, "### `[machines]`"},
    {SectionKind::kSoftware, "### Software sections (every other section)"},
}};

const char* KindName(ValueKind kind) {
  switch (kind) {
    case ValueKind::kText:
      return "text";
    case ValueKind::kPassword:
      return "password";
    case ValueKind::kNumber:
      return "number";
    case ValueKind::kSwitch:
      return "switch";
    case ValueKind::kSeconds:
      return "seconds";
    case ValueKind::kExitCodes:
      return "exit codes";
    case ValueKind::kTokens:
      return "tokens";
    case ValueKind::kTest:
      return "test";
    case ValueKind::kExpression:
      return "expression";
    case ValueKind::kCommand:
      return "command";
    case ValueKind::kFile:
      return "file";
    case ValueKind::kComputerName:
      return "computer name";
    case ValueKind::kAccountName:
      return "account name";
    case ValueKind::kMachineFields:
      return "machine fields";
  }
  return "text";
}

std::string KeyPattern(const KeyRule& rule) {
  const std::string base = ToUtf8(rule.base);
  switch (rule.form) {
    case KeyForm::kPlain:
    case KeyForm::kSection:
      return base;
    case KeyForm::kPageIndex:
      return base + ".<page>";
    case KeyForm::kAccount:
      return base + ".<n>";
    case KeyForm::kItem:
      return base + ".<P>";
    case KeyForm::kItemTest:
      return base + ".<P>.<N>";
    case KeyForm::kShellFolder:
      return base + ".<n>";
    case KeyForm::kMachineRow:
      return base + ":<id>";
  }
  return base;
}

// A Markdown table cell: a "|" would end the cell.
std::string Cell(std::string text) {
  for (size_t at = text.find('|'); at != std::string::npos; at = text.find('|', at + 2)) {
    text.replace(at, 1, "\\|");
  }
  return text;
}

}  // namespace

std::string ConfigurationReferenceTables() {
  std::string out;
  for (const SectionTitle& title : kTitled) {
    out += std::string(title.heading) + "\n\n| Key | Value | Meaning |\n|---|---|---|\n";
    for (const KeyRule& rule : ConfigurationKeys()) {
      if (rule.section != title.kind) continue;
      std::string where = rule.form == KeyForm::kSection ? " (the section's own)" : "";
      out += "| `" + KeyPattern(rule) + "`" + where + " | " + KindName(rule.kind) + " | " +
             Cell(ToUtf8(rule.meaning)) + " |\n";
    }
    out += "\n";
  }
  return out;
}

}  // namespace tarn::app
