#include "accounts/password_scrambling.h"

#include <array>
#include <functional>

#include "base/format.h"
#include "base/wipe.h"

namespace tarn::accounts {

namespace {

constexpr char16_t kUsersSection[] = u"users";
constexpr int32_t kLastAccountNumber = 65534;
constexpr uint32_t kKeyTextCapacity = 100;
// One unit more than a password that survives scrambling may have, so that a
// longer one shows itself instead of arriving cut.
constexpr uint32_t kPasswordProbeCapacity = kLongestScrambledPassword + 2;

Text NumberedKey(TextView base, int32_t n) {
  return Format(u"%s.%d", {base, n});
}

Text ReadUsersText(platform::ProfileFiles& profiles, TextView file, TextView base, int32_t n) {
  return profiles.GetString(file, kUsersSection, NumberedKey(base, n), u"", kKeyTextCapacity).data;
}

}  // namespace

void RunEncode(std::vector<uint8_t>& bytes, uint8_t seed) {
  if (bytes.empty()) return;
  bytes[0] ^= static_cast<uint8_t>(seed | 0x43);
  for (size_t i = 1; i < bytes.size(); ++i) {
    bytes[i] ^= static_cast<uint8_t>(bytes[i - 1] ^ seed);
  }
}

void RunDecode(std::vector<uint8_t>& bytes, uint8_t seed) {
  if (bytes.empty()) return;
  for (size_t i = bytes.size() - 1; i > 0; --i) {
    bytes[i] ^= static_cast<uint8_t>(bytes[i - 1] ^ seed);
  }
  bytes[0] ^= static_cast<uint8_t>(seed | 0x43);
}

std::vector<uint8_t> ScramblePassword(TextView password) {
  std::vector<uint8_t> bytes;
  // Room for the terminator too, so no copy of the password bytes is left
  // behind in a freed buffer by a later reallocation.
  bytes.reserve((password.size() + 1) * 2);
  AppendUtf16Le(bytes, password);
  bytes.push_back(0);
  bytes.push_back(0);
  RunEncode(bytes, kScrambleSeed);
  return bytes;
}

Text UnscramblePassword(std::vector<uint8_t>& bytes) {
  RunDecode(bytes, kScrambleSeed);
  Text text = TextFromUtf16Le(bytes, /*stopAtZero=*/true);
  WipeBytes(bytes);
  return text;
}

std::optional<Text> ReadScrambledValue(platform::ProfileFiles& profiles, TextView file,
                                       TextView section, TextView key, int32_t byteCount,
                                       uint32_t bufferBytes) {
  if (byteCount <= 0 || static_cast<uint32_t>(byteCount) > bufferBytes) return std::nullopt;
  auto bytes = profiles.GetStruct(file, section, key, static_cast<uint32_t>(byteCount));
  if (!bytes) return std::nullopt;
  return UnscramblePassword(*bytes);
}

std::optional<Text> ReadScrambledPassword(platform::ProfileFiles& profiles, TextView file,
                                          int32_t n, int32_t byteCount, uint32_t bufferBytes) {
  return ReadScrambledValue(profiles, file, kUsersSection, NumberedKey(u"Password", n), byteCount,
                            bufferBytes);
}

namespace {

// Scrambles the plain password `key` of `section` and writes its byte count
// to `countKey`. nullopt when there was nothing to do; `leftPlain` when the
// password is too long to scramble.
std::optional<WinError> ScrambleKey(platform::ProfileFiles& profiles, TextView file,
                                    TextView section, TextView key, TextView countKey,
                                    const std::function<void()>& leftPlain) {
  if (profiles.GetInt(file, section, countKey, 0) != 0) return std::nullopt;
  Text password = profiles.GetString(file, section, key, u"", kPasswordProbeCapacity).data;
  if (password.empty()) return std::nullopt;
  if (password.size() > kLongestScrambledPassword) {
    WipeText(password);
    leftPlain();
    return std::nullopt;
  }
  std::vector<uint8_t> bytes = ScramblePassword(password);
  WipeText(password);
  const auto count = static_cast<int32_t>(bytes.size());
  WinError last = profiles.WriteStruct(file, section, key, bytes);
  WipeBytes(bytes);
  last = profiles.WriteString(file, section, countKey, TextView(DecimalText(count)));
  return last;
}

// Turns the scrambled password `key` back into text and deletes `countKey`;
// nullopt when it is not scrambled or cannot be read.
std::optional<WinError> UnscrambleKey(platform::ProfileFiles& profiles, TextView file,
                                      TextView section, TextView key, TextView countKey) {
  const int32_t count = profiles.GetInt(file, section, countKey, 0);
  if (count == 0) return std::nullopt;
  auto password = ReadScrambledValue(profiles, file, section, key, count, kConvertBufferBytes);
  if (!password) return std::nullopt;
  WinError last = profiles.WriteString(file, section, key, TextView(*password));
  WipeText(*password);
  last = profiles.WriteString(file, section, countKey, std::nullopt);
  return last;
}

constexpr char16_t kSettingsSection[] = u"settings";
constexpr std::array<const char16_t*, 2> kSettingsPasswordKeys = {u"UserPwd", u"AdminPwd"};

}  // namespace

WinError EncryptUsers(platform::ProfileFiles& profiles, TextView file,
                      const LeftPlainListener& leftPlain) {
  WinError last = kErrorSuccess;
  for (int32_t n = 0; n <= kLastAccountNumber; ++n) {
    const Text user = ReadUsersText(profiles, file, u"user", n);
    if (user.empty()) break;
    const auto written = ScrambleKey(profiles, file, kUsersSection, NumberedKey(u"password", n),
                                     NumberedKey(u"crypted", n), [&] {
                                       if (leftPlain) leftPlain(user);
                                     });
    if (written) last = *written;
  }
  return last;
}

WinError DecryptUsers(platform::ProfileFiles& profiles, TextView file) {
  WinError last = kErrorSuccess;
  for (int32_t n = 0; n <= kLastAccountNumber; ++n) {
    if (ReadUsersText(profiles, file, u"user", n).empty()) break;
    const auto written = UnscrambleKey(profiles, file, kUsersSection, NumberedKey(u"password", n),
                                       NumberedKey(u"crypted", n));
    if (written) last = *written;
  }
  return last;
}

WinError EncryptSettingsPasswords(platform::ProfileFiles& profiles, TextView file,
                                  const LeftPlainListener& leftPlain) {
  WinError last = kErrorSuccess;
  for (const char16_t* key : kSettingsPasswordKeys) {
    const auto written =
        ScrambleKey(profiles, file, kSettingsSection, key, Text(key) + u"Crypted", [&] {
          if (leftPlain) leftPlain(key);
        });
    if (written) last = *written;
  }
  return last;
}

WinError DecryptSettingsPasswords(platform::ProfileFiles& profiles, TextView file) {
  WinError last = kErrorSuccess;
  for (const char16_t* key : kSettingsPasswordKeys) {
    const auto written =
        UnscrambleKey(profiles, file, kSettingsSection, key, Text(key) + u"Crypted");
    if (written) last = *written;
  }
  return last;
}

}  // namespace tarn::accounts
