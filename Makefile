# Orvane Tessarine: build, run and test.
#   make run            install what is missing, build, start the program
#   make test           the same, then the whole test suite
#   make test SANITIZE=1  the suite under AddressSanitizer and UBSan
#   make bench          the benchmarks
#   make fuzz           the libFuzzer targets (clang), run for FUZZ_SECONDS each
#   make install        build and install into PREFIX (/usr/local)
#   make package        build a Debian package (build/tessarine_*.deb)
#   make format-check   fails when a tracked source is not clang-formatted
# WERROR=1 makes every warning an error (CI builds).

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SANITIZE ?= 0
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
WERROR ?= 0

ifeq ($(SANITIZE),1)
BUILD := build-sanitize
CMAKE_FLAGS := -DTESS_SANITIZE=ON -DTESS_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
else
BUILD := build
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo
endif
ifeq ($(WERROR),1)
CMAKE_FLAGS += -DTESS_WERROR=ON
FUZZ_FLAGS := -DTESS_WERROR=ON
endif

.PHONY: deps configure build run test bench fuzz clean format format-check install package

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/app/tessarine

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		ctest --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack

bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do [ -f $$b ] && [ -x $$b ] || continue; \
		echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

fuzz:
	@WITH_FUZZ=1 bash scripts/install-deps.sh
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DTESS_FUZZ=ON -DTESS_TESTS=OFF -DTESS_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo $(FUZZ_FLAGS) >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzzers
	@mkdir -p fuzz-corpus
	@for f in build-fuzz/fuzz/fuzz_*; do [ -f $$f ] && [ -x $$f ] || continue; \
		n=$$(basename $$f); mkdir -p fuzz-corpus/$$n; seeds=fuzz/corpus/$${n#fuzz_}; \
		[ -d $$seeds ] || seeds="tests/data/photos/camera tests/data/photos/invalid"; \
		echo "== $$n"; $$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
			-artifact_prefix=fuzz-corpus/$$n- fuzz-corpus/$$n $$seeds || exit 1; done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build build-sanitize build-fuzz
