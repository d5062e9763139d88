# Front door of the build. Every target first makes sure the Debian packages are there.
BUILD ?= build
JOBS ?= 2
ARCHIVE ?= run-archive

.PHONY: all deps configure build test bench run clean format

all: build

deps:
	@./scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: build
	@./$(BUILD)/bench/engine_bench

run: build
	@./$(BUILD)/cli/tillbook-cli init $(ARCHIVE)
	@./$(BUILD)/cli/tillbook-cli info $(ARCHIVE)

format:
	@find base engine platform cli bench -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
