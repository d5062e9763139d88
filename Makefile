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

# Every benchmark prints lines ending in "ratio R" against a baseline measured in the same run.
bench: build
	@for b in $(BUILD)/bench/engine_bench $(BUILD)/bench/startup_bench $(BUILD)/bench/recalc_bench $(BUILD)/bench/scan_bench $(BUILD)/engine/jet/jet_bench $(BUILD)/vbscript/vbscript_bench; do \
	  if [ -x $$b ]; then echo "== $$(basename $$b)"; ./$$b || exit 1; fi; done

run: build
	@./$(BUILD)/cli/tillbook-cli init $(ARCHIVE)
	@./$(BUILD)/cli/tillbook-cli info $(ARCHIVE)

format:
	@find base engine platform cli bench -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
