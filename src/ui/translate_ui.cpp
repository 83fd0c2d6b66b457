#include "ui/translate_ui.h"

#include <string>

#include "platform/win32/win32_text.h"
#include "ui/dialog_template.h"

namespace tarn::ui {
namespace {

// The bytes of the RT_DIALOG resource `dialogId`; empty when missing.
std::span<const uint8_t> DialogTemplateBytes(int dialogId) {
  HMODULE module = GetModuleHandleW(nullptr);
  const std::wstring name = L"#" + std::to_wstring(dialogId);
  HRSRC resource = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (resource == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, resource);
  if (loaded == nullptr) return {};
  const void* data = LockResource(loaded);
  if (data == nullptr) return {};
  return {static_cast<const uint8_t*>(data), SizeofResource(module, resource)};
}

}  // namespace

void TranslateDialog(HWND dialog, int dialogId, app::Translator& translator) {
  if (const auto caption = translator.Lookup(static_cast<uint32_t>(dialogId))) {
    SetWindowTextW(dialog, win32::Wide(*caption).c_str());
  }
  const ui::DialogTemplateItems items = ui::ReadDialogTemplateItems(DialogTemplateBytes(dialogId));
  for (const uint16_t identifier : items.identifiers) {
    if (const auto text = translator.Lookup(identifier)) {
      SetDlgItemTextW(dialog, identifier, win32::Wide(*text).c_str());
    }
  }
}

void TranslateMenu(HMENU menu, app::Translator& translator) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) continue;
    if (info.wID != 0xFFFF) {
      if (const auto text = translator.Lookup(info.wID)) {
        std::wstring wide = win32::Wide(*text);
        MENUITEMINFOW update{};
        update.cbSize = sizeof(update);
        update.fMask = MIIM_STRING | MIIM_FTYPE;
        update.fType = MFT_STRING;
        update.dwTypeData = wide.data();
        SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &update);
      }
    }
    if (info.hSubMenu != nullptr) TranslateMenu(info.hSubMenu, translator);
  }
}

}  // namespace tarn::ui
