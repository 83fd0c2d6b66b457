// Scrambled passwords in the users section: a fixed, seeded obfuscation (not
// encryption) that matches the system's run-encoding of counted strings bit
// for bit, and the two in-place conversions of a users file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/profile_files.h"

namespace tarn::accounts {

// The seed built into the program.
inline constexpr uint8_t kScrambleSeed = 0xC4;

// Byte buffers of the conversions: 100 characters when converting a file,
// 512 characters when reading the section.
inline constexpr uint32_t kConvertBufferBytes = 200;
inline constexpr uint32_t kReadBufferBytes = 1024;

// Run-encodes `bytes` in place: byte 0 is XORed with (seed | 0x43), every
// later byte with the already encoded byte before it and the seed.
void RunEncode(std::vector<uint8_t>& bytes, uint8_t seed);
// The exact inverse of RunEncode, from the last byte back to the first.
void RunDecode(std::vector<uint8_t>& bytes, uint8_t seed);

// The scrambled form of `password`: its UTF-16LE bytes with the terminating
// zero character, (length + 1) × 2 bytes. The caller wipes the result.
[[nodiscard]] std::vector<uint8_t> ScramblePassword(TextView password);

// Unscrambles `bytes` in place and returns the text up to its first zero
// character (the whole text when there is none; an odd last byte is ignored).
// The bytes are wiped afterwards; the caller wipes the result.
[[nodiscard]] Text UnscramblePassword(std::vector<uint8_t>& bytes);

// Reads the scrambled password held by `key` of `section`, `byteCount`
// bytes. nullopt when the count is not positive, exceeds `bufferBytes`, or the
// value is not a valid struct value of that size. The caller wipes the result.
[[nodiscard]] std::optional<Text> ReadScrambledValue(platform::ProfileFiles& profiles,
                                                     TextView file, TextView section, TextView key,
                                                     int32_t byteCount, uint32_t bufferBytes);

// Reads the scrambled password "Password.<n>" of `byteCount` bytes. nullopt
// when the count is not positive, exceeds `bufferBytes`, or the value is not
// a valid struct value of that size.
[[nodiscard]] std::optional<Text> ReadScrambledPassword(platform::ProfileFiles& profiles,
                                                        TextView file, int32_t n, int32_t byteCount,
                                                        uint32_t bufferBytes);

// The longest password that "/DecryptIni" can bring back whole: its
// scrambled bytes and terminator must fit the conversion buffer.
inline constexpr size_t kLongestScrambledPassword = kConvertBufferBytes / 2 - 1;

// Told the name of an account whose password was left plain.
using LeftPlainListener = std::function<void(TextView userName)>;

// "/EncryptIni": scrambles every plain, non-empty password of the users
// section of `file`, up to the first missing "user.<n>"; returns the result
// of the last write (kErrorSuccess when nothing was written). A password
// longer than kLongestScrambledPassword stays plain, since scrambling it
// would lose its end for good; `leftPlain` (if any) hears of each.
WinError EncryptUsers(platform::ProfileFiles& profiles, TextView file,
                      const LeftPlainListener& leftPlain = {});

// "/DecryptIni": turns every scrambled password back into text and deletes
// its "crypted.<n>" key; values that can't be read are skipped.
WinError DecryptUsers(platform::ProfileFiles& profiles, TextView file);

// "/EncryptIni" for "UserPwd" and "AdminPwd" of the settings section of
// `file`: each plain, non-empty one is scrambled as the users section's are,
// its byte count in "<key>Crypted"; `leftPlain` hears the key of one too long.
WinError EncryptSettingsPasswords(platform::ProfileFiles& profiles, TextView file,
                                  const LeftPlainListener& leftPlain = {});

// "/DecryptIni" for the settings section's passwords.
WinError DecryptSettingsPasswords(platform::ProfileFiles& profiles, TextView file);

}  // namespace tarn::accounts
