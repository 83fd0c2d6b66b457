#include "ui/dialog_icons.h"

namespace tarn::ui {
namespace {

UINT ScreenColourFlags() {
  const HDC screen = GetDC(nullptr);
  const int bits = screen != nullptr ? GetDeviceCaps(screen, BITSPIXEL) : 32;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return static_cast<UINT>(bits) | ILC_MASK;
}

}  // namespace

UniqueImageList MakeSmallIconList(HINSTANCE instance, std::initializer_list<int> ids) {
  const int width = GetSystemMetrics(SM_CXSMICON);
  const int height = GetSystemMetrics(SM_CYSMICON);
  UniqueImageList images(
      ImageList_Create(width, height, ScreenColourFlags(), static_cast<int>(ids.size()), 0));
  if (!images) return images;
  for (const int id : ids) {
    const auto icon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
    if (icon != nullptr) {
      ImageList_AddIcon(images.get(), icon);
      DestroyIcon(icon);
    } else {
      // Shared: the system owns it and it is not destroyed.
      ImageList_AddIcon(images.get(), LoadIconW(nullptr, IDI_APPLICATION));
    }
  }
  return images;
}

int ClientWidth(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client.right - client.left;
}

}  // namespace tarn::ui
