# Tarnwick: the two set-up commands and a few conveniences.
#   make run        install what is missing, build, document the bundled example
#   make test       install what is missing, build, run the whole test suite
#                   (once normally, once under AddressSanitizer + UBSan with the fuzz smoke),
#                   warnings as errors; then check that a plain Release build builds
#   make workbench  open the workbench on the bundled example
#   make fuzz       run every fuzzer for FUZZ_SECONDS each
#   make bench      run the benchmarks
#   make package    build the Debian package (build/tarnwick_*.deb) and check it

BUILD       ?= build
ASAN_BUILD  ?= build-asan
RELEASE_BUILD ?= build-release
# Warnings are errors in the test builds only; `make run` builds like a user.
WERROR      ?= OFF
JOBS        ?= $(shell nproc)
EXAMPLE     ?= examples/Ledger/Ledger.vbp
EXAMPLE_REG ?= examples/Ledger/registry.reg
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test test-main test-asan test-release workbench fuzz bench screenshots package clean

all: build

deps:
	@scripts/install-deps.sh --with-browser

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/bin/tarnwick generate $(EXAMPLE) -o $(BUILD)/example-docs --registry $(EXAMPLE_REG) --force

test: WERROR = ON
test: test-main test-asan test-release

test-main: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer,
# built with clang so the libFuzzer targets build too (each gets a short smoke run).
test-asan: deps
	@CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DTARNWICK_SANITIZE=ON -DTARNWICK_FUZZ=ON -DTARNWICK_WORKBENCH=OFF -DTARNWICK_BENCH=OFF \
	    -DTARNWICK_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -LE browser

# What a packager does first: a plain Release build with the default compiler.
test-release: deps
	@cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DTARNWICK_TESTS=OFF -DTARNWICK_BENCH=OFF -DTARNWICK_WORKBENCH=OFF >/dev/null
	@cmake --build $(RELEASE_BUILD) -j $(JOBS)

workbench: build
	@$(BUILD)/bin/tarnwick-workbench --registry $(EXAMPLE_REG) $(EXAMPLE)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DTARNWICK_SANITIZE=ON -DTARNWICK_FUZZ=ON -DTARNWICK_WORKBENCH=OFF -DTARNWICK_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@scripts/run-fuzzers.sh $(ASAN_BUILD) $(FUZZ_SECONDS)

bench: build
	@$(BUILD)/bin/tarnwick-bench

screenshots: build
	@scripts/screenshots.sh $(BUILD)

package: build
	@cd $(BUILD) && cpack -G DEB >/dev/null
	@scripts/check-package.sh $(BUILD)

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD)
