# Two commands on a fresh machine (as root): `make demo` and `make test`.
#
# Three build trees from one CMake project (see CMakePresets.json):
#   build/native  portable code with g++ under ASan/UBSan
#   build/win32   the shipped 32-bit programs (install.exe, product.dll)
#   build/win64   the same sources for 64-bit Windows, whose tests run under
#                 64-bit Wine on machines that cannot execute 32-bit code
# The Windows tests run from win32 where 32-bit Wine works, else from win64.

SHELL := /bin/sh
JOBS ?= 2
WIN32_RUNS := $(shell /usr/lib/wine/wine --version >/dev/null 2>&1 && echo yes)
ifeq ($(WIN32_RUNS),yes)
  WINTEST_PRESETS := windows
else
  WINTEST_PRESETS := windows windows64
endif

.PHONY: all setup configure build test demo bench fuzz clean

all: build

setup:
	@sh tools/setup.sh

configure: setup
	cmake --preset native >/dev/null
	cmake --preset windows -DFI_RUN_WINDOWS_TESTS=$(if $(WIN32_RUNS),ON,OFF) >/dev/null
	$(if $(WIN32_RUNS),,cmake --preset windows64 >/dev/null)

build: configure
	cmake --build --preset native -j $(JOBS)
	cmake --build --preset windows -j $(JOBS)
	$(if $(WIN32_RUNS),,cmake --build --preset windows64 -j $(JOBS))

test: build
	@$(if $(WIN32_RUNS),,echo "note: this kernel cannot run 32-bit programs; the Windows tests run the 64-bit build under 64-bit Wine")
	ctest --preset native -j $(JOBS)
	@set -e; for p in $(WINTEST_PRESETS); do echo "== ctest --preset $$p"; ctest --preset $$p; done

demo: build
	sh tools/demo.sh

# Benchmarks (not tests): the 64-bit programs under 64-bit Wine.
bench: setup
	cmake --preset windows64 >/dev/null
	cmake --build --preset windows64 -j $(JOBS) --target benchmarks
	sh bench/run.sh build/win64

# Fuzz targets (clang, libFuzzer): each for FUZZ_SECONDS from its corpus.
FUZZ_SECONDS ?= 60
fuzz: setup
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS) --target fuzzers
	sh fuzz/run.sh build/native/fuzz --seconds $(FUZZ_SECONDS)

clean:
	rm -rf build
