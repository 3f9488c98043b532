# Tarnwick: the two set-up commands and a few conveniences.
#   make run        install what is missing, build the program, document the bundled example
#   make test       install what is missing, build the rest, run the whole test suite
#                   (once, then the core's tests again in another time zone and locale),
#                   warnings as errors
#   make check      what CI adds after `make test`: the suite again under AddressSanitizer
#                   + UBSan with the fuzz smoke runs, a plain Release build of the program,
#                   the benchmarks built, and the slow tests of build/ (the largest module,
#                   every page encoding in the browser, the accessibility audit)
#   make workbench  open the workbench on the bundled example
#   make fuzz       run every fuzzer for FUZZ_SECONDS each
#   make bench      run the benchmarks
#   make package    build the Debian package (build/tarnwick_*.deb) and check it

BUILD       ?= build
ASAN_BUILD  ?= build-asan
RELEASE_BUILD ?= build-release
# `make run` and `make test` configure build/ alike (warnings as errors, line
# tables only, the core and the test program compiled in batches of units), so
# the tests reuse every object `make run` compiled. A plain
# `cmake` build of your own keeps CMake's defaults: warnings are no errors.
WERROR      ?= ON
JOBS        ?= $(shell nproc)
EXAMPLE     ?= examples/Ledger/Ledger.vbp
EXAMPLE_REG ?= examples/Ledger/registry.reg
FUZZ_SECONDS ?= 60
# The second run of the core's tests: a time zone far from UTC (Auckland's
# rule, written out so it needs no tzdata) and a pinned locale, so a time
# shown in the builder's zone instead of the one asked for is caught. Any
# locale of `locale -a` may be given, e.g. TEST_LOCALE=de_DE.UTF-8.
TEST_TZ     ?= NZST-12NZDT,M9.5.0,M4.1.0/3
TEST_LOCALE ?= C.UTF-8

# build-asan, for `make check` and `make fuzz` alike (one configuration, so
# neither rebuilds what the other compiled).
ASAN_CONFIGURE = CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DTARNWICK_SANITIZE=ON -DTARNWICK_FUZZ=ON \
    -DTARNWICK_WORKBENCH=OFF -DTARNWICK_BENCH=OFF -DTARNWICK_WERROR=$(WERROR) >/dev/null

.PHONY: all deps configure build run test test-main test-zone check test-asan test-release test-bench test-slow workbench fuzz bench screenshots package clean

all: build

deps:
	@scripts/install-deps.sh --with-browser

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DTARNWICK_WERROR=$(WERROR) \
	    -DTARNWICK_UNITY=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only the program and the data it copies into the site.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tarnwick
	@$(BUILD)/bin/tarnwick generate $(EXAMPLE) -o $(BUILD)/example-docs --registry $(EXAMPLE_REG) --force

# The loop of a change: build/ and its suite, twice (the second run in a far
# time zone). The slower checks that need their own build trees are `make check`.
test: test-main test-zone

check: test-asan test-release test-bench test-slow

# The tests of build/ that take a core for long (the largest module, the
# payload pages in every encoding family, the accessibility audit).
test-slow: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -L slow

# The benchmarks are no part of `make test`'s build; here they are kept compiling.
test-bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tarnwick-bench make_big_project

test-main: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -LE slow

# The core's tests once more in another time zone and locale (the workbench
# and browser tests show the same pages and take the longest; the pathological
# and hostile inputs show no time at all, a link leads where it leads in any
# zone, and the help packages and the layering of the sources hold no time).
test-zone: build
	@echo "The core's tests again with TZ=$(TEST_TZ) LC_ALL=$(TEST_LOCALE):"
	@TZ='$(TEST_TZ)' LC_ALL=$(TEST_LOCALE) ctest --test-dir $(BUILD) --output-on-failure --progress \
	    -j $(JOBS) -LE 'browser|workbench|pathological|links' \
	    -E '^(HostileInput|Robustness|offline|Layers)\.'

# The suite again with AddressSanitizer and UndefinedBehaviorSanitizer, built
# with clang so the libFuzzer targets build too (each gets a short smoke run):
# the core, the program, the tests and the fuzzers; no workbench, no benchmarks.
test-asan: deps
	@$(ASAN_CONFIGURE)
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -LE browser

# What a packager does first: a plain Release build with the default compiler
# and no warnings as errors; the core and the program only.
test-release: deps
	@cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DTARNWICK_TESTS=OFF -DTARNWICK_BENCH=OFF -DTARNWICK_WORKBENCH=OFF >/dev/null
	@cmake --build $(RELEASE_BUILD) -j $(JOBS)

workbench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tarnwick-workbench
	@$(BUILD)/bin/tarnwick-workbench --registry $(EXAMPLE_REG) $(EXAMPLE)

fuzz: deps
	@$(ASAN_CONFIGURE)
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@scripts/run-fuzzers.sh $(ASAN_BUILD) $(FUZZ_SECONDS)

bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tarnwick-bench
	@$(BUILD)/bin/tarnwick-bench

screenshots: build
	@scripts/screenshots.sh $(BUILD)

package: build
	@cd $(BUILD) && cpack -G DEB >/dev/null
	@scripts/check-package.sh $(BUILD)

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD)
