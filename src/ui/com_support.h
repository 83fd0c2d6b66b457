// COM pieces the pages share: owning pointers to interfaces and BSTRs made
// through OLE automation, which is bound at run time from the system folder
// so that its library stays out of the program's start.
#pragma once

#include <memory>
#include <string>

#include "platform/win32/win32_windows.h"

#include <ole2.h>

namespace tarn::ui {

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

}  // namespace tarn::ui
