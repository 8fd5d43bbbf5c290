#!/usr/bin/env bash
# Builds the 8-bit PCRE2 library (static, with JIT) for the Windows cross build from
# Debian's own source package, and caches it: build-pcre2-windows.sh <cache dir>.
# The result is <cache dir>/pcre2 with include/, lib/libpcre2-8.a and a pkg-config file.
# The source comes from the archive this machine already uses, through a private apt
# configuration in the cache, so the system's apt set-up is left as it was.
set -euo pipefail

version=10.42-1
upstream=${version%-*}
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=$(mkdir -p "${1:-$repo/build-win-deps}" && cd "${1:-$repo/build-win-deps}" && pwd)
prefix=$cache/pcre2
stamp=$prefix/.built-$version

if [ -f "$stamp" ] && [ -f "$prefix/lib/libpcre2-8.a" ]; then
  exit 0
fi

# The archive of the system's main Debian suite, from either format of apt's sources.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?no codename in /etc/os-release}")
archive=$(
  {
    cat /etc/apt/sources.list 2>/dev/null || true
    for f in /etc/apt/sources.list.d/*.list; do if [ -f "$f" ]; then cat "$f"; fi; done
  } | awk -v suite="$codename" '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i == suite) { print $(i - 1); exit } }'
) || true
if [ -z "$archive" ]; then
  archive=$(
    for f in /etc/apt/sources.list.d/*.sources; do if [ -f "$f" ]; then cat "$f"; echo; fi; done |
      awk -v suite="$codename" '
        /^[ \t]*$/ { if (uri != "" && has) { print uri; exit } uri = ""; has = 0; next }
        $1 == "URIs:" { uri = $2 }
        $1 == "Suites:" { for (i = 2; i <= NF; i++) if ($i == suite) has = 1 }
        END { if (uri != "" && has) print uri }' | head -n 1
  ) || true
fi
if [ -z "$archive" ]; then
  echo "build-pcre2-windows: no apt source for $codename found in /etc/apt" >&2
  exit 1
fi

apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$cache/src"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive $codename main" >"$apt_dir/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/none"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o "APT::Sandbox::User=root")

source_dir=$cache/src/pcre2-$upstream
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
  echo "fetching pcre2 $version from $archive"
  apt-get -qq "${apt_options[@]}" update
  rm -rf "$source_dir"
  (cd "$cache/src" && apt-get -qq "${apt_options[@]}" source "pcre2=$version")
fi

# The library is static, and its consumers must say so to its header: the pkg-config file
# carries the definition.
build_dir=$cache/pcre2-build
rm -rf "$build_dir" "$prefix"
cmake -S "$source_dir" -B "$build_dir" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
  -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF -DPCRE2_BUILD_PCRE2_32=OFF \
  -DPCRE2_SUPPORT_JIT=ON -DPCRE2_SUPPORT_UNICODE=ON \
  -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SHOW_REPORT=OFF \
  -DPCRE2_STATIC_CFLAG=-DPCRE2_STATIC \
  >"$cache/pcre2-configure.log"
cmake --build "$build_dir" -j "${JOBS:-2}" >"$cache/pcre2-build.log"
cmake --install "$build_dir" >"$cache/pcre2-install.log"
touch "$stamp"
echo "pcre2 $version for Windows: $prefix"
