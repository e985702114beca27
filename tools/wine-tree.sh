# Sourced by the scripts that run the Windows programs: sets `tree` to the
# build tree whose programs this machine can run and `loader` to its Wine.
# Where the kernel cannot run 32-bit programs (no 32-bit Wine), that is the
# 64-bit build of the same sources. FI_WIN32_RUNS, when set (by the Makefile),
# gives the answer: "yes" or empty. Needs `top`, the project's folder.
if [ -n "${FI_WIN32_RUNS+set}" ]; then
    win32_runs=$FI_WIN32_RUNS
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    win32_runs=yes
else
    win32_runs=
fi
if [ -n "$win32_runs" ]; then
    tree=$top/build/win32 loader=/usr/lib/wine/wine
else
    tree=$top/build/win64 loader=/usr/lib/wine/wine64
fi

# use_tree DIR: the programs of that build tree instead, under the loader of
# its kind (a 32-bit tree runs through the prefix's 32-bit layer).
use_tree() {
    tree=$(cd "$1" && pwd)
    if grep -q 'mingw-i686' "$tree/CMakeCache.txt" 2>/dev/null; then
        loader=/usr/lib/wine/wine
    else
        loader=/usr/lib/wine/wine64
    fi
}
