// Owners of the system's handles: each closes its handle exactly once, when
// it leaves scope. Include after win32_windows.h.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include "platform/win32/win32_windows.h"

namespace tarn::win32 {

// A handle type with its close function and its "no handle" values.
template <class H, class Traits>
class UniqueHandleOf {
 public:
  UniqueHandleOf() = default;
  explicit UniqueHandleOf(H handle) : handle_(handle) {}
  UniqueHandleOf(const UniqueHandleOf&) = delete;
  UniqueHandleOf& operator=(const UniqueHandleOf&) = delete;
  UniqueHandleOf(UniqueHandleOf&& other) noexcept : handle_(other.release()) {}
  UniqueHandleOf& operator=(UniqueHandleOf&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandleOf() { reset(); }

  [[nodiscard]] H get() const { return handle_; }
  [[nodiscard]] bool valid() const { return Traits::Valid(handle_); }
  explicit operator bool() const { return valid(); }
  // For functions that return a handle through a pointer.
  [[nodiscard]] H* receive() {
    reset();
    return &handle_;
  }
  H release() { return std::exchange(handle_, Traits::Empty()); }
  void reset(H handle = Traits::Empty()) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  H handle_ = Traits::Empty();
};

struct KernelHandleTraits {
  static HANDLE Empty() { return nullptr; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};

// File handles use INVALID_HANDLE_VALUE for "none".
struct FileHandleTraits {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};

struct FindHandleTraits {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { FindClose(h); }
};

struct ServiceHandleTraits {
  static SC_HANDLE Empty() { return nullptr; }
  static bool Valid(SC_HANDLE h) { return h != nullptr; }
  static void Close(SC_HANDLE h) { CloseServiceHandle(h); }
};

// A deleter that hands the pointer to the system function `Release` (its
// result is of no use at that point).
template <auto Release>
struct ReleaseWith {
  template <class T>
  void operator()(T* pointer) const {
    if (pointer != nullptr) Release(pointer);
  }
};

// Memory or an object the system allocated, released by `Release` on scope
// exit. Files that include the header declaring `Release` name their own.
template <class T, auto Release>
using UniqueSystemPointer = std::unique_ptr<T, ReleaseWith<Release>>;

// A module loaded by LoadLibraryW; freed on scope exit.
using UniqueModule = UniqueSystemPointer<std::remove_pointer_t<HMODULE>, FreeLibrary>;

using UniqueHandle = UniqueHandleOf<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueHandleOf<HANDLE, FileHandleTraits>;
using UniqueFind = UniqueHandleOf<HANDLE, FindHandleTraits>;
using UniqueService = UniqueHandleOf<SC_HANDLE, ServiceHandleTraits>;

}  // namespace tarn::win32
