# Front door of the build. Every target first makes sure the Debian packages are there.
BUILD ?= build
JOBS ?= 2
ARCHIVE ?= run-archive

.PHONY: all deps configure build test bench run install clean format

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
	@for b in $(BUILD)/bench/engine_bench $(BUILD)/bench/startup_bench $(BUILD)/bench/recalc_bench $(BUILD)/bench/scan_bench $(BUILD)/bench/receipt_bench $(BUILD)/app/desktop_bench $(BUILD)/engine/ui/grid_bench $(BUILD)/engine/jet/jet_bench $(BUILD)/vbscript/vbscript_bench $(BUILD)/printing/print_bench; do \
	  if [ -x $$b ]; then echo "== $$(basename $$b)"; ./$$b || exit 1; fi; done

# With a display: the desktop program on ./run-archive (the first start shows the options
# window and creates the archive). Without one, or without Qt: one line saying so, then the
# archive's summary.
run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "Nessuno schermo disponibile (DISPLAY e WAYLAND_DISPLAY non impostati): riepilogo dell'archivio con tillbook-cli."; \
	elif [ ! -x ./$(BUILD)/app/tillbook ]; then \
	  echo "Il programma tillbook non è compilato (manca Qt 6): riepilogo dell'archivio con tillbook-cli."; \
	else \
	  exec ./$(BUILD)/app/tillbook --workdir "$(abspath $(ARCHIVE))"; \
	fi; \
	./$(BUILD)/cli/tillbook-cli init $(ARCHIVE) && ./$(BUILD)/cli/tillbook-cli info $(ARCHIVE)

# Installs tillbook, its menu entry and icon under PREFIX (default /usr/local); DESTDIR stages.
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix "$(PREFIX)"

format:
	@find base engine platform cli bench -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
