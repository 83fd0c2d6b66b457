// Checks that no two controls of one dialog, wizard page or menu share an
// access key in any language: a shared key moves to the first of them only,
// so the second can never be reached with it. The dialog templates are read
// from the resource scripts, the texts from every language source present,
// each control showing its translation or, without one, its template text.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"

#ifndef TARN_SOURCE_DIR
#error "TARN_SOURCE_DIR must name the repository root"
#endif

namespace tarn {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

fs::path RepoPath(const char* relative) {
  return fs::path(TARN_SOURCE_DIR) / relative;
}

// The numbers of resource.h by name, aliases resolved, plus the two the
// scripts take from the system's headers.
std::map<std::string, uint32_t> ResourceNumbers() {
  std::map<std::string, uint32_t> numbers = {{"IDOK", 1}, {"IDCANCEL", 2}};
  std::istringstream lines(ReadBytes(RepoPath("resources/resource.h")));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string directive, name, value;
    words >> directive >> name >> value;
    if (directive != "#define" || value.empty()) continue;
    if (value.front() == '(' && value.back() == ')') value = value.substr(1, value.size() - 2);
    if (value[0] == '-' || (value[0] >= '0' && value[0] <= '9')) {
      numbers[name] = static_cast<uint32_t>(std::stol(value)) & 0xFFFFu;
    } else if (numbers.count(value)) {
      numbers[name] = numbers[value];
    }
  }
  return numbers;
}

// One control or menu item that may carry an access key.
struct Labelled {
  std::string name;  // its identifier in the script
  Text templateText;
};

// A window whose controls share one set of access keys; for a dialog also
// its template statements, in the template's (the tab) order.
struct KeyScope {
  std::string name;
  std::vector<Labelled> controls;
  std::vector<std::vector<std::string>> statements;
};

// A resource script as words: quoted strings (kept with a leading quote),
// names, numbers and the punctuation between them; comments dropped.
std::vector<std::string> Words(const std::string& script) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < script.size()) {
    const char c = script[i];
    if (script.compare(i, 2, "/*") == 0) {
      const size_t end = script.find("*/", i + 2);
      i = end == std::string::npos ? script.size() : end + 2;
    } else if (script.compare(i, 2, "//") == 0 || c == '#') {
      i = script.find('\n', i);
      if (i == std::string::npos) i = script.size();
    } else if (c == '"') {
      std::string text = "\"";
      for (++i; i < script.size(); ++i) {
        if (script[i] != '"') {
          text.push_back(script[i]);
        } else if (i + 1 < script.size() && script[i + 1] == '"') {
          text.push_back('"');
          ++i;
        } else {
          ++i;
          break;
        }
      }
      words.push_back(text);
    } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      const size_t start = i;
      while (i < script.size() &&
             (std::isalnum(static_cast<unsigned char>(script[i])) || script[i] == '_')) {
        ++i;
      }
      words.push_back(script.substr(start, i - start));
    } else {
      if (!std::isspace(static_cast<unsigned char>(c))) words.emplace_back(1, c);
      ++i;
    }
  }
  return words;
}

bool IsQuoted(const std::string& word) {
  return !word.empty() && word[0] == '"';
}

// Statements of a dialog template whose first field is the control's text.
bool ShowsText(const std::string& keyword) {
  for (const char* kind :
       {"LTEXT", "RTEXT", "CTEXT", "PUSHBUTTON", "DEFPUSHBUTTON", "CHECKBOX", "AUTOCHECKBOX",
        "AUTO3STATE", "STATE3", "RADIOBUTTON", "AUTORADIOBUTTON", "GROUPBOX", "CONTROL"}) {
    if (keyword == kind) return true;
  }
  return false;
}

bool IsStatement(const std::string& word) {
  return ShowsText(word) || word == "EDITTEXT" || word == "COMBOBOX" || word == "LISTBOX" ||
         word == "ICON" || word == "END";
}

// The control of one template statement, when its text can hold an access
// key: statics without SS_NOPREFIX, buttons; not lists, edits or links.
std::optional<Labelled> ControlOf(const std::vector<std::string>& statement) {
  if (statement.size() < 4 || !ShowsText(statement[0]) || !IsQuoted(statement[1])) {
    return std::nullopt;
  }
  for (const std::string& word : statement) {
    if (word == "SS_NOPREFIX") return std::nullopt;
  }
  if (statement[0] == "CONTROL") {
    // CONTROL text, id, class, style, ...
    if (statement.size() < 6) return std::nullopt;
    const std::string& kind = statement[5];
    if (kind != "\"Static" && kind != "\"Button" && kind != "WC_BUTTON" && kind != "WC_STATIC") {
      return std::nullopt;
    }
  }
  return Labelled{statement[3], FromUtf8(statement[1].substr(1))};
}

// Every DIALOGEX and every menu popup of the scripts in resources/.
std::vector<KeyScope> ReadScopes() {
  std::vector<KeyScope> scopes;
  for (const fs::directory_entry& file : fs::directory_iterator(RepoPath("resources"))) {
    if (file.path().extension() != ".rc") continue;
    const std::vector<std::string> words = Words(ReadBytes(file.path()));
    KeyScope* scope = nullptr;
    bool inDialog = false;
    for (size_t i = 0; i < words.size(); ++i) {
      if (i + 1 < words.size() && (words[i + 1] == "DIALOGEX" || words[i + 1] == "DIALOG")) {
        scopes.push_back({words[i], {}, {}});
        scope = &scopes.back();
        inDialog = true;
      } else if (words[i] == "POPUP" && i + 1 < words.size()) {
        scopes.push_back({"menu " + words[i + 1].substr(1), {}, {}});
        scope = &scopes.back();
        inDialog = false;
      } else if (scope != nullptr && !inDialog && words[i] == "MENUITEM" && i + 3 < words.size() &&
                 IsQuoted(words[i + 1])) {
        scope->controls.push_back({words[i + 3], FromUtf8(words[i + 1].substr(1))});
      } else if (scope != nullptr && inDialog && IsStatement(words[i]) && words[i] != "END") {
        std::vector<std::string> statement;
        size_t j = i;
        do {
          statement.push_back(words[j++]);
        } while (j < words.size() && !IsStatement(words[j]));
        if (const auto control = ControlOf(statement)) scope->controls.push_back(*control);
        scope->statements.push_back(statement);
        i = j - 1;
      } else if (inDialog && words[i] == "END") {
        inDialog = false;
        scope = nullptr;
      }
    }
  }
  return scopes;
}

// The buttons of the window that holds a page: the wizard's Back, Next,
// Finish and Cancel beside each wizard page, the property sheet's OK and
// Cancel beside each page of the account sheet. They have no template of
// their own; the frame gives them the language's texts.
std::vector<std::string> FrameButtonsOf(const std::string& dialog) {
  for (const char* page :
       {"IDD_SETTINGS_PAGE", "IDD_ACCOUNTS_PAGE", "IDD_SOFTWARE_PAGE", "IDD_STATUS_PAGE"}) {
    if (dialog == page) {
      return {"IDC_SHEET_BACK_BUTTON", "IDC_SHEET_NEXT_BUTTON", "IDC_SHEET_FINISH_BUTTON",
              "IDC_CANCEL_BUTTON"};
    }
  }
  for (const char* page :
       {"IDD_ACCOUNT", "IDD_SHELL_FOLDERS", "IDD_ENVIRONMENT", "IDD_DELETED_ACCOUNT"}) {
    if (dialog == page) return {"IDC_OK_BUTTON", "IDC_CANCEL_BUTTON"};
  }
  return {};
}

// Where a template statement places its control, in dialog units, and
// whether Tab stops there.
struct Placement {
  int x = 0;
  int y = 0;
  bool tabStop = false;
  bool hidden = false;
};

Placement PlacementOf(const std::vector<std::string>& statement) {
  std::vector<std::vector<std::string>> fields(1);
  for (size_t i = 1; i < statement.size(); ++i) {
    if (statement[i] == ",") {
      fields.emplace_back();
    } else {
      fields.back().push_back(statement[i]);
    }
  }
  const std::string& kind = statement[0];
  const size_t xField = kind == "CONTROL" ? 4 : ShowsText(kind) ? 2 : 1;
  Placement placement;
  if (fields.size() > xField + 1 && !fields[xField].empty() && !fields[xField + 1].empty()) {
    placement.x = std::atoi(fields[xField][0].c_str());
    placement.y = std::atoi(fields[xField + 1][0].c_str());
  }
  // The resource compiler gives these kinds a tab stop of their own.
  bool tabStop = kind == "EDITTEXT" || kind == "COMBOBOX" || kind == "PUSHBUTTON" ||
                 kind == "DEFPUSHBUTTON" || kind == "AUTOCHECKBOX" || kind == "AUTO3STATE" ||
                 kind == "CHECKBOX";
  for (size_t i = 0; i < statement.size(); ++i) {
    const bool negated = i > 0 && statement[i - 1] == "NOT";
    if (statement[i] == "WS_TABSTOP") tabStop = !negated;
    if (statement[i] == "WS_VISIBLE" && negated) placement.hidden = true;
  }
  placement.tabStop = tabStop;
  return placement;
}

// Controls closer than a line of text stand in one row.
constexpr int kRowHeight = 8;

// The texts of one language source: "number=value" lines.
std::map<uint32_t, Text> ReadLanguage(const fs::path& path) {
  std::map<uint32_t, Text> texts;
  std::istringstream lines(ReadBytes(path));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t equals = line.find('=');
    if (line.empty() || line[0] == ';' || equals == std::string::npos || equals == 0) continue;
    if (line.find_first_not_of("0123456789") != equals) continue;
    texts[static_cast<uint32_t>(std::stoul(line.substr(0, equals)))] =
        FromUtf8(line.substr(equals + 1));
  }
  return texts;
}

// The key a text underlines, folded to one case; none without one. "&&" is
// an ampersand shown as it is.
std::optional<char16_t> AccessKey(TextView text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] != u'&') return FoldCase(text[i + 1]);
    ++i;
  }
  return std::nullopt;
}

TEST(AccessKeysTest, TheScriptsAreReadWithTheirDialogsPagesAndMenus) {
  // Guards the reading itself: a script the reader misses would pass below.
  std::map<std::string, size_t> found;
  for (const KeyScope& scope : ReadScopes()) found[scope.name] = scope.controls.size();
  for (const char* name : {"IDD_SETTINGS_PAGE", "IDD_SOFTWARE_PAGE", "IDD_MISSING_VOLUME",
                           "IDD_ENVIRONMENT", "IDD_ACCOUNT_CHOOSER", "menu Accounts"}) {
    EXPECT_GT(found[name], 0u) << name << " not read from resources/*.rc";
  }
  EXPECT_GE(found.size(), 17u);
}

TEST(AccessKeysTest, NoTwoControlsOfOneWindowShareAKeyInAnyLanguage) {
  const std::map<std::string, uint32_t> numbers = ResourceNumbers();
  std::vector<fs::path> languages;
  for (const fs::directory_entry& file : fs::directory_iterator(RepoPath("resources/languages"))) {
    if (file.path().extension() == ".txt") languages.push_back(file.path());
  }
  ASSERT_GE(languages.size(), 2u);
  const std::vector<KeyScope> scopes = ReadScopes();
  for (const fs::path& path : languages) {
    const std::string language = path.stem().string();
    const std::map<uint32_t, Text> texts = ReadLanguage(path);
    const auto textOf = [&](const std::string& name, const Text& fallback) {
      const auto number = numbers.find(name);
      if (number == numbers.end() || name == "IDC_STATIC") return fallback;
      const auto text = texts.find(number->second);
      return text == texts.end() ? fallback : text->second;
    };
    for (const KeyScope& scope : scopes) {
      std::vector<Labelled> controls = scope.controls;
      for (const std::string& button : FrameButtonsOf(scope.name)) controls.push_back({button, {}});
      std::map<char16_t, std::pair<std::string, Text>> owners;
      for (const Labelled& control : controls) {
        const Text text = textOf(control.name, control.templateText);
        const std::optional<char16_t> key = AccessKey(text);
        if (!key) continue;
        const auto [owner, fresh] = owners.emplace(*key, std::pair{control.name, text});
        EXPECT_TRUE(fresh) << language << ": " << scope.name << " gives access key '"
                           << ToUtf8(Text(1, *key)) << "' to " << owner->second.first << " ("
                           << ToUtf8(owner->second.second) << ") and " << control.name << " ("
                           << ToUtf8(text) << ")";
      }
    }
  }
}

TEST(DialogTabOrderTest, TabVisitsEveryDialogsControlsInReadingOrder) {
  // Left to right along a row, rows from the top: a screen reader reads a
  // dialog in the order Tab goes through it. The pages move their controls
  // when resized but keep the template's arrangement.
  for (const KeyScope& scope : ReadScopes()) {
    const Placement* previous = nullptr;
    std::string previousName;
    std::vector<Placement> placements;
    placements.reserve(scope.statements.size());
    for (const std::vector<std::string>& statement : scope.statements) {
      placements.push_back(PlacementOf(statement));
      const Placement& here = placements.back();
      if (!here.tabStop || here.hidden) continue;
      const std::string name =
          statement.size() > 3 ? statement[ShowsText(statement[0]) ? 3 : 1] : statement[0];
      if (previous != nullptr) {
        const bool rowAbove = here.y + kRowHeight <= previous->y;
        const bool leftInRow = std::abs(here.y - previous->y) < kRowHeight && here.x < previous->x;
        EXPECT_FALSE(rowAbove || leftInRow)
            << scope.name << ": Tab goes from " << previousName << " back to " << name;
      }
      previous = &here;
      previousName = name;
    }
  }
}

TEST(DialogTabOrderTest, ALabelWithAnAccessKeyStandsRightBeforeItsControl) {
  // The key of a static text moves the focus to the next control in the tab
  // order: the one the label names must follow it directly.
  const std::map<std::string, uint32_t> numbers = ResourceNumbers();
  for (const fs::directory_entry& file : fs::directory_iterator(RepoPath("resources/languages"))) {
    if (file.path().extension() != ".txt") continue;
    const std::map<uint32_t, Text> texts = ReadLanguage(file.path());
    for (const KeyScope& scope : ReadScopes()) {
      for (size_t i = 0; i < scope.statements.size(); ++i) {
        const std::vector<std::string>& statement = scope.statements[i];
        const std::optional<Labelled> control = ControlOf(statement);
        const std::string& kind = statement[0];
        if (!control || (kind != "LTEXT" && kind != "RTEXT" && kind != "CTEXT")) continue;
        const auto number = numbers.find(control->name);
        Text text = control->templateText;
        if (number != numbers.end() && texts.count(number->second)) text = texts.at(number->second);
        if (!AccessKey(text)) continue;
        const bool followed =
            i + 1 < scope.statements.size() && PlacementOf(scope.statements[i + 1]).tabStop;
        EXPECT_TRUE(followed) << file.path().stem().string() << ": " << scope.name << " label "
                              << control->name << " (" << ToUtf8(text)
                              << ") is not right before a control Tab stops at";
      }
    }
  }
}

}  // namespace
}  // namespace tarn
