// Functions looked up by name at run time: those the import libraries do not
// declare, or that not every system has. Include after win32_windows.h.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn::win32 {

// The function `name` exported by `module`, as type `Fn`; null when the
// module does not export it.
template <class Fn>
[[nodiscard]] Fn FunctionOf(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The function `name` of `module`, a module this process has already loaded
// (ntdll.dll, user32.dll); null when the module is not loaded or lacks it.
// A module that must be loaded first is loaded into a UniqueModule and asked
// through FunctionOf.
template <class Fn>
[[nodiscard]] Fn SystemFunction(const wchar_t* module, const char* name) {
  return FunctionOf<Fn>(GetModuleHandleW(module), name);
}

}  // namespace tarn::win32
