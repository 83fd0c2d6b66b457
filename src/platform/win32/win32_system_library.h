// System libraries loaded at run time from the system folder alone, and the
// typed lookup of their functions. The program links statically only to
// libraries the system maps from its own folder before anything else (the
// known DLLs): a library of the same name planted beside the program, in the
// current directory or on PATH must never be the one that runs. Include
// after win32_windows.h.
#pragma once

#include "base/result.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_system_function.h"
#include "platform/win32/win32_windows.h"

namespace tarn::win32 {

// Restricts where this process looks for libraries and files, before any
// library is loaded by name: libraries come from the system folder alone
// (SetDefaultDllDirectories), the current directory is dropped from the
// library search (an empty SetDllDirectoryW) and SearchPathW looks in the
// current directory last (safe search mode, for the rest of the process).
// Each step is best effort: a system that lacks one keeps the others.
void RestrictLibrarySearch();

// Loads `name` (a file name such as L"netapi32.dll") from the system folder:
// LoadLibraryExW with LOAD_LIBRARY_SEARCH_SYSTEM32, and where the system does
// not know that flag, by the full path under GetSystemDirectoryW. Null with
// the thread's last error set when it cannot be loaded. The caller owns the
// reference (FreeLibrary).
[[nodiscard]] HMODULE LoadSystemLibrary(const wchar_t* name);

// A library of the system folder, loaded for as long as this object lives.
class SystemLibrary {
 public:
  // Loads `name` through LoadSystemLibrary.
  explicit SystemLibrary(const wchar_t* name);

  // The module; null when it could not be loaded (see error()).
  [[nodiscard]] HMODULE get() const { return module_.get(); }
  // Why it could not be loaded; kErrorSuccess when it was.
  [[nodiscard]] WinError error() const { return error_; }
  // The export `name` as type `Fn`; null when the library or the export is
  // missing.
  template <class Fn>
  [[nodiscard]] Fn Function(const char* name) const {
    return FunctionOf<Fn>(module_.get(), name);
  }

 private:
  UniqueModule module_;
  WinError error_ = kErrorSuccess;
};

// A stand-in for a function the system lacks: it answers `kFailure` with the
// last error ERROR_PROC_NOT_FOUND, so that a missing export is a failed call
// rather than a call through a null pointer.
template <auto kFailure, class Fn>
struct MissingFunction;

template <auto kFailure, class R, class... Args>
struct MissingFunction<kFailure, R(WINAPI*)(Args...)> {
  static R WINAPI Call(Args...) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return static_cast<R>(kFailure);
  }
};

// Points `slot` at the export `name` of `library`, or at the stand-in that
// fails with `kFailure` when the export (or the library) is missing.
template <auto kFailure, class Fn>
void BindFunction(const SystemLibrary& library, Fn& slot, const char* name) {
  slot = library.Function<Fn>(name);
  if (slot == nullptr) slot = &MissingFunction<kFailure, Fn>::Call;
}

}  // namespace tarn::win32
