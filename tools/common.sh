# Shared by the README's two commands: install what is missing, build, and prepare Wine.
# Sourced, not run.

CORV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CORV_BUILD=${CORV_BUILD:-$CORV_ROOT/build}
# cups-client: cupstestppd for the printer descriptions; fp-utils: chmcmd for the help file; zip
# for the package; clang with its sanitizer and fuzzer runtimes for the native fuzz build.
CORV_PACKAGES="g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 wine wine64 xvfb xauth cmake make googletest ghostscript cups-client fp-utils zip clang libclang-rt-14-dev"

corv_install() {
  local missing=""
  for p in $CORV_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

corv_build() {
  cmake -S "$CORV_ROOT" -B "$CORV_BUILD" -DCMAKE_TOOLCHAIN_FILE="$CORV_ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CORV_CMAKE_ARGS:-} >/dev/null
  cmake --build "$CORV_BUILD" -j"$(nproc)"
}

# A Wine prefix of the build's own, with the null display driver, and a persistent wineserver
# plus Wine's services started with detached streams: otherwise CTest hangs on their pipes.
corv_wine_up() {
  export WINEPREFIX="$CORV_BUILD/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    wineserver -w
  fi
  # A server left running for this prefix is as good as a new one, unless the server is to be kept
  # to the CPUs of CORV_WINE_CPUS with everything Wine starts.
  if [ -n "${CORV_WINE_CPUS:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  corv_pinned wineserver -p 2>/dev/null || true
  corv_pinned wine cmd /c exit </dev/null >/dev/null 2>&1
  # Wine starts the desktop process (explorer.exe /desktop) from the first program that needs it,
  # and the desktop process keeps that program's error stream: CTest then waits on that test until
  # the desktop has been idle long enough to close, minutes later. A program resident on the
  # desktop, started here with detached streams, starts it and keeps it until corv_wine_down.
  corv_pinned setsid wine notepad.exe </dev/null >/dev/null 2>&1 &
  local i
  for i in $(seq 50); do corv_wine_runs 'explorer.exe /desktop' && break; sleep 0.2; done
}

# Runs a command on the CPUs of CORV_WINE_CPUS (a taskset list) when it is set, else anywhere.
corv_pinned() {
  if [ -n "${CORV_WINE_CPUS:-}" ]; then taskset -c "$CORV_WINE_CPUS" "$@"; else "$@"; fi
}

# Whether a program of this prefix runs whose command line holds PATTERN.
corv_wine_runs() {
  local p environment
  for p in $(pgrep -f "$1" || true); do
    environment=$(tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null || true)
    [[ $'\n'"$environment"$'\n' == *$'\n'"WINEPREFIX=$WINEPREFIX"$'\n'* ]] && return 0
  done
  return 1
}

corv_wine_down() {
  wineserver -k 2>/dev/null || true
}

# The test programs of both DLLs and of the UI pages, each run whole once more with Wine's heap
# checking on (WINEDEBUG=warn+heap); any line Wine's heap code reports fails the run. Call after
# corv_wine_up; the report is in $CORV_BUILD/heapcheck.log.
CORV_HEAP_CHECKED="tests/inboxui_dll/corvui_dll_tests.exe tests/render/dll/corvrend_dll_tests.exe tests/inboxui/ui_tests.exe"

corv_heap_check() {
  local log="$CORV_BUILD/heapcheck.log" failed=0 program
  : >"$log"
  for program in $CORV_HEAP_CHECKED; do
    echo "== $program" >>"$log"
    (cd "$CORV_BUILD/$(dirname "$program")" &&
      WINEDEBUG=warn+heap wine "$(basename "$program")" --gtest_brief=1 </dev/null) >>"$log" 2>&1 || failed=1
  done
  if grep -E ':(err|warn):heap' "$log"; then
    echo "Wine reported heap errors: see $log" >&2
    return 1
  fi
  if [ "$failed" -ne 0 ]; then
    echo "A test program failed under heap checking: see $log" >&2
    return 1
  fi
  echo "Heap check: no heap errors ($CORV_HEAP_CHECKED)"
}
