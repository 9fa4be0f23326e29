# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE   := cmake
PACKAGES := $(shell grep -v '^\#' tools/packages.txt)

.PHONY: deps build run test demo bench fuzz format clean

deps:
	@tools/install-deps.sh $(PACKAGES)

$(BUILD)/build.ninja:
	$(CMAKE) -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	$(CMAKE) --build $(BUILD) -j $(JOBS)

run: build
	@tools/run.sh $(BUILD)/quellbo

test: build
	@tools/run-tests.sh $(BUILD)

demo: build
	@tools/demo.sh $(BUILD)/quellbo

bench: deps
	$(CMAKE) -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELLBO_BENCH=ON -DQUELLBO_TESTS=OFF -DQUELLBO_GUI=OFF
	$(CMAKE) --build $(BUILD)-bench -j $(JOBS)
	@tools/run-bench.sh $(BUILD)-bench

fuzz: deps
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELLBO_FUZZ=ON -DQUELLBO_GUI=OFF -DQUELLBO_TESTS=OFF
	$(CMAKE) --build $(BUILD)-fuzz -j $(JOBS)
	@echo "fuzz targets are in $(BUILD)-fuzz/fuzz/; run one with: $(BUILD)-fuzz/fuzz/<target> -max_total_time=300"

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-fuzz
