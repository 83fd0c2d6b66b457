// The Task Scheduler through its COM interfaces (ITaskService), for the
// task that continues a run after a restart.
#include "platform/win32/win32_com.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

#include <taskschd.h>

namespace tarn::win32 {
namespace {

// CLSID_TaskScheduler, defined here so that no import library of taskschd.dll
// is linked: COM loads it from the system folder.
constexpr CLSID kTaskSchedulerClass = {
    0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr IID kTaskServiceInterface = {
    0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

// The root folder of the local Task Scheduler, with the service that keeps
// it connected.
struct SchedulerRoot {
  ComPointer<ITaskService> service;
  ComPointer<ITaskFolder> folder;
};

HRESULT OpenRootFolder(SchedulerRoot& root) {
  ITaskService* service = nullptr;
  HRESULT result = CoCreateInstance(kTaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER,
                                    kTaskServiceInterface, reinterpret_cast<void**>(&service));
  if (FAILED(result)) return result;
  root.service.reset(service);
  const VARIANT empty{};  // VT_EMPTY: this machine, the caller's account
  result = root.service->Connect(empty, empty, empty, empty);
  if (FAILED(result)) return result;
  const UniqueBstr path = MakeBstr(L"\\");
  if (!path) return E_OUTOFMEMORY;
  ITaskFolder* folder = nullptr;
  result = root.service->GetFolder(path.get(), &folder);
  root.folder.reset(folder);
  return result;
}

// Runs `call` on the root folder inside a COM scope of its own; the call
// gets the task's name as a BSTR.
template <typename Call>
WinError OnRootFolder(TextView name, Call call) {
  const ComScope com(COINIT_MULTITHREADED);
  if (!com.usable()) return kErrorAccessDenied;
  SchedulerRoot root;
  if (const HRESULT opened = OpenRootFolder(root); FAILED(opened)) return ErrorOfResult(opened);
  const UniqueBstr path = MakeBstr(Wide(name));
  if (!path) return kErrorNotEnoughMemory;
  const HRESULT result = call(*root.folder, path.get());
  return SUCCEEDED(result) ? kErrorSuccess : ErrorOfResult(result);
}

}  // namespace

WinError Win32Services::RegisterTask(TextView name, TextView xml, TextView userId,
                                     bool serviceAccount) {
  const UniqueBstr definition = MakeBstr(Wide(xml));
  const UniqueBstr user = MakeBstr(Wide(userId));
  if (!definition || !user) return kErrorNotEnoughMemory;
  const TASK_LOGON_TYPE logon =
      serviceAccount ? TASK_LOGON_SERVICE_ACCOUNT : TASK_LOGON_INTERACTIVE_TOKEN;
  return OnRootFolder(name, [&](ITaskFolder& folder, BSTR path) {
    VARIANT account{};
    account.vt = VT_BSTR;
    account.bstrVal = user.get();
    const VARIANT empty{};
    IRegisteredTask* task = nullptr;
    const HRESULT result = folder.RegisterTask(path, definition.get(), TASK_CREATE_OR_UPDATE,
                                               account, empty, logon, empty, &task);
    const ComPointer<IRegisteredTask> registered(task);
    return result;
  });
}

WinError Win32Services::DeleteTask(TextView name) {
  return OnRootFolder(name,
                      [](ITaskFolder& folder, BSTR path) { return folder.DeleteTask(path, 0); });
}

}  // namespace tarn::win32
