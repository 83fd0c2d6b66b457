#include "app/machine_table.h"

namespace tarn::app {
namespace {

TextView Unquoted(TextView value) {
  value = TrimBlanks(value);
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

Text* FieldOf(MachineRow& row, TextView name) {
  Text* fields[] = {&row.computer, &row.workgroup, &row.owner, &row.org, &row.selection};
  for (size_t i = 0; i < kMachineFieldNames.size(); ++i) {
    if (EqualsIgnoreCase(name, kMachineFieldNames[i])) return fields[i];
  }
  return nullptr;
}

// Reads "Name=value; Name=value" into `row`; the problem, or empty.
Text ReadFields(TextView value, MachineRow& row) {
  while (!value.empty()) {
    const size_t end = value.find(u';');
    const TextView field = TrimBlanks(value.substr(0, end));
    value = end == TextView::npos ? TextView() : value.substr(end + 1);
    if (field.empty()) continue;
    const size_t equals = field.find(u'=');
    if (equals == TextView::npos) return u"a field without '=': " + Text(field);
    const TextView name = TrimBlanks(field.substr(0, equals));
    Text* target = FieldOf(row, name);
    if (target == nullptr) return u"an unknown field: " + Text(name);
    if (target->empty()) *target = Text(Unquoted(field.substr(equals + 1)));
  }
  return Text();
}

// The hexadecimal digits of an address or UUID, upper case.
Text HexDigits(TextView text) {
  Text digits;
  for (char16_t c : text) {
    if (c >= u'a' && c <= u'f') c = static_cast<char16_t>(c - u'a' + u'A');
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')) digits += c;
  }
  return digits;
}

bool Matches(const MachineRow& row, const MachineFacts& facts, TextView computerName) {
  switch (row.match) {
    case MachineMatch::kSerial:
      return !facts.serial.empty() && EqualsIgnoreCase(row.id, facts.serial);
    case MachineMatch::kUuid:
      return !facts.uuid.empty() && HexDigits(row.id) == HexDigits(facts.uuid);
    case MachineMatch::kMac:
      return !facts.mac.empty() && HexDigits(row.id) == HexDigits(facts.mac);
    case MachineMatch::kName:
      return !computerName.empty() && EqualsIgnoreCase(row.id, computerName);
  }
  return false;
}

}  // namespace

RowReading ReadMachineRow(TextView key, TextView value) {
  RowReading reading;
  const size_t colon = key.find(u':');
  const TextView word = TrimBlanks(key.substr(0, colon));
  MachineRow row;
  size_t index = 0;
  while (index < kMachineMatchWords.size() && !EqualsIgnoreCase(word, kMachineMatchWords[index])) {
    ++index;
  }
  if (colon == TextView::npos || index == kMachineMatchWords.size()) {
    reading.problem = u"a row's key is serial:, uuid:, mac: or name: and the machine's value";
    return reading;
  }
  row.match = static_cast<MachineMatch>(index);
  row.id = Text(TrimBlanks(key.substr(colon + 1)));
  if (row.id.empty()) {
    reading.problem = u"the row names no machine after ':'";
    return reading;
  }
  reading.problem = ReadFields(Unquoted(value), row);
  if (reading.problem.empty()) reading.row = std::move(row);
  return reading;
}

const MachineRow* FindMachineRow(std::span<const MachineRow> rows, const MachineFacts& facts,
                                 TextView computerName) {
  for (const MachineMatch match :
       {MachineMatch::kSerial, MachineMatch::kUuid, MachineMatch::kMac, MachineMatch::kName}) {
    for (const MachineRow& row : rows) {
      if (row.match == match && Matches(row, facts, computerName)) return &row;
    }
  }
  return nullptr;
}

}  // namespace tarn::app
