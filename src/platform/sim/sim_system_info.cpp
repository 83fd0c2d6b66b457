#include "platform/sim/sim_system_info.h"

#include <atomic>

#include "platform/ansi_code_pages.h"
#include "platform/smbios_table.h"

namespace tarn::sim {
namespace {

uint64_t CurrentThreadSerial() {
  static std::atomic<uint64_t> next{1};
  thread_local const uint64_t serial = next.fetch_add(1);
  return serial;
}

std::vector<SimLocale> DefaultLocales() {
  return {
      {1033, u"en", u"US", u"English"},    {1031, u"de", u"DE", u"German"},
      {1036, u"fr", u"FR", u"French"},     {1040, u"it", u"IT", u"Italian"},
      {3082, u"es", u"ES", u"Spanish"},    {1043, u"nl", u"NL", u"Dutch"},
      {1045, u"pl", u"PL", u"Polish"},     {1049, u"ru", u"RU", u"Russian"},
      {2057, u"en", u"GB", u"English"},    {2055, u"de", u"CH", u"German"},
      {1046, u"pt", u"BR", u"Portuguese"},
  };
}

// FormatMessageW ends system texts with a line break.
Text SystemText(uint32_t code) {
  switch (code) {
    case 0:
      return u"The operation completed successfully.\r\n";
    case 2:
      return u"The system cannot find the file specified.\r\n";
    case 3:
      return u"The system cannot find the path specified.\r\n";
    case 5:
      return u"Access is denied.\r\n";
    case 6:
      return u"The handle is invalid.\r\n";
    case 32:
      return u"The process cannot access the file because it is being used by another "
             u"process.\r\n";
    case 87:
      return u"The parameter is incorrect.\r\n";
    case 122:
      return u"The data area passed to a system call is too small.\r\n";
    case 183:
      return u"Cannot create a file when that file already exists.\r\n";
    case 1314:
      return u"A required privilege is not held by the client.\r\n";
    case 1326:
      return u"The user name or password is incorrect.\r\n";
    case 1332:
      return u"No mapping between account names and security IDs was done.\r\n";
    case 2221:
      return u"The user name could not be found.\r\n";
    default:
      return Text();
  }
}

// Windows keeps the number as text; five digits hold every code page.
std::optional<uint32_t> CodePageNumber(TextView text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  uint32_t number = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    number = number * 10 + (c - u'0');
  }
  if (number == 0) return std::nullopt;
  return number;
}

Text TwoDigits(unsigned value) {
  Text out;
  out.push_back(static_cast<char16_t>(u'0' + (value / 10) % 10));
  out.push_back(static_cast<char16_t>(u'0' + value % 10));
  return out;
}

}  // namespace

SimSystemInfo::SimSystemInfo() : locales_(DefaultLocales()) {}

SimSystemInfo::SimSystemInfo(platform::Registry& registry)
    : registry_(&registry), locales_(DefaultLocales()) {}

uint32_t SimSystemInfo::AnsiCodePage() {
  if (registry_ == nullptr) return platform::kCodePageWindows1252;
  const platform::ScopedKey key = platform::ScopedKey::Open(
      *registry_, platform::kLocalMachine, u"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage",
      platform::kKeyRead);
  if (!key) return platform::kCodePageWindows1252;
  const auto value = registry_->QueryValue(key.get(), u"ACP");
  if (!value.ok() || (value->type != platform::kRegSz && value->type != platform::kRegExpandSz)) {
    return platform::kCodePageWindows1252;
  }
  return CodePageNumber(value->AsText()).value_or(platform::kCodePageWindows1252);
}

void SimSystemInfo::SetUserName(std::optional<TextView> name, WinError error) {
  userName_ = name ? Result<Text>(Text(*name)) : Result<Text>::Failure(error);
}

void SimSystemInfo::SetComputerName(std::optional<TextView> name, WinError error) {
  computerName_ = name ? Result<Text>(Text(*name)) : Result<Text>::Failure(error);
}

void SimSystemInfo::SetUserDefaultLocale(uint32_t lcid) {
  const std::lock_guard lock(localeMutex_);
  userDefaultLocale_ = lcid;
}

uint32_t SimSystemInfo::ThreadLocale() {
  const std::lock_guard lock(localeMutex_);
  const auto found = threadLocales_.find(CurrentThreadSerial());
  return found != threadLocales_.end() ? found->second : userDefaultLocale_;
}

void SimSystemInfo::SetThreadLocale(uint32_t lcid) {
  const std::lock_guard lock(localeMutex_);
  threadLocales_[CurrentThreadSerial()] = lcid;
}

Result<Text> SimSystemInfo::UserName() {
  if (auto e = faults_.Check(CallKind::kSystemName)) return e;
  return userName_;
}

Result<Text> SimSystemInfo::ComputerName() {
  if (auto e = faults_.Check(CallKind::kSystemName)) return e;
  return computerName_;
}

// ERROR_NOT_FOUND: what the system answers for a table it does not have.
constexpr WinError kErrorNotFoundCode = 1168;

Result<std::vector<uint8_t>> SimSystemInfo::FirmwareTable(uint32_t provider, uint32_t id) {
  if (provider != platform::kFirmwareProviderRsmb || id != 0 || !firmwareTable_) {
    return Result<std::vector<uint8_t>>::Failure(kErrorNotFoundCode);
  }
  return *firmwareTable_;
}

std::vector<uint32_t> SimSystemInfo::SupportedLocales() {
  std::vector<uint32_t> ids;
  for (const SimLocale& locale : locales_) ids.push_back(locale.lcid);
  return ids;
}

Text SimSystemInfo::LocaleInfo(uint32_t lcid, uint32_t type, uint32_t capacity) {
  for (const SimLocale& locale : locales_) {
    if (locale.lcid != lcid) continue;
    const Text* text = nullptr;
    if (type == platform::kLocaleSIso639LangName) text = &locale.iso639;
    if (type == platform::kLocaleSIso3166CtryName) text = &locale.iso3166;
    if (type == platform::kLocaleSEnglishLanguage) text = &locale.englishLanguage;
    // GetLocaleInfoW fails outright when the buffer is too small.
    if (text == nullptr || text->size() + 1 > capacity) return Text();
    return *text;
  }
  return Text();
}

Text SimSystemInfo::FormatShortDate(const platform::SystemTime& time, uint32_t capacity) {
  // The English (United States) short date: M/d/yyyy.
  const Text text =
      DecimalText(time.month) + u"/" + DecimalText(time.day) + u"/" + DecimalText(time.year);
  return CutToBuffer(text, capacity);
}

Text SimSystemInfo::FormatTime(const platform::SystemTime& time, uint32_t capacity) {
  // The English (United States) time: h:mm:ss tt.
  const unsigned hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
  const Text text = DecimalText(hour12) + u":" + TwoDigits(time.minute) + u":" +
                    TwoDigits(time.second) + (time.hour < 12 ? u" AM" : u" PM");
  return CutToBuffer(text, capacity);
}

Text SimSystemInfo::FormatLongDateTime(const platform::SystemTime& time, uint32_t capacity) {
  // Always the English (United States) long date and time, whatever the
  // thread's locale: dddd, MMMM d, yyyy, h:mm:ss tt.
  static constexpr const char16_t* kDays[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                              u"Thursday", u"Friday", u"Saturday"};
  static constexpr const char16_t* kMonths[] = {
      u"January", u"February", u"March",     u"April",   u"May",      u"June",
      u"July",    u"August",   u"September", u"October", u"November", u"December"};
  if (time.dayOfWeek > 6 || time.month < 1 || time.month > 12) return Text();
  const Text date = Text(kDays[time.dayOfWeek]) + u", " + kMonths[time.month - 1] + u" " +
                    DecimalText(time.day) + u", " + DecimalText(time.year);
  return CutToBuffer(date + u", " + FormatTime(time, 64), capacity);
}

Text SimSystemInfo::SystemMessage(uint32_t code) {
  const auto it = messages_.find(code);
  if (it != messages_.end()) return it->second;
  Text text = SystemText(code);
  if (!text.empty()) return text;
  return u"Unknown error " + DecimalText(code) + u".\r\n";
}

Text SimSystemInfo::NtStatusMessage(uint32_t status) {
  switch (status) {
    case 0x00000000:
      return u"STATUS_SUCCESS\r\n";
    case 0xC0000022:
      return u"{Access Denied}\r\nA process has requested access to an object, but has not "
             u"been granted those access rights.\r\n";
    case 0xC0000034:
      return u"Object Name not found.\r\n";
    case 0xC000000D:
      return u"An invalid parameter was passed to a service or function.\r\n";
    default:
      return Text();
  }
}

WinError SimSystemInfo::InitiateShutdown(TextView message, uint32_t timeoutSeconds,
                                         bool forceAppsClosed, bool reboot, uint32_t reason) {
  shutdowns_.push_back({Text(message), timeoutSeconds, forceAppsClosed, reboot, reason});
  return shutdownResult_;
}

}  // namespace tarn::sim
