// Path helpers with the rules of the system's shell path functions
// (PathIsRelativeW, PathAppendW, PathCanonicalizeW, PathRemoveFileSpecW,
// PathStripToRootW), for backslash-separated Windows paths.
#pragma once

#include "base/text.h"

namespace tarn {

// True unless the path begins with a backslash (rooted or UNC) or has a
// drive letter and colon as its first two characters. An empty path is relative.
[[nodiscard]] bool PathIsRelative(TextView path);

// True for "\\server..." paths.
[[nodiscard]] bool PathIsUnc(TextView path);

// The root of a path: "C:\" for "C:\a\b", "C:" for "C:a", "\\server\share"
// for a UNC path, "\" for "\a"; empty for a relative path.
[[nodiscard]] Text PathStripToRoot(TextView path);

// Removes "." and ".." components: ".." removes the component before it but
// never climbs above the root; a trailing "\." or "\.." is handled the same
// way. An empty result becomes "\".
[[nodiscard]] Text PathCanonicalize(TextView path);

// PathAppendW: leading backslashes of `more` are dropped (unless it is a UNC
// path); an absolute `more` replaces `path`; otherwise the two are joined with
// one backslash. The result is canonicalised.
[[nodiscard]] Text PathAppend(TextView path, TextView more);

// Removes the last component and the backslash before it; a root stays a root
// ("C:\a" gives "C:\", "\a" gives "\", "a" gives "").
[[nodiscard]] Text PathRemoveFileSpec(TextView path);

// The last component of the path (after the last backslash or drive colon).
[[nodiscard]] TextView PathFindFileName(TextView path);

}  // namespace tarn
