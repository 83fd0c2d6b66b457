#include "ui/ex_list_view.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "catalogue/software_entry.h"
#include "platform/environment.h"
#include "platform/win32/win32_text.h"
#include "ui/high_contrast.h"
#include "ui/window_dpi.h"
#include "wizard/frame_layout.h"
#include "wizard/row_search.h"

namespace tarn::ui {

namespace {

constexpr wchar_t kViewProperty[] = L"this";
constexpr wchar_t kOldProcedureProperty[] = L"OldWndProc";
constexpr wchar_t kSymbolFont[] = L"Marlett";
// Row texts are expanded into a buffer of this many units, as the system's
// path-sized buffers are.
constexpr uint32_t kExpandedTextCapacity = 260;

wizard::Box BoxOf(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

RECT RectOf(const wizard::Box& b) {
  return {b.left, b.top, b.right, b.bottom};
}

wizard::SystemColours ReadSystemColours() {
  wizard::SystemColours c;
  c.window = GetSysColor(COLOR_WINDOW);
  c.windowText = GetSysColor(COLOR_WINDOWTEXT);
  c.highlight = GetSysColor(COLOR_HIGHLIGHT);
  c.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  c.grayText = GetSysColor(COLOR_GRAYTEXT);
  c.buttonShadow = GetSysColor(COLOR_BTNSHADOW);
  c.buttonFace = GetSysColor(COLOR_BTNFACE);
  c.buttonHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  c.darkShadow = GetSysColor(COLOR_3DDKSHADOW);
  c.highContrast = HighContrastOn();
  return c;
}

std::optional<RECT> ItemRect(HWND list, size_t row, int part) {
  RECT r{};
  r.left = part;
  if (!SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r))) return std::nullopt;
  return r;
}

UniqueFont SymbolFont(int32_t height, BYTE clipPrecision) {
  return UniqueFont(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, clipPrecision, DEFAULT_QUALITY, DEFAULT_PITCH,
                                kSymbolFont));
}

// A list made again with LVS_OWNERDATA, which the control takes only at
// creation; the original is destroyed. The original on failure.
HWND OwnerDataTwin(HWND list) {
  HWND parent = GetParent(list);
  RECT place{};
  GetWindowRect(list, &place);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(list, GWL_STYLE)) | LVS_OWNERDATA;
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(list, GWL_EXSTYLE));
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list, GWLP_HINSTANCE));
  HWND twin = CreateWindowExW(exStyle, WC_LISTVIEWW, L"", style, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(list))),
                              instance, nullptr);
  if (twin == nullptr) return list;
  SendMessageW(twin, WM_SETFONT, SendMessageW(list, WM_GETFONT, 0, 0), FALSE);
  SendMessageW(twin, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  for (int i = 0;; ++i) {
    wchar_t text[kExpandedTextCapacity] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = static_cast<int>(std::size(text));
    if (!SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column))) break;
    SendMessageW(twin, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SetWindowPos(twin, list, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DestroyWindow(list);
  return twin;
}

// The control's own check box images would make every row as tall as they
// are and move its text; the rows draw their own boxes, so the control's
// state images become single pixels. The list frees the new image list
// with itself (its images are not shared); its own is freed here.
void ShrinkStateImages(HWND list) {
  HIMAGELIST pixels = ImageList_Create(1, 1, ILC_COLOR, 3, 0);
  if (pixels == nullptr) return;
  ImageList_SetImageCount(pixels, 3);
  const auto own = reinterpret_cast<HIMAGELIST>(
      SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(pixels)));
  if (own != nullptr && own != pixels) ImageList_Destroy(own);
}

}  // namespace

ExListView::~ExListView() {
  Detach();
}

void ExListView::Attach(HWND list) {
  if (list_ != nullptr || list == nullptr) return;
  if ((GetWindowLongPtrW(list, GWL_STYLE) & LVS_OWNERDATA) == 0) list = OwnerDataTwin(list);
  // Every row is painted here, not owner drawn. The control's own check
  // boxes are on so that screen readers and UI Automation report each row
  // as a check box with its state; being virtual, the list keeps no check
  // state of its own but asks for it (the callback mask), and the glyph
  // clicks and the space bar never reach it.
  const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
  SetWindowLongPtrW(
      list, GWL_STYLE,
      (style & ~LONG_PTR{LVS_OWNERDRAWFIXED}) | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  SendMessageW(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  ShrinkStateImages(list);
  list_ = list;
  SetPropW(list_, kViewProperty, this);
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
  SetPropW(list_, kOldProcedureProperty, reinterpret_cast<HANDLE>(previous_));
}

void ExListView::Detach() {
  if (list_ == nullptr) return;
  if (IsWindow(list_)) {
    if (GetWindowLongPtrW(list_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Procedure)) {
      SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    }
    RemovePropW(list_, kViewProperty);
    RemovePropW(list_, kOldProcedureProperty);
  }
  list_ = nullptr;
  previous_ = nullptr;
  fonts_ = {};
}

void ExListView::SetModel(wizard::SoftwareSelection* model) {
  model_ = model;
  if (list_ == nullptr) return;
  const size_t rows = model_ ? model_->RowCount() : 0;
  SendMessageW(list_, LVM_SETITEMCOUNT, rows, 0);
  PlaceSelection();
  InvalidateRect(list_, nullptr, TRUE);
}

void ExListView::Apply(const wizard::SelectionChange& change) {
  if (list_ == nullptr || model_ == nullptr) return;
  if (change.removedCount != 0 || change.insertedCount != 0) {
    // Rows below the change move: the whole visible part is painted anew.
    SendMessageW(list_, LVM_SETITEMCOUNT, model_->RowCount(), LVSICF_NOSCROLL);
    PlaceSelection();
    InvalidateRect(list_, nullptr, FALSE);
    return;
  }
  if (change.redrawAll) {
    InvalidateRect(list_, nullptr, FALSE);
  } else {
    RedrawRows(change.redraw);
  }
}

std::optional<size_t> ExListView::CurrentRow() const {
  if (list_ == nullptr || model_ == nullptr) return std::nullopt;
  const LRESULT mark = SendMessageW(list_, LVM_GETSELECTIONMARK, 0, 0);
  if (mark < 0 || static_cast<size_t>(mark) >= model_->RowCount()) return std::nullopt;
  return static_cast<size_t>(mark);
}

void ExListView::SyncCurrentRow() {
  if (model_) model_->SetCurrentRow(CurrentRow());
}

void ExListView::PlaceSelection() {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  const std::optional<size_t> row = model_ ? model_->CurrentRow() : std::nullopt;
  if (!row) {
    SendMessageW(list_, LVM_SETSELECTIONMARK, 0, -1);
    return;
  }
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, *row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(list_, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(*row));
}

void ExListView::RedrawRows(const std::vector<size_t>& rows) {
  // A toggled section can touch a thousand rows; only the visible ones are
  // repainted, in one invalidation.
  const auto top = static_cast<size_t>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
  const auto page = static_cast<size_t>(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
  const auto first = std::lower_bound(rows.begin(), rows.end(), top);
  const auto end = std::upper_bound(first, rows.end(), top + page + 1);
  if (first == end) return;
  SendMessageW(list_, LVM_REDRAWITEMS, *first, static_cast<LPARAM>(*(end - 1)));
}

LRESULT ExListView::PassOn(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(previous_, list_, message, wParam, lParam);
}

LRESULT CALLBACK ExListView::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    auto* view = static_cast<ExListView*>(GetPropW(window, kViewProperty));
    if (view && view->list_ == window) return view->Handle(message, wParam, lParam);
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, kOldProcedureProperty));
    if (previous) return CallWindowProcW(previous, window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT ExListView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_LEFT) return OnKey(wizard::ListKey::kLeft, message, wParam, lParam);
      if (wParam == VK_RIGHT) return OnKey(wizard::ListKey::kRight, message, wParam, lParam);
      break;
    case WM_CHAR:
      if (wParam == L' ') return OnKey(wizard::ListKey::kSpace, message, wParam, lParam);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return OnButton(message, wParam, lParam);
    case WM_SETFONT:
      fonts_ = {};
      break;
    case WM_NCDESTROY: {
      const WNDPROC previous = previous_;
      HWND list = list_;
      Detach();
      return CallWindowProcW(previous, list, message, wParam, lParam);
    }
    default:
      break;
  }
  return PassOn(message, wParam, lParam);
}

LRESULT ExListView::OnKey(wizard::ListKey key, UINT message, WPARAM wParam, LPARAM lParam) {
  if (model_ == nullptr) return PassOn(message, wParam, lParam);
  SyncCurrentRow();
  const std::optional<size_t> current = model_->CurrentRow();
  if (!current) return PassOn(message, wParam, lParam);
  if (key == wizard::ListKey::kSpace) {
    if (ToggleRow(*current)) return 0;
    return PassOn(message, wParam, lParam);
  }
  const wizard::SelectionChange change = model_->OnKey(key);
  Apply(change);
  if (change.handled) {
    // Left may have moved the selection up to the parent: keep it in sight.
    // A click leaves the scroll position alone.
    if (const std::optional<size_t> row = model_->CurrentRow()) {
      SendMessageW(list_, LVM_ENSUREVISIBLE, *row, FALSE);
    }
    return 0;
  }
  // Nothing to fold or unfold: the arrow moves the selection as Up or Down would.
  return PassOn(message, key == wizard::ListKey::kLeft ? VK_UP : VK_DOWN, lParam);
}

std::optional<std::pair<size_t, wizard::RowZone>> ExListView::ZoneAt(LPARAM point) const {
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  const LRESULT row = SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (row < 0 || static_cast<size_t>(row) >= model_->RowCount()) return std::nullopt;
  const std::optional<RECT> bounds = ItemRect(list_, static_cast<size_t>(row), LVIR_BOUNDS);
  if (!bounds) return std::nullopt;
  const auto column0 = static_cast<int32_t>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, 0, 0));
  const wizard::RowView view = model_->ViewOf(static_cast<size_t>(row));
  return std::pair{static_cast<size_t>(row), wizard::HitZone(BoxOf(*bounds), view.depth, column0,
                                                             hit.pt.x, hit.pt.y, WindowDpi(list_))};
}

LRESULT ExListView::OnButton(UINT message, WPARAM wParam, LPARAM lParam) {
  if (model_ == nullptr) return PassOn(message, wParam, lParam);
  const auto hit = ZoneAt(lParam);
  if (!hit) return PassOn(message, wParam, lParam);
  const auto [row, zone] = *hit;
  const catalogue::SoftwareEntry* entry = model_->EntryAt(row);
  const bool checkable =
      zone == wizard::RowZone::kCheckBox && entry && !entry->Has(catalogue::EF_LOCKED);
  const bool onExpander = zone == wizard::RowZone::kExpander;
  if (message == WM_LBUTTONDOWN) {
    // The press on a glyph is kept from the list so the selection stays put.
    if (checkable || onExpander) return 0;
  } else if (message == WM_LBUTTONUP) {
    SyncCurrentRow();
    if (checkable && ToggleRow(row)) return 0;
    if (onExpander) {
      const wizard::SelectionChange change = model_->ToggleExpansion(row);
      Apply(change);
      if (change.handled) return 0;
    }
  } else if (zone == wizard::RowZone::kRightOfBox) {
    SyncCurrentRow();
    Apply(model_->ToggleExpansion(row));
  }
  return PassOn(message, wParam, lParam);
}

bool ExListView::ToggleRow(size_t row) {
  catalogue::SoftwareEntry* entry = model_->EntryAt(row);
  if (entry == nullptr) return false;
  const int32_t oldState = entry->State;
  const wizard::SelectionChange change = model_->Toggle(row);
  if (!change.handled) return false;
  Apply(change);
  NMEXLVSELCHANGED notice{};
  notice.hdr.hwndFrom = list_;
  notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list_));
  notice.hdr.code = EXLVN_SELCHANGED;
  notice.state = &entry->State;
  notice.oldState = oldState;
  notice.entry = entry;
  SendMessageW(GetParent(list_), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
  // Screen readers announce the row's new state; the list's children are
  // numbered from 1.
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, list_, OBJID_CLIENT, static_cast<LONG>(row + 1));
  return true;
}

bool ExListView::Notify(NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case NM_CUSTOMDRAW:
      result = DrawRow(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
      return true;
    case LVN_GETDISPINFOW:
      DisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header));
      result = 0;
      return true;
    case LVN_ODFINDITEMW:
      result = FindRow(reinterpret_cast<const NMLVFINDITEMW&>(header));
      return true;
    default:
      return false;
  }
}

Text ExListView::RowText(size_t row) const {
  const catalogue::SoftwareEntry* entry = model_ ? model_->EntryAt(row) : nullptr;
  if (entry == nullptr) return {};
  return environment_.Expand(entry->Description, kExpandedTextCapacity).text;
}

void ExListView::DisplayInfo(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if (item.iItem < 0 || model_ == nullptr) return;
  const auto row = static_cast<size_t>(item.iItem);
  if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
    const std::wstring text = item.iSubItem == 0 ? win32::Wide(RowText(row)) : std::wstring();
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
  }
  if ((item.mask & LVIF_STATE) != 0 && (item.stateMask & LVIS_STATEIMAGEMASK) != 0) {
    const bool checked = model_->ViewOf(row).mark == wizard::RowMark::kChecked;
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  }
}

LRESULT ExListView::FindRow(const NMLVFINDITEMW& find) const {
  const LVFINDINFOW& what = find.lvfi;
  if (model_ == nullptr || (what.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 ||
      what.psz == nullptr) {
    return -1;
  }
  const Text wanted = win32::FromWide(what.psz);
  // Without LVFI_PARTIAL the whole text is asked for: longer ones do not fit.
  const bool whole = (what.flags & LVFI_PARTIAL) == 0;
  const std::optional<size_t> row = wizard::FindRowByPrefix(
      model_->RowCount(), find.iStart < 0 ? 0 : static_cast<size_t>(find.iStart), wanted,
      (what.flags & LVFI_WRAP) != 0, [&](size_t candidate) {
        Text text = RowText(candidate);
        return whole && text.size() != wanted.size() ? Text() : text;
      });
  return row ? static_cast<LRESULT>(*row) : -1;
}

LRESULT ExListView::DrawRow(NMLVCUSTOMDRAW& draw) {
  try {
    switch (draw.nmcd.dwDrawStage) {
      case CDDS_PREPAINT:
        colours_ = ReadSystemColours();
        CheckFonts();
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
      case CDDS_ITEMPREPAINT:
        return CDRF_NEWFONT | CDRF_NOTIFYPOSTPAINT;
      case CDDS_ITEMPOSTPAINT:
        PaintRow(draw);
        return CDRF_SKIPDEFAULT;
      default:
        return CDRF_DODEFAULT;
    }
  } catch (...) {
    return CDRF_DODEFAULT;
  }
}

void ExListView::CheckFonts() {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
  if (font != fonts_.base) {
    fonts_ = {};
    fonts_.base = font;
  }
}

HFONT ExListView::StyledFont(const wizard::RowView& view) {
  const size_t index = (view.bold ? 1u : 0u) | (view.italic ? 2u : 0u) |
                       (view.underline ? 4u : 0u) | (view.striked ? 8u : 0u);
  UniqueFont& font = fonts_.styled[index];
  if (!font) {
    LOGFONTW shape{};
    HGDIOBJ base = fonts_.base ? fonts_.base : GetStockObject(DEFAULT_GUI_FONT);
    GetObjectW(base, sizeof(shape), &shape);
    if (view.bold) shape.lfWeight = FW_BOLD;
    shape.lfItalic = view.italic;
    shape.lfUnderline = view.underline;
    shape.lfStrikeOut = view.striked;
    font.reset(CreateFontIndirectW(&shape));
  }
  return font.get();
}

void ExListView::PaintRow(const NMLVCUSTOMDRAW& draw) {
  if (model_ == nullptr) return;
  const size_t row = draw.nmcd.dwItemSpec;
  const wizard::RowView view = model_->ViewOf(row);
  const std::optional<RECT> bounds = ItemRect(list_, row, LVIR_BOUNDS);
  const std::optional<RECT> label = ItemRect(list_, row, LVIR_LABEL);
  if (view.entry == nullptr || !bounds || !label) return;
  HDC dc = draw.nmcd.hdc;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, bounds->left, bounds->top, bounds->right, bounds->bottom);
  const UINT state =
      static_cast<UINT>(SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
  const bool selected = (state & LVIS_SELECTED) != 0 || (draw.nmcd.uItemState & CDIS_SELECTED);
  const bool focused = (draw.nmcd.uItemState & CDIS_FOCUS) != 0 ||
                       ((state & LVIS_FOCUSED) != 0 && GetFocus() == list_);
  const wizard::RowColours colours = wizard::ColoursOfRow(colours_, selected, view.greyed);
  const UniqueBrush background(CreateSolidBrush(colours.background));
  if (colours.outlined) {
    const UniquePen pen(CreatePen(PS_SOLID, 1, colours.pen));
    SelectObject(dc, pen.get());
    SelectObject(dc, background.get());
    Rectangle(dc, bounds->left, bounds->top, bounds->right, bounds->bottom);
    SelectObject(dc, GetStockObject(NULL_PEN));
  } else {
    FillRect(dc, &*bounds, background.get());
  }
  const wizard::Box rowBox = BoxOf(*bounds);
  const uint32_t dpi = WindowDpi(list_);
  SetBkMode(dc, TRANSPARENT);
  PaintGlyph(dc, view, wizard::CheckBoxBox(rowBox, view.depth, dpi));

  SelectObject(dc, StyledFont(view));
  SetTextColor(dc, colours.text);
  const Text text = environment_.Expand(view.entry->Description, kExpandedTextCapacity).text;
  RECT textBox{wizard::TextStart(rowBox, view.depth, dpi), bounds->top, label->right,
               bounds->bottom};
  const std::wstring wide = win32::Wide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &textBox,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);

  if (view.expander) {
    // The symbol font's 12-pixel em of 96 DPI, at the list's DPI.
    const int32_t em = -wizard::ScaledToDpi(12, dpi);
    if (!fonts_.expander || fonts_.expanderHeight != em) {
      fonts_.expander = SymbolFont(em, CLIP_DEFAULT_PRECIS);
      fonts_.expanderHeight = em;
    }
    SelectObject(dc, fonts_.expander.get());
    const wchar_t glyph = view.expanded ? wizard::kExpandedGlyph : wizard::kCollapsedGlyph;
    RECT glyphBox = RectOf(wizard::ExpanderGlyphBox(rowBox, view.depth, dpi));
    DrawTextW(dc, &glyph, 1, &glyphBox, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (focused) {
    const UniqueBrush frame(CreateSolidBrush(colours.focus));
    FrameRect(dc, &*bounds, frame.get());
  }
  RestoreDC(dc, saved);
}

void ExListView::PaintGlyph(HDC dc, const wizard::RowView& view, const wizard::Box& box) {
  const int32_t height = box.bottom - box.top;
  if (!fonts_.glyph || fonts_.glyphHeight != height) {
    // Clip precision 2 (CLIP_STROKE_PRECIS), as the system draws its own frames.
    fonts_.glyph = SymbolFont(height, CLIP_STROKE_PRECIS);
    fonts_.glyphHeight = height;
  }
  SelectObject(dc, fonts_.glyph.get());
  RECT square = RectOf(box);
  for (const wizard::GlyphPiece& piece :
       wizard::GlyphPieces(view.glyph, view.mark != wizard::RowMark::kUnchecked)) {
    const wizard::Colour colour = wizard::GlyphColour(piece.role, view, colours_);
    if (piece.character == 0) {
      const UniqueBrush fill(CreateSolidBrush(colour));
      FillRect(dc, &square, fill.get());
      continue;
    }
    SetTextColor(dc, colour);
    const auto character = static_cast<wchar_t>(piece.character);
    if (piece.centred) {
      DrawTextW(dc, &character, 1, &square,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    } else {
      TextOutW(dc, box.left, box.top, &character, 1);
    }
  }
}

}  // namespace tarn::ui
