// Builds small PE images with a version resource or imports for tests, contract runs on
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

// Where a data directory of the optional header points.
struct PeDirectory {
  uint32_t index = 0;
  uint32_t rva = 0;
  uint32_t size = 0;
};

// The section address every built image uses.
inline constexpr uint32_t kPeSectionRva = 0x1000;

// A PE image whose only section, named `name`, holds `section` (its bytes as
// the image maps them at kPeSectionRva), with `filler` bytes of code before
// it in the file.
inline std::vector<uint8_t> BuildPeImageAround(std::vector<uint8_t> section, const char* name,
                                               const std::vector<PeDirectory>& directories,
                                               bool pe32Plus, uint32_t filler) {
  constexpr uint32_t kFileAlignment = 0x200;
  const auto sectionSize = static_cast<uint32_t>(section.size());
  ByteWriter raw;
  raw.Bytes(section);
  raw.PadTo(kFileAlignment);

  ByteWriter image;
  image.U16(0x5A4D);
  while (image.size() < 0x3C) image.U16(0);
  image.U32(0x40);
  image.U32(0x00004550);
  image.U16(pe32Plus ? 0x8664 : 0x014C);
  image.U16(1);                           // one section
  image.U32(0);                           // time stamp
  image.U32(0);                           // symbol table
  image.U32(0);                           // symbols
  image.U16(pe32Plus ? 240 : 224);        // optional header size
  image.U16(pe32Plus ? 0x0022 : 0x0102);  // executable
  const size_t optional = image.size();
  image.U16(pe32Plus ? 0x20B : 0x10B);
  while (image.size() < optional + (pe32Plus ? 240 : 224)) image.U16(0);
  image.PutU32(optional + 32, 0x1000);          // section alignment
  image.PutU32(optional + 36, kFileAlignment);  // file alignment
  image.PutU16(optional + 40, 6);               // OS version
  image.PutU16(optional + 48, 6);               // subsystem version
  image.PutU32(optional + 56, kPeSectionRva + ((sectionSize + 0xFFF) & ~0xFFFu));
  image.PutU32(optional + 60, kFileAlignment);  // size of headers
  image.PutU16(optional + 68, 2);               // Windows GUI
  const size_t count = optional + (pe32Plus ? 108 : 92);
  image.PutU32(count, 16);
  for (const PeDirectory& directory : directories) {
    image.PutU32(count + 4 + directory.index * 8, directory.rva);
    image.PutU32(count + 4 + directory.index * 8 + 4, directory.size);
  }
  for (int i = 0; i < 8; ++i) {
    const char c = name[i];
    image.bytes().push_back(static_cast<uint8_t>(c));
    if (c == 0) {
      while (++i < 8) image.bytes().push_back(0);
    }
  }
  image.U32(sectionSize);
  image.U32(kPeSectionRva);
  const uint32_t padded = (filler + kFileAlignment - 1) & ~(kFileAlignment - 1);
  image.U32(static_cast<uint32_t>(raw.size()));
  image.U32(kFileAlignment + padded);
  image.U32(0);
  image.U32(0);
  image.U16(0);
  image.U16(0);
  image.U32(0x40000040);  // initialised data, readable
  image.PadTo(kFileAlignment);
  image.bytes().resize(image.size() + padded, 0xCC);
  image.Bytes(raw.bytes());
  return std::move(image.bytes());
}

// A PE image whose only section, ".rsrc", holds `resource` as type
// `resourceType`, name 1, language 0x409.
inline std::vector<uint8_t> BuildPeImage(const std::vector<uint8_t>& resource,
                                         const PeOptions& options = {}) {
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
  rsrc.U32(kPeSectionRva + 88);
  rsrc.U32(static_cast<uint32_t>(resource.size()));
  rsrc.U32(0);
  rsrc.U32(0);
  rsrc.Bytes(resource);
  const auto rsrcSize = static_cast<uint32_t>(rsrc.size());
  std::vector<PeDirectory> directories;
  if (options.withResources) directories.push_back({2, kPeSectionRva, rsrcSize});
  return BuildPeImageAround(std::move(rsrc.bytes()), ".rsrc", directories, options.pe32Plus,
                            options.bytesBeforeResources);
}

// A PE image whose only section, ".idata", imports `imported` (a descriptor
// each, import tables left empty) and delay-loads `delayLoaded` (the
// descriptors that current linkers write, with addresses as RVAs).
inline std::vector<uint8_t> BuildImportImage(const std::vector<std::string>& imported,
                                             const std::vector<std::string>& delayLoaded,
                                             bool pe32Plus = true) {
  constexpr uint32_t kImportSize = 20;
  constexpr uint32_t kDelaySize = 32;
  const auto importBytes = static_cast<uint32_t>((imported.size() + 1) * kImportSize);
  const auto delayBytes = static_cast<uint32_t>((delayLoaded.size() + 1) * kDelaySize);
  ByteWriter names;
  std::vector<uint32_t> nameRvas;
  for (const auto* list : {&imported, &delayLoaded}) {
    for (const std::string& name : *list) {
      nameRvas.push_back(kPeSectionRva + importBytes + delayBytes +
                         static_cast<uint32_t>(names.size()));
      for (char c : name) names.bytes().push_back(static_cast<uint8_t>(c));
      names.bytes().push_back(0);
    }
  }
  ByteWriter section;
  size_t next = 0;
  for (size_t i = 0; i < imported.size(); ++i) {
    for (int field = 0; field < 5; ++field) section.U32(field == 3 ? nameRvas[next] : 0);
    ++next;
  }
  for (uint32_t i = 0; i < kImportSize; i += 4) section.U32(0);
  for (size_t i = 0; i < delayLoaded.size(); ++i) {
    section.U32(1);  // addresses are RVAs
    section.U32(nameRvas[next++]);
    for (int field = 2; field < 8; ++field) section.U32(0);
  }
  for (uint32_t i = 0; i < kDelaySize; i += 4) section.U32(0);
  section.Bytes(names.bytes());
  std::vector<PeDirectory> directories = {{1, kPeSectionRva, importBytes}};
  if (!delayLoaded.empty()) directories.push_back({13, kPeSectionRva + importBytes, delayBytes});
  return BuildPeImageAround(std::move(section.bytes()), ".idata", directories, pe32Plus, 0);
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
