#include "wizard/software_page_layout.h"

#include <algorithm>

namespace tarn::wizard {

SoftwarePageLayout LayOutSoftwarePage(int32_t splitter, const SoftwarePageMetrics& metrics) {
  const int32_t width = metrics.width;
  if (width > 0 && splitter > width - kSplitterWidth) splitter = width - kSplitterWidth;
  splitter = std::max(splitter, 0);
  const int32_t height =
      std::max(metrics.height - metrics.loadButton.height - metrics.listTop - 10, int32_t{0});
  SoftwarePageLayout layout;
  layout.splitter = splitter;
  layout.list = {0, metrics.listTop, splitter, height};
  layout.help = {splitter + kSplitterWidth, metrics.listTop,
                 std::max(width - splitter - kSplitterWidth, int32_t{0}), height};
  const int32_t buttonsTop = metrics.height - metrics.loadButton.height;
  layout.load = {width - metrics.loadButton.width, buttonsTop, metrics.loadButton.width,
                 metrics.loadButton.height};
  layout.selectAll = {0, buttonsTop, metrics.selectAllButton.width, metrics.selectAllButton.height};
  layout.columnWidth =
      splitter - 2 * metrics.dialogFrameWidth - (metrics.listScrolls ? metrics.scrollBarWidth : 0);
  layout.columnWidth = std::max(layout.columnWidth, int32_t{0});
  return layout;
}

bool OnSplitter(int32_t x, int32_t splitter) {
  return x >= splitter && x < splitter + kSplitterWidth;
}

int32_t DraggedSplitter(int32_t x, int32_t pageWidth) {
  return std::max(std::min(x, pageWidth - kSplitterWidth), kNarrowestList);
}

}  // namespace tarn::wizard
