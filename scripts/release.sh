#!/usr/bin/env bash
# Builds what ships: the Release Tessaly.dll for x64 and x86 with its help file, and the per-user
# MSI of each, into build/release/. With a certificate in the environment (TESSALY_SIGN_CERT and
# TESSALY_SIGN_PASSWORD, see scripts/sign.sh) each DLL is signed before it is packaged and each
# MSI after, and every signature is verified (against TESSALY_SIGN_CAFILE when the certificate's
# issuer is not among the system's).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export CCACHE_BASEDIR="$PWD" CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
version=$(sed -n 's/^project(Tessaly VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/release
# The certificates the signatures are checked against: the system's, or TESSALY_SIGN_CAFILE.
cafile=()
[ -n "${TESSALY_SIGN_CAFILE:-}" ] && cafile=(-CAfile "$TESSALY_SIGN_CAFILE")
mkdir -p "$out"
for build in "win64-release x64" "win32 x86"; do
  read -r preset arch <<<"$build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target Tessaly
  folder="build/$preset/Tessaly"
  scripts/sign.sh "$folder/Tessaly.dll"
  installer/build_msi.sh "$folder" "$arch" "$out/Tessaly-$version-$arch.msi" "$version"
  scripts/sign.sh "$out/Tessaly-$version-$arch.msi"
  if [ -n "${TESSALY_SIGN_CERT:-}" ]; then
    for f in "$folder/Tessaly.dll" "$out/Tessaly-$version-$arch.msi"; do
      osslsigncode verify "${cafile[@]}" -in "$f" >/dev/null || { echo "release: $f does not verify" >&2; exit 1; }
    done
  fi
done
ls -l "$out"
