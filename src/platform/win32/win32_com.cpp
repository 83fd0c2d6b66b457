#include "platform/win32/win32_com.h"

#include "platform/win32/win32_system_library.h"

namespace tarn::win32 {
namespace {

struct Automation {
  using Allocate = BSTR(WINAPI*)(const OLECHAR*, UINT);
  using Free = void(WINAPI*)(BSTR);
  Allocate allocate = nullptr;
  Free free = nullptr;
};

const Automation& AutomationFunctions() {
  static const Automation functions = [] {
    Automation found;
    if (HMODULE library = LoadSystemLibrary(L"oleaut32.dll")) {
      found.allocate = reinterpret_cast<Automation::Allocate>(
          reinterpret_cast<void*>(GetProcAddress(library, "SysAllocStringLen")));
      found.free = reinterpret_cast<Automation::Free>(
          reinterpret_cast<void*>(GetProcAddress(library, "SysFreeString")));
    }
    return found;
  }();
  return functions;
}

}  // namespace

void FreeBstr::operator()(OLECHAR* text) const {
  if (AutomationFunctions().free) AutomationFunctions().free(text);
}

UniqueBstr MakeBstr(const std::wstring& text) {
  const Automation& automation = AutomationFunctions();
  if (!automation.allocate || !automation.free) return nullptr;
  return UniqueBstr(automation.allocate(text.c_str(), static_cast<UINT>(text.size())));
}

}  // namespace tarn::win32
