#include "base/paths.h"

#include <vector>

namespace tarn {
namespace {

bool HasDrive(TextView path) {
  if (path.size() < 2 || path[1] != u':') return false;
  const char16_t c = path[0];
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Length of the root part of `path` (0 for a relative path).
size_t RootLength(TextView path) {
  if (PathIsUnc(path)) {
    const size_t serverEnd = path.find(u'\\', 2);
    if (serverEnd == TextView::npos) return path.size();
    const size_t shareEnd = path.find(u'\\', serverEnd + 1);
    return shareEnd == TextView::npos ? path.size() : shareEnd;
  }
  if (HasDrive(path)) return path.size() > 2 && path[2] == u'\\' ? 3 : 2;
  if (!path.empty() && path[0] == u'\\') return 1;
  return 0;
}

std::vector<TextView> CanonicalComponents(TextView rest) {
  std::vector<TextView> kept;
  size_t pos = 0;
  while (pos <= rest.size()) {
    size_t end = rest.find(u'\\', pos);
    if (end == TextView::npos) end = rest.size();
    const TextView part = rest.substr(pos, end - pos);
    if (part == u"..") {
      if (!kept.empty()) kept.pop_back();
    } else if (!part.empty() && part != u".") {
      kept.push_back(part);
    }
    pos = end + 1;
  }
  return kept;
}

}  // namespace

bool PathIsUnc(TextView path) {
  return path.starts_with(u"\\\\");
}

bool PathIsRelative(TextView path) {
  if (path.empty()) return true;
  return path[0] != u'\\' && !HasDrive(path);
}

Text PathStripToRoot(TextView path) {
  return Text(path.substr(0, RootLength(path)));
}

Text PathCanonicalize(TextView path) {
  const size_t rootLength = RootLength(path);
  Text result(path.substr(0, rootLength));
  TextView rest = path.substr(rootLength);
  const bool trailingSeparator = rest.ends_with(u'\\');
  const std::vector<TextView> parts = CanonicalComponents(rest);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!result.empty() && !result.ends_with(u'\\') && !(result.size() == 2 && HasDrive(result))) {
      result.push_back(u'\\');
    }
    result.append(parts[i]);
  }
  if (trailingSeparator && !parts.empty()) result.push_back(u'\\');
  if (result.empty()) return Text(1, u'\\');
  return result;
}

Text PathAppend(TextView path, TextView more) {
  if (!PathIsUnc(more)) {
    while (!more.empty() && more.front() == u'\\') more.remove_prefix(1);
  }
  if (more.empty()) return PathCanonicalize(path);
  if (path.empty() || !PathIsRelative(more)) return PathCanonicalize(more);
  Text joined(path);
  if (!joined.ends_with(u'\\')) joined.push_back(u'\\');
  joined.append(more);
  return PathCanonicalize(joined);
}

Text PathRemoveFileSpec(TextView path) {
  const size_t rootLength = RootLength(path);
  const size_t last = path.rfind(u'\\');
  if (last == TextView::npos || last < rootLength) return Text(path.substr(0, rootLength));
  return Text(path.substr(0, last));
}

TextView PathFindFileName(TextView path) {
  const size_t last = path.find_last_of(u"\\:");
  return last == TextView::npos ? path : path.substr(last + 1);
}

}  // namespace tarn
