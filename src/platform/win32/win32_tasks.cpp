// The Task Scheduler through its COM interfaces (ITaskService), for the
// task that continues a run after a restart.
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

#include <oleauto.h>
#include <taskschd.h>

namespace tarn::win32 {
namespace {

// CLSID_TaskScheduler, defined here so that no import library of taskschd.dll
// is linked: COM loads it from the system folder.
constexpr CLSID kTaskSchedulerClass = {
    0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr IID kTaskServiceInterface = {
    0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

// COM on the calling thread for the scope's lifetime; a thread already in
// another apartment keeps it.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  [[nodiscard]] bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

// Releases a COM interface at the end of its scope.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  Interface** out() { return &pointer_; }
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

// A BSTR of `text`, freed at the end of its scope.
class Bstr {
 public:
  explicit Bstr(TextView text)
      : value_(SysAllocStringLen(Wide(text).c_str(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  [[nodiscard]] BSTR get() const { return value_; }

 private:
  BSTR value_;
};

// The HRESULT as the Win32 error it carries, or the HRESULT itself.
WinError ErrorOf(HRESULT result) {
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return HRESULT_CODE(result);
  return static_cast<WinError>(result);
}

// The root folder of the local Task Scheduler.
HRESULT OpenRootFolder(ComPtr<ITaskService>& service, ComPtr<ITaskFolder>& folder) {
  HRESULT result = CoCreateInstance(kTaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER,
                                    kTaskServiceInterface, reinterpret_cast<void**>(service.out()));
  if (FAILED(result)) return result;
  VARIANT empty;
  VariantInit(&empty);
  result = service->Connect(empty, empty, empty, empty);
  if (FAILED(result)) return result;
  const Bstr root(u"\\");
  return service->GetFolder(root.get(), folder.out());
}

}  // namespace

WinError Win32Services::RegisterTask(TextView name, TextView xml, TextView userId,
                                     bool serviceAccount) {
  const ComScope com;
  if (!com.usable()) return kErrorAccessDenied;
  ComPtr<ITaskService> service;
  ComPtr<ITaskFolder> folder;
  if (const HRESULT opened = OpenRootFolder(service, folder); FAILED(opened)) {
    return ErrorOf(opened);
  }
  const Bstr path(name);
  const Bstr definition(xml);
  const Bstr user(userId);
  VARIANT account;
  VariantInit(&account);
  account.vt = VT_BSTR;
  account.bstrVal = user.get();
  VARIANT empty;
  VariantInit(&empty);
  ComPtr<IRegisteredTask> task;
  const TASK_LOGON_TYPE logon =
      serviceAccount ? TASK_LOGON_SERVICE_ACCOUNT : TASK_LOGON_INTERACTIVE_TOKEN;
  const HRESULT result = folder->RegisterTask(path.get(), definition.get(), TASK_CREATE_OR_UPDATE,
                                              account, empty, logon, empty, task.out());
  return SUCCEEDED(result) ? kErrorSuccess : ErrorOf(result);
}

WinError Win32Services::DeleteTask(TextView name) {
  const ComScope com;
  if (!com.usable()) return kErrorAccessDenied;
  ComPtr<ITaskService> service;
  ComPtr<ITaskFolder> folder;
  if (const HRESULT opened = OpenRootFolder(service, folder); FAILED(opened)) {
    return ErrorOf(opened);
  }
  const Bstr path(name);
  const HRESULT result = folder->DeleteTask(path.get(), 0);
  return SUCCEEDED(result) ? kErrorSuccess : ErrorOf(result);
}

}  // namespace tarn::win32
