// COM pieces the backend and the pages share: a COM scope per call, owning
// pointers to interfaces, and BSTRs made through OLE automation, which is
// bound at run time from the system folder so that its library stays out of
// the program's start.
#pragma once

#include <memory>
#include <string>

#include "platform/win32/win32_windows.h"

#include <ole2.h>

namespace tarn::win32 {

// COM on the calling thread for the scope's lifetime, in the given apartment
// model (COINIT_APARTMENTTHREADED or COINIT_MULTITHREADED). A thread already
// in another apartment keeps it.
class ComScope {
 public:
  explicit ComScope(DWORD model) : result_(CoInitializeEx(nullptr, model)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  // False only when COM could not be started on this thread at all.
  [[nodiscard]] bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

// Releases an interface pointer; a null pointer is left alone.
struct ComRelease {
  void operator()(IUnknown* object) const {
    if (object != nullptr) object->Release();
  }
};
template <class T>
using ComPointer = std::unique_ptr<T, ComRelease>;

// Frees a BSTR with SysFreeString.
struct FreeBstr {
  void operator()(OLECHAR* text) const;
};
using UniqueBstr = std::unique_ptr<OLECHAR, FreeBstr>;

// A BSTR copy of `text`; null when OLE automation is missing or out of memory.
[[nodiscard]] UniqueBstr MakeBstr(const std::wstring& text);

// The HRESULT as the Win32 error it carries, or the HRESULT itself.
[[nodiscard]] inline DWORD ErrorOfResult(HRESULT result) {
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return HRESULT_CODE(result);
  return static_cast<DWORD>(result);
}

}  // namespace tarn::win32
