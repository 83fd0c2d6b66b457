#include "wizard/software_page_layout.h"

#include <algorithm>

namespace tarn::wizard {

int32_t SplitterWidth(uint32_t dpi) {
  return ScaledToDpi(kSplitterWidth, dpi);
}

SoftwarePageLayout LayOutSoftwarePage(int32_t splitter, const SoftwarePageMetrics& metrics) {
  const int32_t width = metrics.width;
  const int32_t strip = SplitterWidth(metrics.dpi);
  if (width > 0 && splitter > width - strip) splitter = width - strip;
  splitter = std::max(splitter, 0);
  const int32_t gap = ScaledToDpi(10, metrics.dpi);
  const int32_t height =
      std::max(metrics.height - metrics.loadButton.height - metrics.listTop - gap, int32_t{0});
  SoftwarePageLayout layout;
  layout.splitter = splitter;
  layout.list = {0, metrics.listTop, splitter, height};
  layout.help = {splitter + strip, metrics.listTop, std::max(width - splitter - strip, int32_t{0}),
                 height};
  const int32_t buttonsTop = metrics.height - metrics.loadButton.height;
  layout.load = {width - metrics.loadButton.width, buttonsTop, metrics.loadButton.width,
                 metrics.loadButton.height};
  layout.selectAll = {0, buttonsTop, metrics.selectAllButton.width, metrics.selectAllButton.height};
  layout.columnWidth =
      splitter - 2 * metrics.dialogFrameWidth - (metrics.listScrolls ? metrics.scrollBarWidth : 0);
  layout.columnWidth = std::max(layout.columnWidth, int32_t{0});
  return layout;
}

bool OnSplitter(int32_t x, int32_t splitter, uint32_t dpi) {
  return x >= splitter && x < splitter + SplitterWidth(dpi);
}

int32_t DraggedSplitter(int32_t x, int32_t pageWidth, uint32_t dpi) {
  return std::max(std::min(x, pageWidth - SplitterWidth(dpi)), ScaledToDpi(kNarrowestList, dpi));
}

}  // namespace tarn::wizard
