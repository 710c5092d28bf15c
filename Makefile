# The commands a newcomer types: `make play` and `make check`, then perhaps
# `make install`, `make deb` or `make windows`. Each installs what it needs
# from Debian's packages first when something is missing (as root, or
# through sudo).

JOBS ?= 2
FUZZ_SECONDS ?= 30
# FUZZ_RUNS=N runs each fuzzer N times instead of for FUZZ_SECONDS.
FUZZ_RUNS ?=
PREFIX ?= /usr/local

BUILD_PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev \
  libgtk-3-dev libopenal-dev libopenal1
# The package build computes its dependencies with dpkg-shlibdeps (dpkg-dev,
# which CPack finds through file), then checks the package and its metadata.
DEB_PACKAGES := $(BUILD_PACKAGES) dpkg-dev file lintian appstream
# The browser build: Debian's emscripten compiles the game, the native
# compiler makes its data, python3 serves the site.
WEB_PACKAGES := cmake make g++ emscripten python3
WEB_PORT ?= 8000
TEST_PACKAGES := $(BUILD_PACKAGES) \
  clang libclang-rt-14-dev xvfb xauth xdotool x11-utils imagemagick sox procps python3 dpkg-dev file \
  util-linux valgrind appstream $(WEB_PACKAGES) chromium
# The cross build needs the native compiler too (it makes the data), CMake's
# Python for GoogleTest, and GoogleTest's sources; wine64 alone runs the
# 64-bit build (no i386 packages), and fonts-wine gives its menus and
# dialogs their fonts; NSIS (makensis) builds the installer. The tests under
# Wine also use Xvfb, xdotool and ImageMagick from the test packages.
WINDOWS_PACKAGES := cmake make g++ python3 googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  wine wine64 fonts-wine zip nsis

# Installing into the system needs root: a user with sudo is asked once.
# A DESTDIR of one's own needs nothing.
AS_ROOT := $(if $(DESTDIR),,$(shell [ "$$(id -u)" -eq 0 ] || echo sudo))

# The game's own targets: the test, benchmark and tool builds wait for `make check`.
GAME_TARGETS := tarno tarno-data tarno-levelc

.PHONY: play check asan tsan soak build test fuzz windows web serve-web install uninstall deb format format-check \
  deps-build deps-test deps-windows deps-web deps-deb deps-format clean

play: deps-build
	cmake --preset default
	cmake --build --preset default -j$(JOBS) --target $(GAME_TARGETS)
	cd build/default/run && ./tarno

check: deps-test
	cmake --preset ci
	cmake --build --preset ci -j$(JOBS)
	ctest --preset ci -j$(JOBS)

# The unit and scenario tests under the address and undefined-behaviour
# sanitizers, stopping at the first report.
asan: deps-test
	cmake --preset asan
	cmake --build --preset asan -j$(JOBS)
	ctest --preset asan -j$(JOBS)

# The game's threads (advice, level making) under the thread sanitizer, on
# a script that switches levels while they work.
tsan: deps-test
	cmake --preset tsan
	cmake --build --preset tsan -j$(JOBS)
	ctest --preset tsan

# Random scripts through tarno-demo, every dump checked against the rules.
FRAMES ?= 50000
soak: deps-test
	cmake --preset ci
	cmake --build --preset ci -j$(JOBS) --target tarno-demo tarno-solve tarno-data
	python3 tests/soak/soak.py build/ci/tools/tarno-demo build/ci/tools/tarno-solve build/ci/run $(FRAMES)

fuzz: deps-test
	cmake --preset fuzz
	cmake --build --preset fuzz -j$(JOBS)
	@set -e; for f in build/fuzz/tests/fuzz/fuzz_*; do \
	  [ -x "$$f" ] || continue; \
	  name=$$(basename $$f); mkdir -p build/fuzz/corpus/$$name; \
	  cp -n tests/fuzz/seeds/$$name/* build/fuzz/corpus/$$name/ 2>/dev/null || true; \
	  echo "== $$name for $(if $(FUZZ_RUNS),$(FUZZ_RUNS) runs,$(FUZZ_SECONDS) s)"; \
	  $$f $(if $(FUZZ_RUNS),-runs=$(FUZZ_RUNS),-max_total_time=$(FUZZ_SECONDS)) -rss_limit_mb=2048 \
	    -print_final_stats=1 build/fuzz/corpus/$$name; \
	done

windows: deps-windows
	cmake --preset mingw
	cmake --build --preset mingw -j$(JOBS)

web: deps-web
	cmake --preset web-data
	cmake --build build/web-data --target tarno-data -j$(JOBS)
	cmake --preset web
	cmake --build --preset web -j$(JOBS)
	@echo "The site is in build/web/site: serve it as static files (make serve-web)."

serve-web: web
	@echo "Tarno at http://localhost:$(WEB_PORT)/ (Ctrl+C stops)"
	python3 tools/serve_web.py --directory build/web/site $(WEB_PORT)

install: deps-build
	cmake --preset default
	cmake --build --preset default -j$(JOBS) --target $(GAME_TARGETS)
	$(AS_ROOT) env DESTDIR=$(DESTDIR) cmake --install build/default --prefix $(PREFIX)

# Removes what `make install` put in place, as listed by that install.
uninstall:
	$(AS_ROOT) env DESTDIR=$(DESTDIR) cmake -DMANIFEST=build/default/install_manifest.txt -P packaging/uninstall.cmake

# The Debian package, built apart with the game's targets only, then checked.
deb: deps-deb
	cmake --preset deb
	cmake --build --preset deb -j$(JOBS)
	cd build/deb && cpack -G DEB
	appstreamcli validate --pedantic --no-net build/deb/packaging/tarno.metainfo.xml
	lintian --fail-on error build/deb/tarno_*_amd64.deb
	@ls -l build/deb/tarno_*_amd64.deb

# The C++ sources in the project's style (.clang-format), with the
# clang-format Debian 12 ships; CI fails on any difference.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')
format: deps-format
	clang-format -i $(FORMAT_FILES)
format-check: deps-format
	@clang-format --dry-run -Werror $(FORMAT_FILES)
	@echo "Formatting: all $(words $(FORMAT_FILES)) C++ files as .clang-format says."

deps-build:
	@tools/install-packages $(BUILD_PACKAGES)
deps-test:
	@tools/install-packages $(TEST_PACKAGES) $(WINDOWS_PACKAGES)
deps-windows:
	@tools/install-packages $(WINDOWS_PACKAGES)
deps-web:
	@tools/install-packages $(WEB_PACKAGES)
deps-format:
	@tools/install-packages clang-format
deps-deb:
	@tools/install-packages $(DEB_PACKAGES)

clean:
	rm -rf build
