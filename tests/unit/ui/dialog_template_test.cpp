#include "ui/dialog_template.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace tarn::ui {
namespace {

// Builds template bytes the way a resource compiler lays them out.
class TemplateBuilder {
 public:
  TemplateBuilder& Word(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
    return *this;
  }
  TemplateBuilder& Dword(uint32_t value) {
    return Word(static_cast<uint16_t>(value & 0xFFFF)).Word(static_cast<uint16_t>(value >> 16));
  }
  TemplateBuilder& String(std::u16string_view text) {
    for (const char16_t c : text) Word(c);
    return Word(0);
  }
  TemplateBuilder& Ordinal(uint16_t value) { return Word(0xFFFF).Word(value); }
  TemplateBuilder& Align() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    return *this;
  }
  TemplateBuilder& Bytes(size_t count, uint8_t value) {
    bytes_.insert(bytes_.end(), count, value);
    return *this;
  }
  [[nodiscard]] const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsShellFont = 0x48;

// DLGTEMPLATEEX with a font, a menu name and a class name, and items with
// strings, ordinals and creation data of odd sizes.
std::vector<uint8_t> ExtendedTemplate() {
  TemplateBuilder b;
  b.Dword(0xFFFF0001).Dword(0).Dword(0).Dword(kDsShellFont | 0x80C00000u).Word(4);
  b.Word(0).Word(0).Word(270).Word(159);
  b.String(u"MENU").String(u"MyClass").String(u"Local User Accounts");
  b.Word(8).Word(400).Bytes(1, 0).Bytes(1, 1).String(u"MS Shell Dlg");
  b.Align().Dword(0).Dword(0).Dword(0x50010000).Word(7).Word(7).Word(50).Word(14).Dword(1);
  b.Ordinal(0x80).String(u"OK").Word(0);
  b.Align().Dword(0).Dword(0).Dword(0x50010000).Word(7).Word(7).Word(50).Word(14).Dword(0x12345678);
  b.String(u"SysListView32").Ordinal(5).Word(3).Bytes(3, 0xEE);
  b.Align().Dword(0).Dword(0).Dword(0).Word(0).Word(0).Word(1).Word(1).Dword(0xFFFFFFFF);
  b.Ordinal(0x82).String(u"").Word(0);
  b.Align().Dword(0).Dword(0).Dword(0).Word(0).Word(0).Word(1).Word(1).Dword(1131);
  b.Ordinal(0x81).String(u"x").Word(0);
  return b.bytes();
}

std::vector<uint8_t> ClassicTemplate(uint32_t style) {
  TemplateBuilder b;
  b.Dword(style).Dword(0).Word(3).Word(0).Word(0).Word(232).Word(130);
  b.Ordinal(139).Word(0).String(u"About TARN");
  if (style & kDsSetFont) b.Word(8).String(u"MS Shell Dlg");
  b.Align().Dword(0x50000000).Dword(0).Word(1).Word(2).Word(3).Word(4).Word(2);
  b.Ordinal(0x80).String(u"Cancel").Word(0);
  b.Align().Dword(0x50000000).Dword(0).Word(1).Word(2).Word(3).Word(4).Word(1205);
  b.String(u"SysLink").String(u"<a>link</a>").Word(6).Word(0xAAAA).Word(0xBBBB);
  b.Align().Dword(0x50000000).Dword(0).Word(1).Word(2).Word(3).Word(4).Word(0xFFFF);
  b.Ordinal(0x82).Ordinal(1132).Word(0);
  return b.bytes();
}

std::string Ids(const DialogTemplateItems& items) {
  std::string out;
  for (const uint16_t id : items.identifiers) out += std::to_string(id) + " ";
  return out + (items.complete ? "complete" : "cut");
}

TEST(DialogTemplateTest, ExtendedLayoutYieldsLow16BitsOfEachIdentifier) {
  EXPECT_EQ(Ids(ReadDialogTemplateItems(ExtendedTemplate())), "1 22136 65535 1131 complete");
}

TEST(DialogTemplateTest, ClassicLayoutWithAndWithoutFont) {
  EXPECT_EQ(Ids(ReadDialogTemplateItems(ClassicTemplate(kDsSetFont))), "2 1205 65535 complete");
  EXPECT_EQ(Ids(ReadDialogTemplateItems(ClassicTemplate(0))), "2 1205 65535 complete");
}

TEST(DialogTemplateTest, TruncatedTemplatesGiveWhatWasReadWhole) {
  const std::vector<uint8_t> full = ExtendedTemplate();
  size_t previousCount = 0;
  for (size_t size = 0; size < full.size(); ++size) {
    const DialogTemplateItems items =
        ReadDialogTemplateItems(std::span<const uint8_t>(full.data(), size));
    EXPECT_FALSE(items.complete) << "size " << size;
    EXPECT_GE(items.identifiers.size(), previousCount) << "size " << size;
    previousCount = items.identifiers.size();
  }
  EXPECT_LE(previousCount, 4u);
}

TEST(DialogTemplateTest, HeaderClaimingMoreItemsThanPresentIsCut) {
  std::vector<uint8_t> bytes = ClassicTemplate(kDsSetFont);
  bytes[8] = 0xFF;  // cdit
  bytes[9] = 0xFF;
  const DialogTemplateItems items = ReadDialogTemplateItems(bytes);
  EXPECT_FALSE(items.complete);
  EXPECT_EQ(items.identifiers.size(), 3u) << Ids(items);
}

}  // namespace
}  // namespace tarn::ui
