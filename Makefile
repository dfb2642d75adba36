# Top-level commands. `make run` and `make test` do all the set-up on a fresh machine.

BUILD      ?= build
JOBS       ?= $(shell nproc)
SAMPLE_DIR ?= $(BUILD)/sample
CMAKE_GEN  := -G Ninja

.PHONY: all deps build run test sanitize tsan fuzz bench clean

all: build

deps:
	./scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Builds the player and the sample maker only (no test or benchmark), makes the sample
# project when it is missing, and starts the player in it.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target pellmoor-player make-sample
	./scripts/run-player "$(BUILD)" "$(SAMPLE_DIR)"

test: build
	./scripts/run-tests "$(BUILD)" $(JOBS)

sanitize: deps
	cmake -S . -B build-asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DPELLMOOR_SANITIZE=ON -DPELLMOOR_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	./scripts/run-tests build-asan $(JOBS)

tsan: deps
	cmake -S . -B build-tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DPELLMOOR_TSAN=ON -DPELLMOOR_BENCH=OFF
	cmake --build build-tsan -j $(JOBS) --target test_platform test_base test_app test_sound test_gamedata test_stage
	./scripts/run-tests build-tsan $(JOBS) -L "platform|base|app|sound"
	./scripts/run-tests build-tsan $(JOBS) -L gamedata -R "^StageLoadTest"
	./scripts/run-tests build-tsan $(JOBS) -L stage

# clang keeps text literals in UTF-8: it builds a copy of the tree whose literals are
# written as the CP932 bytes g++ makes of them.
fuzz: deps
	./scripts/cp932-tree build-fuzz-src
	CC=clang CXX=clang++ cmake -S build-fuzz-src -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	    -DPELLMOOR_FUZZ=ON -DPELLMOOR_BENCH=OFF -DPELLMOOR_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS) --target $$(ninja -C build-fuzz -t targets all | sed -n 's/^fuzz\/\(fuzz_[a-z_0-9]*\):.*/\1/p' | sort -u)
	./scripts/run-fuzz build-fuzz $${FUZZ_SECONDS:-20}

bench: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	./scripts/run-bench "$(BUILD)"

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz build-fuzz-src
