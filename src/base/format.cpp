#include "base/format.h"

#include <algorithm>

namespace tarn {
namespace {

constexpr size_t kMaxWidth = 1024;

// One parsed conversion directive, from "%" to the conversion character.
struct Directive {
  bool leftAlign = false;
  bool plusSign = false;
  bool blankSign = false;
  bool zeroPad = false;
  bool alternate = false;
  size_t width = 0;
  std::optional<size_t> precision;
  bool wide64 = false;       // "ll" or "I64": negative numbers wrap at 64 bits
  bool unsupported = false;  // "*", or a size prefix we do not know
  char16_t conversion = 0;   // 0 when the format ended inside the directive
  size_t end = 0;            // index just past the directive
};

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

size_t ReadCount(TextView format, size_t& pos) {
  size_t value = 0;
  while (pos < format.size() && IsDigit(format[pos])) {
    value = std::min(kMaxWidth, value * 10 + static_cast<size_t>(format[pos] - u'0'));
    ++pos;
  }
  return value;
}

void ReadFlags(TextView format, size_t& pos, Directive& directive) {
  for (; pos < format.size(); ++pos) {
    switch (format[pos]) {
      case u'-':
        directive.leftAlign = true;
        break;
      case u'+':
        directive.plusSign = true;
        break;
      case u' ':
        directive.blankSign = true;
        break;
      case u'0':
        directive.zeroPad = true;
        break;
      case u'#':
        directive.alternate = true;
        break;
      default:
        return;
    }
  }
}

void ReadSizePrefix(TextView format, size_t& pos, Directive& directive) {
  const TextView rest = format.substr(pos);
  if (rest.starts_with(u"I64")) {
    directive.wide64 = true;
    pos += 3;
  } else if (rest.starts_with(u"I32")) {
    pos += 3;
  } else if (rest.starts_with(u"ll")) {
    directive.wide64 = true;
    pos += 2;
  } else if (rest.starts_with(u"h") || rest.starts_with(u"l")) {
    pos += 1;
  }
}

// Parses the directive that starts at format[start] == '%'.
Directive ParseSpec(TextView format, size_t start) {
  Directive directive;
  size_t pos = start + 1;
  ReadFlags(format, pos, directive);
  if (pos < format.size() && format[pos] == u'*') {
    directive.unsupported = true;
    ++pos;
  }
  directive.width = ReadCount(format, pos);
  if (pos < format.size() && format[pos] == u'.') {
    ++pos;
    if (pos < format.size() && format[pos] == u'*') {
      directive.unsupported = true;
      ++pos;
    }
    directive.precision = ReadCount(format, pos);
  }
  ReadSizePrefix(format, pos, directive);
  if (pos < format.size()) directive.conversion = format[pos++];
  directive.end = pos;
  return directive;
}

bool IsNumberConversion(char16_t c) {
  return c == u'd' || c == u'i' || c == u'u' || c == u'x' || c == u'X' || c == u'o';
}
bool IsTextConversion(char16_t c) {
  return c == u's' || c == u'S';
}

void Pad(Text& out, const Directive& directive, Text body, size_t signLength) {
  if (body.size() >= directive.width) {
    out += body;
  } else if (directive.leftAlign) {
    out += body;
    out.append(directive.width - body.size(), u' ');
  } else if (directive.zeroPad) {
    // Zeros go between the sign or "0x" and the digits.
    out.append(body, 0, signLength);
    out.append(directive.width - body.size(), u'0');
    out.append(body, signLength);
  } else {
    out.append(directive.width - body.size(), u' ');
    out += body;
  }
}

Text Digits(uint64_t value, unsigned base, bool upper) {
  const char16_t* digits = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
  Text reversed;
  do {
    reversed.push_back(digits[value % base]);
    value /= base;
  } while (value != 0);
  return Text(reversed.rbegin(), reversed.rend());
}

void FormatNumber(Text& out, const Directive& directive, const FormatArg& arg) {
  const char16_t c = directive.conversion;
  const bool isSigned = c == u'd' || c == u'i';
  Text sign;
  uint64_t magnitude = 0;
  if (isSigned) {
    const int64_t value = arg.as_signed();
    magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (value < 0)
      sign = u"-";
    else if (directive.plusSign)
      sign = u"+";
    else if (directive.blankSign)
      sign = u" ";
  } else {
    magnitude = arg.as_unsigned();
    // A negative int given to %u or %x reads as its 32-bit pattern, as it
    // would through swprintf, unless a 64-bit size was asked for.
    if (arg.kind() == FormatArg::Kind::kSigned && arg.as_signed() < 0 && !directive.wide64 &&
        arg.as_signed() >= INT32_MIN) {
      magnitude &= 0xFFFFFFFFu;
    }
  }
  const unsigned base = (c == u'x' || c == u'X') ? 16 : (c == u'o' ? 8 : 10);
  Text digits = (directive.precision == size_t{0} && magnitude == 0)
                    ? Text()
                    : Digits(magnitude, base, c == u'X');
  if (directive.precision && digits.size() < *directive.precision) {
    digits.insert(0, *directive.precision - digits.size(), u'0');
  }
  if (directive.alternate && magnitude != 0) {
    if (base == 16) sign = c == u'X' ? u"0X" : u"0x";
    if (base == 8 && !digits.starts_with(u'0')) digits.insert(0, 1, u'0');
  }
  Directive padding = directive;
  if (directive.precision) padding.zeroPad = false;
  Pad(out, padding, sign + digits, sign.size());
}

void FormatTextArg(Text& out, const Directive& directive, TextView value) {
  if (directive.precision) value = value.substr(0, *directive.precision);
  Directive padding = directive;
  padding.zeroPad = false;
  Pad(out, padding, Text(value), 0);
}

// Writes one conversion; false when it has to stay literal.
bool FormatConversion(Text& out, const Directive& directive, const FormatArg& arg) {
  const bool isText = arg.kind() == FormatArg::Kind::kText;
  if (IsNumberConversion(directive.conversion)) {
    if (isText) return false;
    FormatNumber(out, directive, arg);
    return true;
  }
  if (IsTextConversion(directive.conversion)) {
    if (!isText) return false;
    FormatTextArg(out, directive, arg.text());
    return true;
  }
  if (directive.conversion == u'c' || directive.conversion == u'C') {
    if (isText) return false;
    // Precision does not apply to a character; width and '-' pad it as text.
    Directive asChar = directive;
    asChar.precision.reset();
    FormatTextArg(out, asChar, Text(1, static_cast<char16_t>(arg.as_unsigned())));
    return true;
  }
  return false;
}

bool TakesArgument(char16_t conversion) {
  return IsNumberConversion(conversion) || IsTextConversion(conversion) || conversion == u'c' ||
         conversion == u'C';
}

}  // namespace

// Only the conversions that take an argument consume one; a conversion left
// literal because its argument has the wrong kind still consumes it, so the
// arguments after it keep their places.
Text FormatText(TextView format, std::span<const FormatArg> args) {
  Text out;
  out.reserve(format.size());
  size_t next = 0;
  size_t pos = 0;
  while (pos < format.size()) {
    const size_t percent = format.find(u'%', pos);
    if (percent == TextView::npos) {
      out.append(format.substr(pos));
      break;
    }
    out.append(format.substr(pos, percent - pos));
    if (percent + 1 < format.size() && format[percent + 1] == u'%') {
      out.push_back(u'%');
      pos = percent + 2;
      continue;
    }
    const Directive directive = ParseSpec(format, percent);
    const TextView literal = format.substr(percent, directive.end - percent);
    pos = directive.end;
    if (directive.unsupported || !TakesArgument(directive.conversion)) {
      out.append(literal);
      continue;
    }
    if (next >= args.size() || !FormatConversion(out, directive, args[next])) out.append(literal);
    ++next;
  }
  return out;
}

}  // namespace tarn
