# The commands a newcomer types: `make play` and `make check`, then perhaps
# `make install`, `make deb` or `make windows`. Each installs what it needs
# from Debian's packages first when something is missing (as root, or
# through sudo).

JOBS ?= 2
FUZZ_SECONDS ?= 30
PREFIX ?= /usr/local

BUILD_PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev \
  libgtk-3-dev libopenal-dev libopenal1
# The package build computes its dependencies with dpkg-shlibdeps (dpkg-dev,
# which CPack finds through file), then checks the package and its metadata.
DEB_PACKAGES := $(BUILD_PACKAGES) dpkg-dev file lintian appstream
TEST_PACKAGES := $(BUILD_PACKAGES) \
  clang libclang-rt-14-dev xvfb xauth xdotool x11-utils imagemagick sox procps python3 dpkg-dev file \
  util-linux
# The cross build needs the native compiler too (it makes the data), CMake's
# Python for GoogleTest, and GoogleTest's sources; wine64 alone runs the
# 64-bit build (no i386 packages), and fonts-wine gives its menus and
# dialogs their fonts. The tests under Wine also use Xvfb, xdotool and
# ImageMagick from the test packages.
WINDOWS_PACKAGES := cmake make g++ python3 googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  wine wine64 fonts-wine zip

# Installing into the system needs root: a user with sudo is asked once.
# A DESTDIR of one's own needs nothing.
AS_ROOT := $(if $(DESTDIR),,$(shell [ "$$(id -u)" -eq 0 ] || echo sudo))

# The game's own targets: the test, benchmark and tool builds wait for `make check`.
GAME_TARGETS := tarno tarno-data tarno-levelc

.PHONY: play check build test fuzz windows install uninstall deb deps-build deps-test deps-windows deps-deb clean

play: deps-build
	cmake --preset default
	cmake --build --preset default -j$(JOBS) --target $(GAME_TARGETS)
	cd build/default/run && ./tarno

check: deps-test
	cmake --preset ci
	cmake --build --preset ci -j$(JOBS)
	ctest --preset ci -j$(JOBS)

fuzz: deps-test
	cmake --preset fuzz
	cmake --build --preset fuzz -j$(JOBS)
	@set -e; for f in build/fuzz/tests/fuzz/fuzz_*; do \
	  [ -x "$$f" ] || continue; \
	  name=$$(basename $$f); mkdir -p build/fuzz/corpus/$$name; \
	  cp -n tests/fuzz/seeds/$$name/* build/fuzz/corpus/$$name/ 2>/dev/null || true; \
	  echo "== $$name for $(FUZZ_SECONDS) s"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 -print_final_stats=1 build/fuzz/corpus/$$name; \
	done

windows: deps-windows
	cmake --preset mingw
	cmake --build --preset mingw -j$(JOBS)

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
	appstreamcli validate --no-net build/deb/packaging/tarno.metainfo.xml
	lintian --fail-on error build/deb/tarno_*_amd64.deb
	@ls -l build/deb/tarno_*_amd64.deb

deps-build:
	@tools/install-packages $(BUILD_PACKAGES)
deps-test:
	@tools/install-packages $(TEST_PACKAGES) $(WINDOWS_PACKAGES)
deps-windows:
	@tools/install-packages $(WINDOWS_PACKAGES)
deps-deb:
	@tools/install-packages $(DEB_PACKAGES)

clean:
	rm -rf build
