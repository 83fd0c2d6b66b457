// The firmware table and the adapter address of Win32SystemInfo.
#include <cstring>

#include "platform/win32/win32_iphlpapi.h"
#include "platform/win32/win32_system_info.h"

namespace tarn::win32 {
namespace {

constexpr ULONG kAdapterBufferFirst = 16 * 1024;
constexpr int kAdapterTries = 3;
constexpr ULONG kMacLength = 6;

bool IsPhysicalUpAdapter(const IP_ADAPTER_ADDRESSES& adapter) {
  return adapter.OperStatus == IfOperStatusUp && adapter.IfType != IF_TYPE_SOFTWARE_LOOPBACK &&
         adapter.IfType != IF_TYPE_TUNNEL && adapter.PhysicalAddressLength == kMacLength;
}

}  // namespace

Result<std::vector<uint8_t>> Win32SystemInfo::FirmwareTable(uint32_t provider, uint32_t id) {
  // The table may change size between the two calls (never in practice):
  // the second call's answer is believed only when it fits.
  const UINT size = GetSystemFirmwareTable(provider, id, nullptr, 0);
  if (size == 0) return Result<std::vector<uint8_t>>::Failure(GetLastError());
  std::vector<uint8_t> table(size);
  const UINT written = GetSystemFirmwareTable(provider, id, table.data(), size);
  if (written == 0) return Result<std::vector<uint8_t>>::Failure(GetLastError());
  if (written > size) return Result<std::vector<uint8_t>>::Failure(ERROR_INSUFFICIENT_BUFFER);
  table.resize(written);
  return table;
}

std::optional<std::array<uint8_t, 6>> Win32SystemInfo::FirstAdapterAddress() {
  const auto& api = IpHelperFunctions();
  constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                           GAA_FLAG_SKIP_DNS_SERVER | GAA_FLAG_SKIP_UNICAST;
  ULONG size = kAdapterBufferFirst;
  std::vector<uint8_t> buffer;
  ULONG status = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < kAdapterTries && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.assign(size, 0);
    status = api.getAdaptersAddresses(
        AF_UNSPEC, kFlags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (status != NO_ERROR) return std::nullopt;
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
       adapter != nullptr; adapter = adapter->Next) {
    if (!IsPhysicalUpAdapter(*adapter)) continue;
    std::array<uint8_t, 6> address{};
    std::memcpy(address.data(), adapter->PhysicalAddress, address.size());
    return address;
  }
  return std::nullopt;
}

}  // namespace tarn::win32
