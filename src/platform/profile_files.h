// Profile (INI) file services, with the semantics of the system's
// GetPrivateProfile* / WritePrivateProfile* functions. Buffers are modelled
// explicitly: callers pass the capacity in UTF-16 code units (terminator
// included), exactly as they would size a buffer, and get back what the
// function would have written there and its return value.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/result.h"
#include "base/text.h"

namespace tarn::platform {

// What a profile function left in a caller's buffer.
struct ProfileBuffer {
  // The characters written, without the final terminator. For section and
  // section-name lists this holds the zero-separated items, each followed by
  // its zero, without the list's extra final zero.
  Text data;
  // The function's return value: characters copied, not counting the final
  // terminator; for lists cut by the buffer, capacity - 2.
  uint32_t returned = 0;
};

// Reads a zero-separated list (a section, section names) whole: asks
// `read(capacity)` from `initialCapacity` on, doubling the capacity while the
// answer says the list was cut (capacity - 2) and the capacity is below
// `limit`; beyond that the last answer is taken as it is.
[[nodiscard]] ProfileBuffer ReadWholeList(const std::function<ProfileBuffer(uint32_t)>& read,
                                          uint32_t initialCapacity, uint32_t limit);

// The items of a zero-separated list as ProfileBuffer::data holds it: each
// item up to its zero, empty items included, and a last item without its zero
// when there is one. Views into `list`.
[[nodiscard]] std::vector<TextView> SplitZeroList(TextView list);

class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;

  // GetPrivateProfileStringW(section, key, default, buffer[capacity], file).
  // Precondition: capacity >= 1. Key and section compare ignoring case; one
  // pair of enclosing quotes and surrounding blanks are removed.
  [[nodiscard]] virtual ProfileBuffer GetString(TextView file, TextView section, TextView key,
                                                TextView defaultValue, uint32_t capacity) = 0;

  // GetPrivateProfileIntW: the leading number of the value (blanks and a sign
  // allowed; "0x", "0o", "0b" switch base, as the system reads it), default
  // when the key is missing, has no "=" or an empty value.
  [[nodiscard]] virtual int32_t GetInt(TextView file, TextView section, TextView key,
                                       int32_t defaultValue) = 0;

  // GetPrivateProfileSectionW(section, buffer[capacity], file): "key=value"
  // lines (and lines without "=") of the first section of that name, blanks
  // around "=" removed, quotes kept, comment lines (";") left out.
  [[nodiscard]] virtual ProfileBuffer GetSection(TextView file, TextView section,
                                                 uint32_t capacity) = 0;

  // GetPrivateProfileSectionNamesW(buffer[capacity], file).
  [[nodiscard]] virtual ProfileBuffer GetSectionNames(TextView file, uint32_t capacity) = 0;

  // GetPrivateProfileStructW: the bytes of a value written by WriteStruct, when
  // its length is exactly `size` and its checksum matches; otherwise nullopt.
  [[nodiscard]] virtual std::optional<std::vector<uint8_t>> GetStruct(TextView file,
                                                                      TextView section,
                                                                      TextView key,
                                                                      uint32_t size) = 0;

  // WritePrivateProfileStringW. `value` nullopt deletes the key; `key` nullopt
  // deletes the whole section. Returns kErrorSuccess or the failure.
  [[nodiscard]] virtual WinError WriteString(TextView file, TextView section,
                                             std::optional<TextView> key,
                                             std::optional<TextView> value) = 0;

  // WritePrivateProfileStructW: two upper-case hex digits per byte, then the
  // checksum byte (sum of the bytes modulo 256) in the same form.
  [[nodiscard]] virtual WinError WriteStruct(TextView file, TextView section, TextView key,
                                             const std::vector<uint8_t>& bytes) = 0;
};

}  // namespace tarn::platform
