#include "platform/win32/win32_environment.h"

#include <vector>

#include "platform/environment_block.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_system_function.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace tarn::win32 {
namespace {

constexpr WinError kErrorProcNotFound = 127;

// The counted string of ntdll's environment routines.
struct CountedString {
  USHORT length;
  USHORT maximumLength;
  const wchar_t* buffer;
};

using RtlCreateEnvironmentFn = LONG(WINAPI*)(BOOLEAN cloneCurrent, void** environment);
using RtlSetEnvironmentVariableFn = LONG(WINAPI*)(void** environment, const CountedString* name,
                                                  const CountedString* value);
using RtlSetCurrentEnvironmentFn = LONG(WINAPI*)(void* environment, void** previous);
using RtlDestroyEnvironmentFn = LONG(WINAPI*)(void* environment);
using RtlNtStatusToDosErrorFn = ULONG(WINAPI*)(LONG status);

template <class Fn>
Fn NtdllFunction(const char* name) {
  return SystemFunction<Fn>(L"ntdll.dll", name);
}

WinError DosError(LONG status) {
  if (auto convert = NtdllFunction<RtlNtStatusToDosErrorFn>("RtlNtStatusToDosError")) {
    return static_cast<WinError>(convert(status));
  }
  return kErrorInvalidParameter;
}

CountedString Counted(const std::wstring& text) {
  const auto bytes = static_cast<USHORT>(text.size() * sizeof(wchar_t));
  return CountedString{bytes, bytes, text.c_str()};
}

}  // namespace

std::optional<Text> Win32Environment::Get(TextView name) {
  const std::wstring wideName = Wide(name);
  std::vector<wchar_t> buffer(256);
  for (int attempt = 0; attempt < 4; ++attempt) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length =
        GetEnvironmentVariableW(wideName.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return Text();
    }
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(length);
  }
  return std::nullopt;
}

WinError Win32Environment::Set(TextView name, std::optional<TextView> value) {
  const std::wstring wideValue = value ? Wide(*value) : std::wstring();
  if (!SetEnvironmentVariableW(Wide(name).c_str(), value ? wideValue.c_str() : nullptr)) {
    return GetLastError();
  }
  return kErrorSuccess;
}

platform::Expansion Win32Environment::Expand(TextView text, uint32_t capacity) {
  const std::wstring source = Wide(text);
  std::vector<wchar_t> buffer(source.size() + 256);
  platform::Expansion result;
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD required =
        ExpandEnvironmentStringsW(source.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (required == 0) return result;
    if (required <= buffer.size()) {
      result.required = required;
      const Text whole = FromWide(buffer.data(), required - 1);
      result.text = CutToBuffer(whole, capacity);
      return result;
    }
    buffer.resize(required);
  }
  return result;
}

platform::EnvironmentBlock Win32Environment::CurrentBlock() {
  const UniqueSystemPointer<wchar_t, FreeEnvironmentStringsW> block(GetEnvironmentStringsW());
  if (block == nullptr) return platform::EnvironmentBlock(2, u'\0');
  return FromWide(block.get(), platform::EnvironmentBlockLength(block.get()));
}

Result<platform::EnvironmentBlock> Win32Environment::ReplaceBlock(
    const platform::EnvironmentBlock& block) {
  using Previous = Result<platform::EnvironmentBlock>;
  auto create = NtdllFunction<RtlCreateEnvironmentFn>("RtlCreateEnvironment");
  auto set = NtdllFunction<RtlSetEnvironmentVariableFn>("RtlSetEnvironmentVariable");
  auto swap = NtdllFunction<RtlSetCurrentEnvironmentFn>("RtlSetCurrentEnvironment");
  auto destroy = NtdllFunction<RtlDestroyEnvironmentFn>("RtlDestroyEnvironment");
  if (!create || !set || !swap || !destroy) return Previous::Failure(kErrorProcNotFound);
  const auto entries = platform::ParseEnvironmentBlock(block);
  if (!entries) return Previous::Failure(kErrorInvalidParameter);
  // The new block is built by ntdll itself, so it lives in the memory the
  // system expects when it later grows or frees the environment.
  void* created = nullptr;
  if (LONG status = create(FALSE, &created); status < 0) return Previous::Failure(DosError(status));
  // Owned until the swap below hands it to the process.
  std::unique_ptr<void, RtlDestroyEnvironmentFn> environment(created, destroy);
  // Setting a name twice would let the later entry win; the block's own
  // lookups find the first.
  for (const auto& entry : platform::FirstOfEachName(*entries)) {
    const std::wstring name = Wide(entry.name);
    const std::wstring value = Wide(entry.value);
    if (name.size() > 0x7FFF || value.size() > 0x7FFF)
      return Previous::Failure(kErrorInvalidParameter);
    const CountedString countedName = Counted(name);
    const CountedString countedValue = Counted(value);
    // The set may move the block; the owner follows it.
    void* current = environment.release();
    const LONG status = set(&current, &countedName, &countedValue);
    environment.reset(current);
    if (status < 0) return Previous::Failure(DosError(status));
  }
  void* replaced = nullptr;
  if (LONG status = swap(environment.get(), &replaced); status < 0) {
    return Previous::Failure(DosError(status));
  }
  environment.release();
  const std::unique_ptr<void, RtlDestroyEnvironmentFn> previous(replaced, destroy);
  if (previous == nullptr) return platform::EnvironmentBlock(2, u'\0');
  const auto* text = static_cast<const wchar_t*>(previous.get());
  return FromWide(text, platform::EnvironmentBlockLength(text));
}

}  // namespace tarn::win32
