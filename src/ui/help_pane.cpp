#include "ui/help_pane.h"

#include <ole2.h>
#include <richole.h>
#include <tom.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/win32_com.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_system_library.h"
#include "platform/win32/win32_text.h"
#include "ui/high_contrast.h"
#include "wizard/help_content.h"

namespace tarn::ui {

using win32::ComPointer;
using win32::MakeBstr;
using win32::UniqueBstr;

// The rich edit control's partner for embedded objects: it hands out
// storage on memory for the pictures of a help document and refuses every
// other object. A document's OLE object would be loaded, and its server
// possibly run, inside the elevated program; a picture is drawn, never run.
// Reference-counted; the control holds one reference, the pane the other.
// COM objects end in Release, never through a pointer to their interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class HelpPaneCallback final : public IRichEditOleCallback {
 public:
  // IUnknown: the object itself for IUnknown and IRichEditOleCallback.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  // A new compound-file storage on memory for an embedded object.
  HRESULT STDMETHODCALLTYPE GetNewStorage(IStorage** storage) noexcept override;
  HRESULT STDMETHODCALLTYPE GetInPlaceContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                              OLEINPLACEFRAMEINFO*) noexcept override;
  HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL) noexcept override { return S_OK; }
  // Asked for each object of a document as it is read: only static pictures.
  HRESULT STDMETHODCALLTYPE QueryInsertObject(CLSID* kind, IStorage*, LONG) noexcept override;
  HRESULT STDMETHODCALLTYPE DeleteObject(IOleObject*) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE QueryAcceptData(IDataObject*, CLIPFORMAT*, DWORD, BOOL,
                                            HGLOBAL) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD,
                                             IDataObject** data) noexcept override;
  HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL, DWORD, DWORD* effect) noexcept override;
  HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, IOleObject*, CHARRANGE*,
                                           HMENU* menu) noexcept override;

 private:
  ~HelpPaneCallback() = default;
  std::atomic<ULONG> references_{1};
};
#pragma GCC diagnostic pop

namespace {

// Spelled out here so that the program needs no uuid library for them.
constexpr IID kIidUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidRichEditOleCallback = {
    0x00020D03, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidTextDocument = {
    0x8CC497C0, 0xA1DF, 0x11CE, {0x80, 0x98, 0x00, 0xAA, 0x00, 0x47, 0xBE, 0x5D}};

// A file larger than this is no help document.
constexpr LONGLONG kMaxDocumentBytes = 64LL * 1024 * 1024;

template <class T>
void ReleaseInto(T*& object) {
  if (object != nullptr) object->Release();
  object = nullptr;
}

std::optional<std::string> ReadWholeFile(TextView path) {
  const std::wstring wide = win32::Wide(path);
  win32::UniqueFile file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxDocumentBytes) return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return std::nullopt;
  }
  bytes.resize(read);
  return bytes;
}

// What EM_STREAMIN reads from.
struct StreamSource {
  std::string_view bytes;
};

DWORD CALLBACK ReadSource(DWORD_PTR cookie, BYTE* buffer, LONG wanted, LONG* given) {
  auto& source = *reinterpret_cast<StreamSource*>(cookie);
  const size_t count = std::min(source.bytes.size(), static_cast<size_t>(std::max(wanted, 0L)));
  std::copy_n(source.bytes.data(), count, buffer);
  source.bytes.remove_prefix(count);
  *given = static_cast<LONG>(count);
  return 0;
}

// The stream format of a document: RTF by its header, else text, UTF-16
// when it starts with a byte-order mark, else in the ANSI code page.
WPARAM StreamFormat(std::string_view& bytes) {
  if (bytes.starts_with("{\\rtf")) return SF_RTF;
  if (bytes.starts_with("\xFF\xFE")) {
    bytes.remove_prefix(2);
    return SF_TEXT | SF_UNICODE;
  }
  return SF_TEXT;
}

bool StreamIn(HWND control, std::string_view bytes) {
  const WPARAM format = StreamFormat(bytes);
  StreamSource source{bytes};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadSource;
  SendMessageW(control, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
  return stream.dwError == 0;
}

}  // namespace

HRESULT HelpPaneCallback::QueryInterface(REFIID iid, void** out) noexcept {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(iid, kIidUnknown) || IsEqualIID(iid, kIidRichEditOleCallback)) {
    *out = static_cast<IRichEditOleCallback*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG HelpPaneCallback::Release() noexcept {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT HelpPaneCallback::QueryInsertObject(CLSID* kind, IStorage*, LONG) noexcept {
  if (kind == nullptr) return E_FAIL;
  // The static metafile, device-independent bitmap and enhanced metafile
  // pictures of a document become: {000003xx-0000-0000-C000-000000000046}.
  constexpr GUID kPictureTail = {
      0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  const bool staticPicture =
      (kind->Data1 == 0x315 || kind->Data1 == 0x316 || kind->Data1 == 0x319) &&
      kind->Data2 == kPictureTail.Data2 && kind->Data3 == kPictureTail.Data3 &&
      std::equal(std::begin(kind->Data4), std::end(kind->Data4), std::begin(kPictureTail.Data4));
  return staticPicture ? S_OK : E_FAIL;
}

HRESULT HelpPaneCallback::GetNewStorage(IStorage** storage) noexcept {
  try {
    if (storage == nullptr) return E_POINTER;
    *storage = nullptr;
    ILockBytes* raw = nullptr;
    const HRESULT made = CreateILockBytesOnHGlobal(nullptr, TRUE, &raw);
    if (FAILED(made)) return made;
    // The storage holds its own reference to the memory.
    const ComPointer<ILockBytes> bytes(raw);
    return StgCreateDocfileOnILockBytes(
        bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT HelpPaneCallback::GetInPlaceContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                            OLEINPLACEFRAMEINFO*) noexcept {
  if (frame != nullptr) *frame = nullptr;
  if (doc != nullptr) *doc = nullptr;
  return E_NOTIMPL;
}

HRESULT HelpPaneCallback::GetClipboardData(CHARRANGE*, DWORD, IDataObject** data) noexcept {
  if (data != nullptr) *data = nullptr;
  return E_NOTIMPL;
}

HRESULT HelpPaneCallback::GetDragDropEffect(BOOL, DWORD, DWORD* effect) noexcept {
  if (effect != nullptr) *effect = DROPEFFECT_NONE;
  return E_NOTIMPL;
}

HRESULT HelpPaneCallback::GetContextMenu(WORD, IOleObject*, CHARRANGE*, HMENU* menu) noexcept {
  if (menu != nullptr) *menu = nullptr;
  return E_NOTIMPL;
}

bool LoadRichEdit() {
  WNDCLASSEXW info{};
  info.cbSize = sizeof(info);
  if (GetClassInfoExW(nullptr, RICHEDIT_CLASSW, &info)) return true;
  // Never freed: the class must outlive every control of the process.
  return win32::LoadSystemLibrary(L"riched20.dll") != nullptr &&
         GetClassInfoExW(nullptr, RICHEDIT_CLASSW, &info);
}

HelpPane::~HelpPane() {
  Destroy();
}

bool HelpPane::Create(HWND richEdit) {
  Destroy();
  if (!LoadRichEdit() || richEdit == nullptr || !IsWindow(richEdit)) return false;
  control_ = richEdit;
  SendMessageW(control_, EM_AUTOURLDETECT, TRUE, 0);
  SendMessageW(control_, EM_SETEVENTMASK, 0, ENM_LINK | ENM_OBJECTPOSITIONS | ENM_PROTECTED);
  if (SendMessageW(control_, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole_)) &&
      ole_ != nullptr) {
    void* document = nullptr;
    if (SUCCEEDED(ole_->QueryInterface(kIidTextDocument, &document))) {
      document_ = static_cast<ITextDocument*>(document);
    }
  }
  callback_ = new HelpPaneCallback();
  SendMessageW(control_, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(callback_));
  ShowWindow(control_, SW_SHOW);
  return true;
}

void HelpPane::Destroy() {
  if (control_ != nullptr && IsWindow(control_)) {
    SendMessageW(control_, EM_SETOLECALLBACK, 0, 0);
  }
  ReleaseInto(document_);
  ReleaseInto(ole_);
  ReleaseInto(callback_);
  control_ = nullptr;
}

bool HelpPane::ShowHelpFile(TextView path) {
  if (control_ == nullptr) return false;
  if (document_ != nullptr) {
    const std::wstring wide = win32::Wide(path);
    const UniqueBstr name = MakeBstr(wide);
    VARIANT argument{};
    argument.vt = VT_BSTR;
    argument.bstrVal = name.get();
    if (name && SUCCEEDED(document_->Open(&argument, tomReadOnly | tomOpenExisting, 0))) {
      return true;
    }
  }
  // Where the text document cannot open files (Wine), the control reads
  // the bytes itself.
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (bytes && StreamIn(control_, *bytes)) return true;
  Clear();
  return false;
}

void HelpPane::ShowHelpText(TextView title, TextView body) {
  SetPaneText(wizard::ShortHelpRtf(title, body, HighContrastOn()));
}

void HelpPane::Clear() {
  SetPaneText(std::string());
}

Text HelpPane::LinkText(const ENLINK& link) const {
  if (control_ == nullptr) return Text();
  // Counted with CR LF line ends, never less than the control's positions.
  GETTEXTLENGTHEX query{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
  const auto length = static_cast<LONG>(
      SendMessageW(control_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
  const LONG first = link.chrg.cpMin;
  const LONG last = (link.chrg.cpMax < 0 || link.chrg.cpMax > length) ? length : link.chrg.cpMax;
  if (first < 0 || first >= last) return Text();
  std::wstring buffer(static_cast<size_t>(last - first) + 1, L'\0');
  TEXTRANGEW range{{first, last}, buffer.data()};
  const LRESULT copied =
      SendMessageW(control_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  return win32::FromWide(buffer.data(),
                         static_cast<size_t>(std::clamp<LRESULT>(copied, 0, last - first)));
}

void HelpPane::SetPaneText(const std::string& bytes) {
  if (control_ == nullptr) return;
  SETTEXTEX settings{ST_DEFAULT, CP_UTF8};
  SendMessageW(control_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&settings),
               reinterpret_cast<LPARAM>(bytes.c_str()));
}

}  // namespace tarn::ui
