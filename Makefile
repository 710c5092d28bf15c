# The two commands a newcomer types: `make play` and `make check`.
# Both install what is missing from Debian's packages first (as root).

JOBS ?= 2
FUZZ_SECONDS ?= 30

BUILD_PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev \
  libgtk-3-dev libopenal-dev libopenal1
TEST_PACKAGES := $(BUILD_PACKAGES) clang libclang-rt-14-dev xvfb xauth xdotool x11-utils \
  imagemagick sox procps
# The cross build needs the native compiler too (it makes the data) and
# GoogleTest's sources; wine64 alone runs the 64-bit build (no i386 packages),
# and fonts-wine gives its menus and dialogs their fonts. The tests under Wine
# also use Xvfb, xdotool and ImageMagick from the test packages, and python3.
WINDOWS_PACKAGES := cmake make g++ googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  wine wine64 fonts-wine zip

.PHONY: play check asan soak build test fuzz windows install deps-build deps-test deps-windows clean

play: deps-build
	cmake --preset default
	cmake --build --preset default -j$(JOBS)
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
	  echo "== $$name for $(FUZZ_SECONDS) s"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 -print_final_stats=1 build/fuzz/corpus/$$name; \
	done

windows: deps-windows
	cmake --preset mingw
	cmake --build --preset mingw -j$(JOBS)

install:
	cmake --preset default
	cmake --build --preset default -j$(JOBS)
	DESTDIR=$(DESTDIR) cmake --install build/default --prefix $(or $(PREFIX),/usr/local)

deps-build:
	@tools/install-packages $(BUILD_PACKAGES)
deps-test:
	@tools/install-packages $(TEST_PACKAGES) $(WINDOWS_PACKAGES) python3
deps-windows:
	@tools/install-packages $(WINDOWS_PACKAGES)

clean:
	rm -rf build
