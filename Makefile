# Two commands on a fresh machine (as root): `make demo` and `make test`.
#
# Three build trees from one CMake project (see CMakePresets.json):
#   build/native  portable code with g++ under ASan/UBSan
#   build/win32   the shipped 32-bit programs (install.exe, product.dll)
#   build/win64   the same sources for 64-bit Windows, whose tests run under
#                 64-bit Wine on machines that cannot execute 32-bit code
# The Windows tests and the demo run the 32-bit tree wherever 32-bit Wine
# works, else the 64-bit one.

SHELL := /bin/sh
JOBS ?= 2

# "yes" where 32-bit Wine starts. Expanded only when a recipe runs, that is
# after `setup` has installed Wine, so that a fresh machine that can run
# 32-bit programs tests them from its first run. `make test WIN32_RUNS=`
# takes the path of a machine that cannot.
WIN32_RUNS ?= $(shell /usr/lib/wine/wine --version >/dev/null 2>&1 && echo yes)
export FI_WIN32_RUNS = $(WIN32_RUNS)
# Why a machine cannot run them, for the closing lines of `make test`.
WIN32_WHY = $(if $(WIN32_RUNS),,$(if $(shell /usr/lib/wine/wine --version >/dev/null 2>&1 && echo yes),WIN32_RUNS was set empty on the command line,$(if $(shell dmesg 2>/dev/null | grep -i '64-bit user code only'),the kernel runs 64-bit user code only (see dmesg),32-bit Wine (/usr/lib/wine/wine) does not start here)))

RAN_WIN32 = the Windows tests ran the shipped 32-bit programs (build/win32): Windows 95/98/Me, NT and 2000 in a 32-bit Wine prefix; Windows 10 in a 64-bit one.
RAN_WIN64 = the shipped 32-bit programs (build/win32) were built and checked but NOT run on this machine: $(WIN32_WHY). The Windows tests ran their 64-bit twin (build/win64) under 64-bit Wine.

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
	ctest --preset native -j $(JOBS)
	@echo "== ctest --preset windows$(if $(WIN32_RUNS),, (deliverables check only))"
	@ctest --preset windows -j $(JOBS) || { cat build/win32/wine/*/probe.failed 2>/dev/null; exit 1; }
	@$(if $(WIN32_RUNS),,echo "== ctest --preset windows64"; ctest --preset windows64 -j $(JOBS) || { cat build/win64/wine/*/probe.failed 2>/dev/null; exit 1; })
	@echo "note: $(if $(WIN32_RUNS),$(RAN_WIN32),$(RAN_WIN64))"

demo: build
	sh tools/demo.sh

# Benchmarks (not tests): the shipped 32-bit programs where 32-bit Wine runs,
# else their 64-bit twin under 64-bit Wine; run.sh says which tree ran.
BENCH_PRESET = $(if $(WIN32_RUNS),windows,windows64)
BENCH_TREE = $(if $(WIN32_RUNS),build/win32,build/win64)
bench: setup
	cmake --preset $(BENCH_PRESET) >/dev/null
	cmake --build --preset $(BENCH_PRESET) -j $(JOBS) --target benchmarks
	sh bench/run.sh $(BENCH_TREE)

# Fuzz targets (clang, libFuzzer): each for FUZZ_SECONDS from its corpus.
FUZZ_SECONDS ?= 60
fuzz: setup
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS) --target fuzzers
	sh fuzz/run.sh build/native/fuzz --seconds $(FUZZ_SECONDS)

clean:
	rm -rf build
