# The two set-up commands of the README (`make run`, `make test`) and the
# developer targets. Every target installs what is missing first.

BUILD       ?= build
BUILD_ASAN  ?= build-asan
BUILD_FUZZ  ?= build-fuzz
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX      ?= /usr/local
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 10

.PHONY: run play media test unit deps configure build build-game build-installed install package build-asan build-fuzz bench assets fuzz fuzz-smoke format clean

# The game alone: no tests, tools or benchmarks stand between a fresh clone
# and the window.
run: build-game
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  ./$(BUILD)/veltrocane; \
	else \
	  xvfb-run -a ./$(BUILD)/veltrocane; \
	fi

# The played game (title, city, keyboard, mouse, controller): it needs a
# screen, so it is not run under Xvfb. PLAY_ARGS passes options, e.g.
# make play PLAY_ARGS="--record game.txt".
play:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make play: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)" >&2; exit 2; \
	fi
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS) --target veltrocane-play
	./$(BUILD)/veltrocane-play $(PLAY_ARGS)

test: build build-asan build-fuzz
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(BUILD_ASAN) && ctest --output-on-failure -j $(JOBS) -L unit
	$(MAKE) --no-print-directory fuzz-smoke

# The Release unit tests alone, for the edit-compile-test loop.
unit: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target unit_tests
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L unit

deps:
	@./tools/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

build-game: configure
	cmake --build $(BUILD) -j $(JOBS) --target veltrocane

# What the installed game holds: the three programs and the icons.
build-installed: configure
	cmake --build $(BUILD) -j $(JOBS) --target veltrocane-play veltrocane veltrocane-sim icons

# make install PREFIX=/some/where (default /usr/local): programs in bin,
# data, desktop entry, icons and metainfo under share.
install: build-installed
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, in the build folder (veltrocane_<version>_<arch>.deb).
package: build-installed
	cd $(BUILD) && cpack -G DEB

build-asan: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Release -DVELTROCANE_SANITIZE=ON
	cmake --build $(BUILD_ASAN) -j $(JOBS) --target unit_tests

build-fuzz: deps
	cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=Release -DVELTROCANE_FUZZ=ON \
	  -DVELTROCANE_TESTS=ON -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target fuzz_targets

fuzz: build-fuzz
	./tools/run-fuzzers.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

fuzz-smoke: build-fuzz
	./tools/run-fuzzers.sh $(BUILD_FUZZ) $(FUZZ_SMOKE_SECONDS)

bench: build
	./$(BUILD)/bench/veltrocane-bench

# The README's pictures, docs/screenshot.png and docs/course.gif, from the
# headless runner's frames of the default course. Needs ffmpeg, for this
# target alone (apt-get install ffmpeg).
media: configure
	cmake --build $(BUILD) -j $(JOBS) --target veltrocane-sim
	./tools/make-media.sh ./$(BUILD)/tools/sim/veltrocane-sim docs

assets: build
	./$(BUILD)/tools/assetgen/veltrocane-assetgen assets

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)
