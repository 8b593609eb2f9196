#!/usr/bin/env bash
# Runs every test: native (with sanitizers), the Windows builds under Wine (x64, and x86 through wine32),
# the per-user installers' round trips, fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

# Whether this machine runs 32-bit x86 programs at all: some kernels have no IA-32 emulation, and
# wine32 then installs but its loader cannot start. Wine's 32-bit loader is asked for its version;
# anything but a version (bash's "Exec format error", a shell's syntax error, a hang) means no.
# TESSALY_WINE32 names another loader to ask, to try either answer on any machine.
x86_loader="${TESSALY_WINE32:-/usr/lib/wine/wine}"
# (bash runs it: a plain exec would hand a binary the kernel refuses to /bin/sh as a script)
x86_answer="$(timeout 30 bash -c 'exec "$0" --version' "$x86_loader" 2>&1 | head -n 1)" || :
x86_skip=""
[[ "$x86_answer" == wine-* ]] ||
  x86_skip="this machine cannot run 32-bit programs ($x86_loader --version answered: ${x86_answer:-nothing})"
# Five builds share most of their sources; a compiler cache keyed on paths below this folder lets a
# second run (or a CI run on a machine that built before) skip what did not change. CI clones into a
# new folder each time: the folder is left out of the key (ccache keeps it by default for debug
# information), so a clone elsewhere still finds what an earlier one compiled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache

step() { printf '\n=== %s\n' "$*"; }

step "native build and tests (address and undefined-behaviour sanitizers)"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan
ctest --preset linux-asan

step "Windows x64 build, tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
export WINEPREFIX="$(mktemp -d /tmp/tessaly-wine.XXXXXX)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
xvfb-run -a bash -c '/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1; ctest --preset win64'
step "the stand-in Excel under Wine: real input, the add-in loaded from the registry, the fault sweep"
xvfb-run -a -s "-screen 0 1280x800x24" tests/wine/standin_test.sh build/win64

step "installer x64: the Release DLL signed and packaged per user, checked, installed and removed under Wine"
# A throwaway code-signing certificate made here signs as the release does with the real one
# (scripts/sign.sh); each signature is then checked against it.
signing="$(mktemp -d /tmp/tessaly-sign.XXXXXX)"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX" "$signing"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Tessaly CI/O=Brenmoor" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
  -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$signing/key.pem" -in "$signing/cert.pem" -out "$signing/cert.p12" -passout pass:ci-throwaway
export TESSALY_SIGN_CERT="$signing/cert.p12" TESSALY_SIGN_PASSWORD=ci-throwaway
sign_and_verify() {
  scripts/sign.sh "$@"
  for f in "$@"; do
    osslsigncode verify -CAfile "$signing/cert.pem" -in "$f" >/dev/null || { echo "$f: the signature does not verify" >&2; exit 1; }
    echo "signature verified: $f"
  done
}
cmake --preset win64-release >/dev/null
cmake --build --preset win64-release --target Tessaly
sign_and_verify build/win64-release/Tessaly/Tessaly.dll
scripts/check_dll.sh build/win64-release/Tessaly/Tessaly.dll x64
installer/build_msi.sh build/win64-release/Tessaly x64 build/win64-release/Tessaly-x64.msi
sign_and_verify build/win64-release/Tessaly-x64.msi
xvfb-run -a scripts/msi_roundtrip.sh build/win64-release/Tessaly-x64.msi x64

step "Windows x86 (Release): the DLL, its COM tests and its installer under Wine's 32-bit loader"
# The x86 build compiles the DLL, the stand-in Excel and the demo and runs only the COM tests: the
# rest of the tests are the x64 ones, and building them twice would cost CI more than it finds.
# What needs no 32-bit program to run is checked on every machine.
cmake --preset win32 >/dev/null
x86_tests=(test_com)
[ -z "$x86_skip" ] || x86_tests=()
cmake --build --preset win32 --target Tessaly tessaly_excel tessaly_demo "${x86_tests[@]}"
sign_and_verify build/win32/Tessaly/Tessaly.dll
scripts/check_dll.sh build/win32/Tessaly/Tessaly.dll x86 build/win64-release/Tessaly/Tessaly.dll
installer/build_msi.sh build/win32/Tessaly x86 build/win32/Tessaly-x86.msi
sign_and_verify build/win32/Tessaly-x86.msi
scripts/msi_check.sh build/win32/Tessaly-x86.msi x86 build/win64-release/Tessaly-x64.msi
if [ -z "$x86_skip" ]; then
  xvfb-run -a ctest --preset win32 -R '^test_com$'
  xvfb-run -a scripts/msi_roundtrip.sh build/win32/Tessaly-x86.msi x86
else
  echo "NOT RUN: the x86 COM tests (test_com) and the x86 MSI round trip: $x86_skip"
fi

if [ -d fuzz ]; then
  # The committed corpus (fuzz/seeds/<target>/) is replayed first, so an input once found stays
  # found; then a short run explores from it with the target's dictionary of format codes. A new
  # crash is left as build/linux-fuzz/crash-<target>-*: add it to the corpus with the fix.
  step "fuzzing (libFuzzer)"
  cmake --preset linux-fuzz >/dev/null
  cmake --build --preset linux-fuzz
  for f in build/linux-fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name="$(basename "$f")"
    seeds="fuzz/seeds/$name"
    dict=()
    [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
    "$f" -runs=0 "$seeds" 2>&1 | tail -n 1
    corpus="$(mktemp -d)"
    echo "$name: 30 s"
    "$f" -max_total_time=30 -print_final_stats=0 "${dict[@]}" -artifact_prefix="build/linux-fuzz/crash-$name-" \
      "$corpus" "$seeds" 2>&1 | tail -n 2
    rm -rf "$corpus"
  done
fi
if [ -z "$x86_skip" ]; then
  echo "all test stages passed"
else
  echo "every stage that ran passed; the x86 runs did not (see NOT RUN above)"
fi
