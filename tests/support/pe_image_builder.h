// Builds small PE images with a version resource for tests, contract runs on
// the simulated machine and fuzz corpora. Header-only, so unit tests,
// contract tests and fuzz targets can all use it without a library.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarn::testing {

struct VersionStringTable {
  // "llllcccc", e.g. u"040904b0".
  std::u16string key;
  std::vector<std::pair<std::u16string, std::u16string>> strings;
};

struct VersionSpec {
  bool withFixedInfo = true;
  uint64_t fileVersion = 0;
  uint64_t productVersion = 0;
  // Each entry is language in the low and code page in the high 16 bits.
  bool withTranslationTable = true;
  std::vector<uint32_t> translations;
  std::vector<VersionStringTable> tables;
};

class ByteWriter {
 public:
  void U16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void Text(const std::u16string& text) {
    for (char16_t c : text) U16(c);
    U16(0);
  }
  void Bytes(const std::vector<uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
  }
  void PadTo(size_t alignment) {
    while (bytes_.size() % alignment != 0) bytes_.push_back(0);
  }
  void PutU16(size_t at, uint16_t v) {
    bytes_[at] = static_cast<uint8_t>(v);
    bytes_[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  void PutU32(size_t at, uint32_t v) {
    PutU16(at, static_cast<uint16_t>(v));
    PutU16(at + 2, static_cast<uint16_t>(v >> 16));
  }
  [[nodiscard]] size_t size() const { return bytes_.size(); }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// One VS_VERSIONINFO-style block. `valueLength` is wValueLength as written
// (characters for text values, bytes for binary ones).
inline std::vector<uint8_t> VersionNode(const std::u16string& key, uint16_t type,
                                        const std::vector<uint8_t>& value, uint16_t valueLength,
                                        const std::vector<std::vector<uint8_t>>& children) {
  ByteWriter w;
  w.U16(0);
  w.U16(valueLength);
  w.U16(type);
  w.Text(key);
  w.PadTo(4);
  w.Bytes(value);
  for (const auto& child : children) {
    w.PadTo(4);
    w.Bytes(child);
  }
  w.PutU16(0, static_cast<uint16_t>(w.size()));
  return std::move(w.bytes());
}

inline std::vector<uint8_t> TextValue(const std::u16string& text) {
  ByteWriter w;
  w.Text(text);
  return std::move(w.bytes());
}

inline std::vector<uint8_t> FixedInfo(uint64_t fileVersion, uint64_t productVersion) {
  ByteWriter w;
  w.U32(0xFEEF04BD);
  w.U32(0x00010000);
  w.U32(static_cast<uint32_t>(fileVersion >> 32));
  w.U32(static_cast<uint32_t>(fileVersion));
  w.U32(static_cast<uint32_t>(productVersion >> 32));
  w.U32(static_cast<uint32_t>(productVersion));
  for (int i = 0; i < 7; ++i) w.U32(i == 3 ? 0x4 : (i == 4 ? 0x1 : 0));
  return std::move(w.bytes());
}

// The bytes of an RT_VERSION resource.
inline std::vector<uint8_t> BuildVersionBlock(const VersionSpec& layout) {
  std::vector<std::vector<uint8_t>> sections;
  if (!layout.tables.empty()) {
    std::vector<std::vector<uint8_t>> tables;
    for (const auto& table : layout.tables) {
      std::vector<std::vector<uint8_t>> strings;
      for (const auto& [name, value] : table.strings) {
        strings.push_back(
            VersionNode(name, 1, TextValue(value), static_cast<uint16_t>(value.size() + 1), {}));
      }
      tables.push_back(VersionNode(table.key, 1, {}, 0, strings));
    }
    sections.push_back(VersionNode(u"StringFileInfo", 1, {}, 0, tables));
  }
  if (layout.withTranslationTable) {
    ByteWriter pairs;
    for (uint32_t t : layout.translations) pairs.U32(t);
    const auto size = static_cast<uint16_t>(pairs.size());
    sections.push_back(VersionNode(u"VarFileInfo", 1, {}, 0,
                                   {VersionNode(u"Translation", 0, pairs.bytes(), size, {})}));
  }
  const std::vector<uint8_t> fixed = layout.withFixedInfo
                                         ? FixedInfo(layout.fileVersion, layout.productVersion)
                                         : std::vector<uint8_t>{};
  return VersionNode(u"VS_VERSION_INFO", 0, fixed, static_cast<uint16_t>(fixed.size()), sections);
}

struct PeOptions {
  bool pe32Plus = true;
  // The resource type the data is filed under (16 is RT_VERSION).
  uint32_t resourceType = 16;
  bool withResources = true;
  // Filler placed in the file before the resource data, as a program's code
  // would be, so files of realistic size keep their resources at the end.
  uint32_t bytesBeforeResources = 0;
};

// A PE image whose only section, ".rsrc", holds `resource` as type
// `resourceType`, name 1, language 0x409.
inline std::vector<uint8_t> BuildPeImage(const std::vector<uint8_t>& resource,
                                         const PeOptions& options = {}) {
  constexpr uint32_t kFileAlignment = 0x200;
  constexpr uint32_t kSectionRva = 0x1000;
  // Resource section: three directories of one entry each, one data entry,
  // then the data.
  ByteWriter rsrc;
  const uint32_t dirs[] = {24 | 0x80000000u, 48 | 0x80000000u, 72};
  const uint32_t names[] = {options.resourceType, 1, 0x409};
  for (int level = 0; level < 3; ++level) {
    for (int i = 0; i < 3; ++i) rsrc.U32(0);
    rsrc.U16(0);
    rsrc.U16(1);
    rsrc.U32(names[level]);
    rsrc.U32(dirs[level]);
  }
  rsrc.U32(kSectionRva + 88);
  rsrc.U32(static_cast<uint32_t>(resource.size()));
  rsrc.U32(0);
  rsrc.U32(0);
  rsrc.Bytes(resource);
  const auto rsrcSize = static_cast<uint32_t>(rsrc.size());
  rsrc.PadTo(kFileAlignment);

  ByteWriter image;
  image.U16(0x5A4D);
  while (image.size() < 0x3C) image.U16(0);
  image.U32(0x40);
  image.U32(0x00004550);
  image.U16(options.pe32Plus ? 0x8664 : 0x014C);
  image.U16(1);                                   // one section
  image.U32(0);                                   // time stamp
  image.U32(0);                                   // symbol table
  image.U32(0);                                   // symbols
  image.U16(options.pe32Plus ? 240 : 224);        // optional header size
  image.U16(options.pe32Plus ? 0x0022 : 0x0102);  // executable
  const size_t optional = image.size();
  image.U16(options.pe32Plus ? 0x20B : 0x10B);
  while (image.size() < optional + (options.pe32Plus ? 240 : 224)) image.U16(0);
  image.PutU32(optional + 32, 0x1000);          // section alignment
  image.PutU32(optional + 36, kFileAlignment);  // file alignment
  image.PutU16(optional + 40, 6);               // OS version
  image.PutU16(optional + 48, 6);               // subsystem version
  image.PutU32(optional + 56, kSectionRva + ((rsrcSize + 0xFFF) & ~0xFFFu));
  image.PutU32(optional + 60, kFileAlignment);  // size of headers
  image.PutU16(optional + 68, 2);               // Windows GUI
  const size_t count = optional + (options.pe32Plus ? 108 : 92);
  image.PutU32(count, 16);
  if (options.withResources) {
    image.PutU32(count + 4 + 2 * 8, kSectionRva);
    image.PutU32(count + 4 + 2 * 8 + 4, rsrcSize);
  }
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  for (char c : name) image.bytes().push_back(static_cast<uint8_t>(c));
  image.U32(rsrcSize);
  image.U32(kSectionRva);
  const uint32_t filler =
      (options.bytesBeforeResources + kFileAlignment - 1) & ~(kFileAlignment - 1);
  image.U32(static_cast<uint32_t>(rsrc.size()));
  image.U32(kFileAlignment + filler);
  image.U32(0);
  image.U32(0);
  image.U16(0);
  image.U16(0);
  image.U32(0x40000040);  // initialised data, readable
  image.PadTo(kFileAlignment);
  image.bytes().resize(image.size() + filler, 0xCC);
  image.Bytes(rsrc.bytes());
  return std::move(image.bytes());
}

// A typical resource: fixed 1.2.3.4 (file) and 5.6.7.8 (product), one
// translation 0409/04b0 with version strings and a company name.
inline VersionSpec SampleVersionSpec() {
  VersionSpec layout;
  layout.fileVersion = 0x0001000200030004ull;
  layout.productVersion = 0x0005000600070008ull;
  layout.translations = {0x04B00409};
  layout.tables = {{u"040904b0",
                    {{u"CompanyName", u"Example Ltd"},
                     {u"FileVersion", u"1.2.3.4"},
                     {u"ProductVersion", u"5.6.7.8"}}}};
  return layout;
}

}  // namespace tarn::testing
