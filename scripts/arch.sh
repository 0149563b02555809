# Sourced by the set-up, test, demo and bench scripts: chooses the Windows build this machine runs.
#
#   VZ_ARCH=win32   the 32-bit build (preset "windows", ready folder dist/), the product
#   VZ_ARCH=win64   the 64-bit build of the same sources (preset "windows-x64", dist-x64/)
#   VZ_ARCH=both    both builds (the test script then runs the Windows-side tests of each)
#
# Unset, it is win32 where this machine can run 32-bit programs and win64 where it cannot (some
# kernels have their 32-bit emulation switched off). Sets VZ_ARCHES to the builds to make and
# prints one line saying which and why, once per run.

# A 93-byte 32-bit Linux program that only exits with status 0: it runs exactly where the kernel
# runs 32-bit code, whatever packages are installed yet.
vz_can_run_32bit() {
    local probe
    probe=$(mktemp "${TMPDIR:-/tmp}/vz-probe32.XXXXXX")
    base64 -d >"$probe" <<'ELF'
f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAuAEAAAAx282A
ELF
    chmod +x "$probe"
    local status=0
    "$probe" 2>/dev/null || status=1
    rm -f "$probe"
    return "$status"
}

vz_choose_arch() {
    local reason
    if vz_can_run_32bit; then VZ_RUNS_32BIT=yes; else VZ_RUNS_32BIT=no; fi
    case "${VZ_ARCH:-}" in
    win32 | win64 | both) reason="set by VZ_ARCH" ;;
    "")
        if [ "$VZ_RUNS_32BIT" = yes ]; then
            VZ_ARCH=win32
            reason="this machine runs 32-bit programs"
        else
            VZ_ARCH=win64
            reason="this machine cannot run 32-bit programs: its kernel's 32-bit emulation is off"
        fi
        ;;
    *)
        echo "build: VZ_ARCH must be win32, win64 or both, not '$VZ_ARCH'" >&2
        return 1
        ;;
    esac
    case "$VZ_ARCH" in
    win32) VZ_ARCHES="win32" ;;
    win64) VZ_ARCHES="win64" ;;
    both) VZ_ARCHES="win32 win64" ;;
    esac
    export VZ_ARCH VZ_ARCHES VZ_RUNS_32BIT
    if [ -z "${VZ_ARCH_TOLD:-}" ]; then
        echo "build: using the $VZ_ARCH Windows build ($reason)"
        export VZ_ARCH_TOLD=1
    fi
}

# For the scripts that run the programs: the 32-bit build can be made anywhere (its build steps
# then run as 64-bit programs) but run only where 32-bit code runs.
vz_require_runnable() {
    if [ "$VZ_ARCH" != win64 ] && [ "$VZ_RUNS_32BIT" = no ]; then
        echo "build: the 32-bit programs cannot run on this machine (its kernel's 32-bit" \
            "emulation is off); run with VZ_ARCH=win64" >&2
        return 1
    fi
}

# The CMake preset and the ready folder of one build.
vz_preset() { if [ "$1" = win64 ]; then echo windows-x64; else echo windows; fi; }
vz_dist() { if [ "$1" = win64 ]; then echo dist-x64; else echo dist; fi; }
