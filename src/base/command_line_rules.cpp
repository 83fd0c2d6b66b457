#include "base/command_line_rules.h"

#include <algorithm>

namespace tarn {
namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kBackslash = u'\\';

// Reads the program part; returns the position after it.
size_t ReadProgram(TextView line, Text& program) {
  size_t i = 0;
  if (!line.empty() && line[0] == kQuote) {
    for (i = 1; i < line.size() && line[i] != kQuote; ++i) program.push_back(line[i]);
    return i < line.size() ? i + 1 : i;
  }
  for (; i < line.size() && !IsBlank(line[i]); ++i) program.push_back(line[i]);
  return i;
}

size_t SkipBlanks(TextView line, size_t i) {
  while (i < line.size() && IsBlank(line[i])) ++i;
  return i;
}

// State of the argument being read after the program part.
struct ArgumentReader {
  Text current;
  int quotes = 0;  // 1 while inside a quoted part
  size_t backslashes = 0;

  // Handles a double quote at line[i]; returns the position after the quotes used.
  size_t OnQuote(TextView line, size_t i) {
    current.resize(current.size() - backslashes / 2);
    if (backslashes % 2 == 1) {
      current.back() = kQuote;  // the odd backslash becomes the quote
    } else {
      ++quotes;
    }
    backslashes = 0;
    ++i;
    for (; i < line.size() && line[i] == kQuote; ++i) {
      if (++quotes == 3) {
        current.push_back(kQuote);
        quotes = 0;
      }
    }
    if (quotes == 2) quotes = 0;
    return i;
  }
};

// Splits `line`; each argument goes to `arguments` and, when given, its
// text as written to `written`.
void Split(TextView line, std::vector<Text>& arguments, std::vector<TextView>* written) {
  if (line.empty()) return;
  arguments.emplace_back();
  const size_t programEnd = ReadProgram(line, arguments.back());
  if (written) written->push_back(line.substr(0, programEnd));
  size_t i = SkipBlanks(line, programEnd);
  size_t start = i;
  ArgumentReader reader;
  bool pending = false;
  while (i < line.size()) {
    const char16_t c = line[i];
    if (IsBlank(c) && reader.quotes == 0) {
      arguments.push_back(std::move(reader.current));
      if (written) written->push_back(line.substr(start, i - start));
      reader = ArgumentReader{};
      pending = false;
      i = start = SkipBlanks(line, i);
      continue;
    }
    pending = true;
    if (c == kQuote) {
      i = reader.OnQuote(line, i);
      continue;
    }
    reader.backslashes = c == kBackslash ? reader.backslashes + 1 : 0;
    reader.current.push_back(c);
    ++i;
  }
  if (!pending) return;
  arguments.push_back(std::move(reader.current));
  if (written) written->push_back(line.substr(start));
}

}  // namespace

std::vector<Text> SplitCommandLine(TextView line) {
  std::vector<Text> arguments;
  Split(line, arguments, nullptr);
  return arguments;
}

std::vector<TextView> SplitCommandLineAsWritten(TextView line) {
  std::vector<Text> arguments;
  std::vector<TextView> written;
  Split(line, arguments, &written);
  return written;
}

Text QuoteArgument(TextView argument) {
  if (!argument.empty() && argument.find_first_of(u" \t\"") == TextView::npos) {
    return Text(argument);
  }
  Text quoted(1, kQuote);
  size_t backslashes = 0;
  for (const char16_t c : argument) {
    if (c == kBackslash) {
      ++backslashes;
    } else if (c == kQuote) {
      quoted.append(backslashes + 1, kBackslash);
      backslashes = 0;
    } else {
      backslashes = 0;
    }
    quoted.push_back(c);
  }
  quoted.append(backslashes, kBackslash);
  quoted.push_back(kQuote);
  return quoted;
}

bool InQuotedPart(TextView line, size_t position) {
  position = std::min(position, line.size());
  size_t i = 0;
  if (!line.empty() && line[0] == kQuote) {
    const size_t close = line.find(kQuote, 1);
    if (close == TextView::npos || position < close) return position > 0;
    i = close + 1;
  } else {
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (position < i) return false;
  }
  // The same counting as ArgumentReader, without collecting the text.
  int quotes = 0;
  size_t backslashes = 0;
  while (i < position) {
    if (line[i] != kQuote) {
      backslashes = line[i] == kBackslash ? backslashes + 1 : 0;
      ++i;
      continue;
    }
    if (backslashes % 2 == 0) ++quotes;
    backslashes = 0;
    for (++i; i < position && line[i] == kQuote; ++i) {
      if (++quotes == 3) quotes = 0;
    }
    if (quotes == 2) quotes = 0;
  }
  return quotes == 1;
}

}  // namespace tarn
