// Errors are values: a Windows error code (0 = success) travels with or
// instead of a result. Nothing in the core throws across a layer.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

namespace tarn {

// A Windows system error code (ERROR_*), or an NTSTATUS/NET API code where a
// caller documents it. 0 is success.
using WinError = uint32_t;

inline constexpr WinError kErrorSuccess = 0;
inline constexpr WinError kErrorFileNotFound = 2;
inline constexpr WinError kErrorPathNotFound = 3;
inline constexpr WinError kErrorAccessDenied = 5;
inline constexpr WinError kErrorInvalidHandle = 6;
inline constexpr WinError kErrorNotEnoughMemory = 8;
inline constexpr WinError kErrorInvalidData = 13;
inline constexpr WinError kErrorAlreadyExists = 183;
inline constexpr WinError kErrorInvalidParameter = 87;
inline constexpr WinError kErrorInsufficientBuffer = 122;
inline constexpr WinError kErrorMoreData = 234;
inline constexpr WinError kErrorNoMoreItems = 259;
inline constexpr WinError kErrorNotSupported = 50;
inline constexpr WinError kErrorBadNetPath = 53;
// ERROR_DIRECTORY: a path that should be a folder is not one.
inline constexpr WinError kErrorDirectory = 267;
inline constexpr WinError kErrorBadPathname = 161;
inline constexpr WinError kErrorDirNotEmpty = 145;
inline constexpr WinError kErrorFileExists = 80;
inline constexpr WinError kErrorNoneMapped = 1332;
inline constexpr WinError kErrorNoSuchUser = 1317;
inline constexpr WinError kErrorUserExists = 1316;
inline constexpr WinError kErrorServiceDoesNotExist = 1060;
inline constexpr WinError kErrorCallNotImplemented = 120;
inline constexpr WinError kNerrUserNotFound = 2221;
inline constexpr WinError kNerrUserExists = 2224;
inline constexpr WinError kNerrGroupNotFound = 2220;

// Either a value or a non-zero error code.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  static Result Failure(WinError error) { return Result(error, 0); }

  [[nodiscard]] bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  // The error code; kErrorSuccess when ok().
  [[nodiscard]] WinError error() const { return error_; }
  // Precondition: ok().
  [[nodiscard]] T& value() { return *value_; }
  [[nodiscard]] const T& value() const { return *value_; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  [[nodiscard]] T value_or(T other) const { return value_ ? *value_ : std::move(other); }

 private:
  Result(WinError error, int) : error_(error == 0 ? kErrorInvalidParameter : error) {}
  std::optional<T> value_;
  WinError error_ = kErrorSuccess;
};

}  // namespace tarn
