# Two entry points for a fresh machine: `make run` and `make test`.
# Each installs what it needs first (scripts/install-deps.sh is idempotent).

JOBS    ?= $(shell nproc)
ASAN    := build/asan
PLAIN   := build/plain
CMAKE_COMMON := -DCMAKE_BUILD_TYPE=Debug -DQOR_WERROR=ON

.PHONY: all deps test test-asan test-plain run bench fuzz format format-check format-check-changed clean

all: test

deps:
	@scripts/install-deps.sh

# The suite runs under AddressSanitizer and UndefinedBehaviorSanitizer,
# after the layout check (a misplaced line fails the run).
test: deps
	scripts/format-tree.sh --gate
	cmake -S . -B $(ASAN) $(CMAKE_COMMON) -DQOR_SANITIZE=ON
	cmake --build $(ASAN) -j $(JOBS)
	scripts/run-tests.sh $(ASAN)

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DQOR_BUILD_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	@for b in build/bench/bench/bench_*; do [ -x "$$b" ] && [ "$${b##*/}" != bench_IBExtract ] && "$$b"; done
	# The extractor's whole job needs the suite's Firebird server too.
	cd build/bench && ctest -L bench --output-on-failure -V

# Each fuzz target for FUZZ_SECONDS (default 60) with ASan and UBSan, built
# with clang 16 (edge counters in the model too); not part of `make test`.
fuzz: deps
	scripts/install-deps.sh fuzz
	CC=clang-16 CXX=clang++-16 cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQOR_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)
	scripts/run-fuzz.sh build/fuzz

# The program on the employee sample database (build/run/), built optimised
# in a tree of its own (the suite's build holds the warnings); without a
# display it runs the window offscreen and prints where its screenshot and
# script are.
run: deps
	cmake -S . -B $(PLAIN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQOR_WERROR=OFF -DQOR_SANITIZE=OFF
	cmake --build $(PLAIN) -j $(JOBS) --target quorvane
	scripts/run-app.sh $(PLAIN)

# Layout (.clang-format): `format` lays out the whole tree, `format-check`
# lists per file the lines it would change and fails on any, and
# `format-check-changed` looks only at the lines changed since FORMAT_BASE.
format: deps
	scripts/format-tree.sh --apply

format-check: deps
	scripts/format-tree.sh --check

FORMAT_BASE ?= main
format-check-changed: deps
	scripts/check-format.sh $(FORMAT_BASE)

clean:
	rm -rf build
