# Entry points. Each installs what is missing first (scripts/install-deps).
JOBS    ?= $(shell nproc)
DEBUG   := build/debug
RELEASE := build/release
BENCH   := build/bench
FUZZ    := build/fuzz
TSAN    := build/tsan
FUZZ_SECONDS ?= 5

.PHONY: all deps test build-debug build-release run run-editor demo readme-picture bench fuzz tsan format clean

all: build-debug

deps:
	@bash scripts/install-deps

build-debug: deps
	@cmake -S . -B $(DEBUG) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVIK_SANITIZE=ON >/dev/null
	@cmake --build $(DEBUG) -j $(JOBS)

test: build-debug
	@cd $(DEBUG) && ctest --output-on-failure -j $(JOBS)

build-release: deps
	@cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_TESTS=OFF >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

run: build-release
	@bash scripts/start-program $(RELEASE)/bin/TarvikSondrel

run-editor: build-release
	@bash scripts/start-program $(RELEASE)/bin/TarvikTrimsel

# The sensor simulator and TarvikSondrel wired to it, with settings and survey folders of their
# own under build/release/demo: press Start and the boat sounds along its line.
demo: build-release
	@bash scripts/demo $(RELEASE)/bin

# The README's picture of the demo under way, taken on a virtual X server (docs/demo.png).
readme-picture: build-release
	@bash scripts/readme-picture $(RELEASE)/bin docs/demo.png

bench: deps
	@cmake -S . -B $(BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_TESTS=OFF -DTARVIK_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j $(JOBS)
	@bash scripts/run-benchmarks $(BENCH)/bin

fuzz:
	@bash scripts/install-deps fuzz
	@cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)
	@bash scripts/run-fuzzers $(FUZZ)/bin $(FUZZ_SECONDS)

# The threaded parts (NTRIP worker, socket, synchronise call, serial port registry) under
# ThreadSanitizer. Qt itself is not instrumented: tests/tsan.supp names its event hand-over.
tsan: deps
	@cmake -S . -B $(TSAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVIK_TSAN=ON >/dev/null
	@cmake --build $(TSAN) -j $(JOBS) --target platform_tests positioning_tests
	@cd $(TSAN) && export TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp halt_on_error=1" \
	  QT_QPA_PLATFORM=offscreen && \
	  ./bin/platform_tests --gtest_filter='TcpSocket*:Synchronize*' && \
	  ./bin/positioning_tests --gtest_filter='*Ntrip*:SerialPort*:-NtripRealCaster*'

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
