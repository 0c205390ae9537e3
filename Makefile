# Vorlash -- the two everyday commands are `make play` and `make test`.
BUILD      ?= build
JOBS       ?= $(shell nproc)
WERROR     ?= $(if $(VORLASH_WERROR),$(VORLASH_WERROR),OFF)
CMAKE_GEN  := -G Ninja
CMAKE_ARGS := -DVORLASH_WERROR=$(WERROR)
CONFIGURE   = cmake -S . -B $(BUILD) $(CMAKE_GEN) $(CMAKE_ARGS)
# A build folder that `make play` makes holds only the program and its assets; `make test` and
# `make bench` turn the rest on in the same folder, and `make play` never turns it off again.
PLAY_ONLY  := -DVORLASH_TESTS=OFF -DVORLASH_EXAMPLES=OFF -DVORLASH_BENCH=OFF

.PHONY: all deps build play play-build test smoke windows windows-dist windows-smoke web web-serve web-dist web-smoke web-bench test-sanitize fuzz bench bench-build scoreboard example example-pictures install deb deb-smoke docs clean

all: build

deps:
	@scripts/install-deps.sh core test

build: deps
	$(CONFIGURE) -DVORLASH_TESTS=ON -DVORLASH_EXAMPLES=ON
	cmake --build $(BUILD) -j $(JOBS)

play-build:
	@scripts/install-deps.sh core
	$(CONFIGURE) $(if $(wildcard $(BUILD)/CMakeCache.txt),,$(PLAY_ONLY))
	cmake --build $(BUILD) -j $(JOBS) --target vorlash assets

play: play-build
	cd $(BUILD)/assets && ../vorlash

test: build
	ctest --test-dir $(BUILD) --output-on-failure --timeout 300 -j $(JOBS)

# make install PREFIX=... DESTDIR=...: the game for players (the program, its assets under
# share/vorlash, the launcher `vorlash`, a desktop entry and the icon), and the library for other
# programs (static archives, headers, a CMake package and a pkg-config module). `make deb` packs
# the game alone.
PREFIX ?= /usr/local
install: play-build
	cmake --build $(BUILD) -j $(JOBS) --target icon vorlash_main example_assets
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

deb: play-build
	@scripts/install-deps.sh package
	cmake --build $(BUILD) -j $(JOBS) --target icon
	cd $(BUILD) && cpack -G DEB
	@ls -l $(BUILD)/vorlash_*.deb

# The package installed on this machine (root or sudo), played through its launcher, removed again.
deb-smoke: deb
	@scripts/install-deps.sh smoke
	scripts/deb-smoke.sh $(BUILD)

# The library's API reference in $(BUILD)/docs/html (open index.html): Doxygen over the installed
# headers' contracts and the pages of docs/ (docs/Doxyfile). Any warning fails it, an undocumented
# declaration first of all. The pictures under docs/ are copied beside the pages, at the same
# relative paths, so that the pages' Markdown images show; DOCS_IMAGES adds folders that Doxygen's
# own \image command looks in.
DOCS_OUT    = $(BUILD)/docs
DOCS_IMAGES ?=
docs:
	@scripts/install-deps.sh docs
	@rm -rf $(DOCS_OUT) && mkdir -p $(DOCS_OUT)
	@VORLASH_DOCS_OUT=$(DOCS_OUT) VORLASH_DOCS_IMAGES="$(DOCS_IMAGES)" \
	  VORLASH_VERSION=$$(sed -n 's/^project(vorlash VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt) \
	  doxygen docs/Doxyfile; status=$$?; \
	  if [ -s $(DOCS_OUT)/warnings.log ]; then \
	    cat $(DOCS_OUT)/warnings.log >&2; echo "docs: Doxygen's warnings are errors" >&2; exit 1; fi; \
	  exit $$status
	@cd docs && find . \( -name '*.png' -o -name '*.jpg' -o -name '*.gif' -o -name '*.svg' \) \
	  -exec cp --parents {} $(abspath $(DOCS_OUT))/html/ \;
	@echo "docs: $$(ls $(DOCS_OUT)/html/*.html | wc -l) pages, 0 warnings, in $(DOCS_OUT)/html/index.html"

# One example of the library on the SDL2 host, in the examples' asset folder: make example NAME=sprites
# runs examples/sprites.cpp (first, text, bitmaps, palettes, log, transitions, vector, matrices,
# sprites, sixteen, windowed, input, mouse, sound, music; docs/examples.md shows each).
NAME ?= first
example: deps
	$(CONFIGURE) -DVORLASH_EXAMPLES=ON
	cmake --build $(BUILD) -j $(JOBS) --target example_$(NAME) example_assets
	cd $(BUILD)/example-assets && ../examples/example_$(NAME)

# Each example's picture in docs/examples/, rendered on the headless host at its chosen frame, and
# the examples page docs/examples.md; the examples' tests fail while a picture or the page is stale.
example-pictures: deps
	$(CONFIGURE) -DVORLASH_EXAMPLES=ON
	cmake --build $(BUILD) -j $(JOBS) --target example_pictures
	python3 scripts/example-coverage.py --write

# The real program under a virtual X server: intro, keys, screenshots, ESC, and its sound on disk.
# Its third run plays a test build of the game with a virtual game controller.
smoke: deps
	@scripts/install-deps.sh smoke
	$(CONFIGURE) -DVORLASH_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS) --target vorlash assets virtual_pad_play
	scripts/smoke.sh $(BUILD)

windows:
	@scripts/install-deps.sh windows
	cmake -S . -B build-windows $(CMAKE_GEN) $(CMAKE_ARGS) \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build build-windows -j $(JOBS)
	@ls -l build-windows/vorlash.exe

# The archive a Windows player downloads: the exe, the generated assets (made by the native build's
# assetgen) and a README.txt, in build-windows/vorlash-windows.zip.
windows-dist: windows deps
	$(CONFIGURE)
	cmake --build $(BUILD) --target assets -j $(JOBS)
	scripts/windows-dist.sh $(BUILD)/assets build-windows

# The archive unpacked and played under Wine in a virtual X server; screenshots and logs in
# build-windows/smoke/.
windows-smoke: windows-dist
	@scripts/install-deps.sh wine
	scripts/windows-smoke.sh build-windows

# The game and the examples for a browser: a static site in build-web/site/ (index.html, the program's
# .js and .wasm, one data file with the generated assets, the soundfont and the font, FluidSynth for
# WebAssembly, and examples/NAME.html). Built with emscripten in a folder of its own; the assets come
# from the native build's generator.
WEB_BUILD ?= build-web
WEB_PORT  ?= 8080
WEB_ENV   := NODE_PATH=/usr/share/nodejs
web: deps
	@scripts/install-deps.sh web
	$(CONFIGURE) $(if $(wildcard $(BUILD)/CMakeCache.txt),,$(PLAY_ONLY))
	cmake --build $(BUILD) -j $(JOBS) --target assets example_assets
	scripts/web-freetype.sh $(WEB_BUILD)
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD) $(CMAKE_GEN) $(CMAKE_ARGS) -DCMAKE_BUILD_TYPE=Release \
	      -DVORLASH_WEB_ASSETS=$(abspath $(BUILD))/assets -DVORLASH_WEB_EXAMPLE_ASSETS=$(abspath $(BUILD))/example-assets
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)
	@ls -l $(WEB_BUILD)/site

# The site on http://127.0.0.1:$(WEB_PORT)/ until Ctrl+C.
web-serve: web
	node scripts/web-serve.mjs $(WEB_BUILD)/site $(WEB_PORT)

# The site as one archive for a static host: build-web/vorlash-web.zip.
web-dist: web
	rm -rf $(WEB_BUILD)/vorlash-web $(WEB_BUILD)/vorlash-web.zip
	cp -r $(WEB_BUILD)/site $(WEB_BUILD)/vorlash-web
	cd $(WEB_BUILD) && cmake -E tar cf vorlash-web.zip --format=zip vorlash-web
	rm -rf $(WEB_BUILD)/vorlash-web
	@ls -l $(WEB_BUILD)/vorlash-web.zip

# The site played in headless Chromium: intro, play, frame rate, keys, sound, ESC and play again,
# touch controls, an example page; screenshots and report.json in build-web/smoke/.
web-smoke: web
	node scripts/web-smoke.mjs $(WEB_BUILD) $(BUILD)/assets

# The game's heavy frame as WebAssembly under node, beside bench_frame's native figure:
# {"heavy_frame_us": N} in build-web/bench.json.
web-bench: web
	$(WEB_ENV) cmake --build $(WEB_BUILD) --target frame_web
	node $(WEB_BUILD)/bench/frame_web.js > $(WEB_BUILD)/bench.json
	@cat $(WEB_BUILD)/bench.json

test-sanitize: deps
	cmake -S . -B build-sanitize $(CMAKE_GEN) $(CMAKE_ARGS) -DVORLASH_SANITIZE=ON \
	      -DVORLASH_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build build-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-sanitize --output-on-failure --timeout 600 -j $(JOBS)

fuzz: deps
	@scripts/install-deps.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz $(CMAKE_GEN) $(CMAKE_ARGS) -DVORLASH_FUZZ=ON \
	      -DVORLASH_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS)

# Benchmarks and the peers they are measured against (Allegro 4, SDL2_gfx) come only with these two.
bench-build: deps
	@scripts/install-deps.sh bench
	$(CONFIGURE) -DVORLASH_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)

bench: bench-build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

# One table of where we stand: every benchmark beside its peer, and what playing costs, each against
# its goal in bench/goals.md; also build/scoreboard.md and build/scoreboard.json. A report only: a
# figure behind its goal never fails it. SCOREBOARD_REPS sets the interleaved repetitions.
SCOREBOARD_REPS ?= 9
scoreboard: bench-build
	@scripts/install-deps.sh smoke
	cmake --build $(BUILD) -j $(JOBS) --target vorlash assets
	python3 scripts/scoreboard.py $(BUILD) --repetitions $(SCOREBOARD_REPS)

clean:
	rm -rf build build-windows build-sanitize build-fuzz build-web

# One contact sheet of every generated picture and frame (sprites enlarged), for review by eye.
.PHONY: assets-sheet
assets-sheet: deps
	$(CONFIGURE)
	cmake --build $(BUILD) --target assetgen -j $(JOBS)
	$(BUILD)/tools/assetgen --sheet $(BUILD)/assets-sheet.bmp
	convert $(BUILD)/assets-sheet.bmp $(BUILD)/assets-sheet.png
	@echo "contact sheet: $(BUILD)/assets-sheet.png"

# The soak: a million frames of random and bot input under the sanitizers, invariants checked every
# frame, leaks checked at exit. SOAK_FRAMES and SOAK_SEED change the run.
SOAK_FRAMES ?= 1000000
SOAK_SEED   ?= 1
.PHONY: soak
soak: deps
	cmake -S . -B build-sanitize $(CMAKE_GEN) $(CMAKE_ARGS) -DVORLASH_SANITIZE=ON \
	      -DVORLASH_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build build-sanitize --target soak assets -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  build-sanitize/tests/soak $(SOAK_FRAMES) $(SOAK_SEED)
