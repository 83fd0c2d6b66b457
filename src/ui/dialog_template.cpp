#include "ui/dialog_template.h"

#include <optional>

namespace tarn::ui {
namespace {

constexpr uint32_t kDsSetFont = 0x40;  // DS_SHELLFONT includes it
constexpr uint32_t kExtendedSignature = 0xFFFF0001;

// A bounds-checked little-endian reader over the template bytes.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  [[nodiscard]] bool ok() const { return ok_; }

  uint16_t Word() {
    if (!Need(2)) return 0;
    const uint16_t value = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return value;
  }
  uint32_t Dword() {
    const uint32_t low = Word();
    return low | (static_cast<uint32_t>(Word()) << 16);
  }
  void Skip(size_t count) {
    if (Need(count)) pos_ += count;
  }
  // A zero-terminated UTF-16 string.
  void SkipString() {
    while (ok_ && Word() != 0) {
    }
  }
  // A name or ordinal: 0x0000 (none), 0xFFFF and an ordinal, or a string.
  void SkipNameOrOrdinal() {
    const uint16_t first = Word();
    if (first == 0xFFFF) {
      Skip(2);
    } else if (first != 0) {
      SkipString();
    }
  }
  void AlignDword() {
    const size_t aligned = (pos_ + 3) & ~size_t{3};
    // Padding may be missing after the last item; that is not an error.
    pos_ = aligned <= bytes_.size() ? aligned : bytes_.size();
  }

 private:
  bool Need(size_t count) {
    if (!ok_ || bytes_.size() - pos_ < count) ok_ = false;
    return ok_;
  }

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

struct Header {
  bool extended = false;
  uint16_t itemCount = 0;
};

std::optional<Header> ReadHeader(Reader& reader) {
  Header header;
  uint32_t style = reader.Dword();
  header.extended = style == kExtendedSignature;
  if (header.extended) {
    reader.Skip(8);  // help identifier, extended style
    style = reader.Dword();
  } else {
    reader.Skip(4);  // extended style
  }
  header.itemCount = reader.Word();
  reader.Skip(8);              // x, y, cx, cy
  reader.SkipNameOrOrdinal();  // menu
  reader.SkipNameOrOrdinal();  // class
  reader.SkipString();         // title
  if ((style & kDsSetFont) != 0) {
    reader.Skip(header.extended ? 6 : 2);  // point size (weight, italic, charset)
    reader.SkipString();                   // typeface
  }
  if (!reader.ok()) return std::nullopt;
  return header;
}

// Reads one item; nullopt when the template ends inside it.
std::optional<uint16_t> ReadItem(Reader& reader, bool extended) {
  reader.AlignDword();
  uint16_t identifier = 0;
  if (extended) {
    reader.Skip(12 + 8);  // help identifier, extended style, style; x, y, cx, cy
    identifier = static_cast<uint16_t>(reader.Dword() & 0xFFFF);
  } else {
    reader.Skip(8 + 8);  // style, extended style; x, y, cx, cy
    identifier = reader.Word();
  }
  reader.SkipNameOrOrdinal();  // class
  reader.SkipNameOrOrdinal();  // title
  const uint16_t extra = reader.Word();
  if (extended) {
    reader.Skip(extra);
  } else if (extra >= 2) {
    reader.Skip(extra - 2u);  // the classic size counts its own word
  }
  if (!reader.ok()) return std::nullopt;
  return identifier;
}

}  // namespace

DialogTemplateItems ReadDialogTemplateItems(std::span<const uint8_t> bytes) {
  DialogTemplateItems items;
  Reader reader(bytes);
  const std::optional<Header> header = ReadHeader(reader);
  if (!header) return items;
  for (uint16_t index = 0; index < header->itemCount; ++index) {
    const std::optional<uint16_t> identifier = ReadItem(reader, header->extended);
    if (!identifier) return items;
    items.identifiers.push_back(*identifier);
  }
  items.complete = true;
  return items;
}

}  // namespace tarn::ui
