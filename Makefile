# Set-up commands of the README. Each installs what the machine lacks, configures and builds.
#   make run    build and run the program on the bundled sample traces
#   make test   build and pass the tests (also in an ASan + UBSan build of the widget-free code)

BUILD       ?= build
BUILD_SAN   ?= build-sanitize
JOBS        ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-main test-sanitize bench clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: test-main test-sanitize

test-main: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOTDR_SANITIZE=ON -DOTDR_GUI=OFF -DOTDR_BENCH=OFF
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ctest --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD_SAN)
