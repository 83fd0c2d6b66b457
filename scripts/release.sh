#!/bin/sh
# Builds the Windows release of TARN from the committed tree and writes
#   <dist>/tarn-<version>-win-x64.zip  and  <dist>/SHA256SUMS
#
# The release is a commit (HEAD unless told), never the working tree: it is
# exported (git archive) into the build folder and built there, so
# uncommitted changes never reach it (the script says so when there are
# some). Two runs on the same commit, on machines with the same packages,
# give the same zip byte for byte: every time stamp is the commit's
# (SOURCE_DATE_EPOCH), no build path reaches the programs, and the zip's
# entries, times and permissions are fixed (docs/release.md).
#
# Signing: with TARN_SIGN_CERT and TARN_SIGN_KEY naming PEM files (the key's
# password in TARN_SIGN_PASS when it has one), tarn.exe is signed with
# Authenticode (SHA-256) before it is zipped; TARN_SIGN_TIMESTAMP_URL adds an
# RFC 3161 time stamp from that server.
#
# Usage: scripts/release.sh [--commit <rev>] [--build <folder>] [--dist <folder>]
#   --commit the commit to release (default HEAD), e.g. a tag
#   --build  where the tree is exported and built (default build/release);
#            everything in it but the compiled objects is made anew
#   --dist   where the zip and SHA256SUMS go (default dist)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
dist="$root/dist"
revision=HEAD
usage="usage: scripts/release.sh [--commit <rev>] [--build <folder>] [--dist <folder>]"
while [ $# -gt 0 ]; do
  case $1 in
  --commit) revision=${2:?--commit needs a commit}; shift 2 ;;
  --build) build=${2:?--build needs a folder}; shift 2 ;;
  --dist) dist=${2:?--dist needs a folder}; shift 2 ;;
  *) echo "$usage" >&2; exit 2 ;;
  esac
done
mkdir -p "$build" "$dist"
build=$(cd "$build" && pwd)
dist=$(cd "$dist" && pwd)
# The Debian python: the zip's compressed bytes are zlib's, and the
# system's zlib is one of "the same packages".
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3

say() { echo "release: $*"; }

cd "$root"
commit=$(git rev-parse --verify "$revision^{commit}")
if [ "$revision" = HEAD ] && [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  say "the working tree has uncommitted changes; they are not in the release of $commit"
fi
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct "$commit")}
export SOURCE_DATE_EPOCH

# The tree of the commit. A file the folder already holds unchanged keeps
# its time, so a second run compiles nothing again and a later commit only
# what changed; a changed file gets the current time, newer than any object
# built from its older self.
source="$build/source"
fresh="$build/export"
rm -rf "$fresh"
mkdir -p "$fresh" "$source"
git archive --format=tar "$commit" | tar -x -C "$fresh"
(cd "$fresh" && find . -type f) | while read -r file; do
  cmp -s "$fresh/$file" "$source/$file" && continue
  mkdir -p "$(dirname "$source/$file")"
  rm -f "$source/$file"
  cp "$fresh/$file" "$source/$file"
done
(cd "$source" && find . -type f) | while read -r file; do
  [ -e "$fresh/$file" ] || rm -f "$source/$file"
done
rm -rf "$fresh"
version=$(sed -n 's/^project(tarn VERSION \([0-9.]*\) .*/\1/p' "$source/CMakeLists.txt")
[ -n "$version" ] || { say "no project(tarn VERSION ...) in CMakeLists.txt"; exit 1; }
say "TARN $version from $commit (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"

# Only what the zip holds: the program and the verification kit's programs.
objects="$build/objects"
cmake -S "$source" -B "$objects" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$objects" -j "${JOBS:-$(nproc)}" --target tarn tarn_contract_win32 versioned_sample

# What the zip is made from; tarn.exe signed here, before the kit copies it.
stage="$build/stage"
rm -rf "$stage"
mkdir -p "$stage/programs"
for file in tarn.exe tarn_contract_win32.exe versioned_sample.exe; do
  cp "$objects/$file" "$stage/programs/"
done
cp "$source/languages.ini" "$stage/programs/"
if [ -n "${TARN_SIGN_CERT:-}" ] || [ -n "${TARN_SIGN_KEY:-}" ]; then
  "$source/scripts/sign-program.sh" "$objects/tarn.exe" "$stage/programs/tarn.exe"
  say "tarn.exe signed"
fi

zip_root="$stage/zip"
mkdir -p "$zip_root"
cp "$stage/programs/tarn.exe" "$stage/programs/languages.ini" "$zip_root/"
cp "$source/LICENSE" "$source/README.md" "$zip_root/"
cp -R "$source/docs" "$source/examples" "$zip_root/"
"$source/scripts/stage-verify-kit.sh" "$stage/programs" "$zip_root/TARN-verify"
"$python" "$source/scripts/release-bom.py" --version "$version" --commit "$commit" \
  --date "$SOURCE_DATE_EPOCH" --build "$objects" \
  --program tarn.exe="$objects/tarn.exe.map" \
  --program tarn_contract_win32.exe="$objects/tarn_contract_win32.exe.map" \
  --bom "$zip_root/tarn-$version.cdx.json" --notices "$zip_root/THIRD-PARTY-NOTICES.txt"

name="tarn-$version-win-x64.zip"
"$python" "$source/scripts/release-zip.py" "$zip_root" "$dist/$name" "$SOURCE_DATE_EPOCH"
# The zip first, then every file in it by its path in the zip, so that a
# file copied out of it (tarn.exe into an image) can be checked on its own.
(
  cd "$dist" && sha256sum "$name"
  cd "$zip_root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | while read -r file; do
    sha256sum "$file"
  done
) >"$dist/SHA256SUMS.partial"
mv "$dist/SHA256SUMS.partial" "$dist/SHA256SUMS"
say "$(head -n 1 "$dist/SHA256SUMS")"
say "wrote $dist/$name and $dist/SHA256SUMS"
