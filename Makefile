# Quenzel: `make run` and `make test` do every set-up step on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PREFIX     ?= /usr/local
DESTDIR    ?=
SUDO       := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

# Let ccache share objects between checkouts in different folders (CI clones elsewhere).
export CCACHE_BASEDIR   := $(CURDIR)
export CCACHE_NOHASHDIR := true
export CCACHE_MAXSIZE   ?= 5G

# Debian packages the build, the tests and the screenshot need.
PACKAGES := build-essential cmake pkg-config ccache git python3 \
            qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins \
            libgl-dev libegl-dev libvulkan-dev libxkbcommon-dev \
            libplist-dev libgtest-dev libgmock-dev libxcb1-dev \
            xvfb xauth x11-apps imagemagick dbus-x11 clang-format \
            desktop-file-utils appstream help2man file dpkg-dev

.PHONY: all deps build build-asan run test test-plain test-asan bench format screenshot clean \
        install package

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing Debian packages:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENZEL_WERROR=ON $(CMAKE_ARGS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUENZEL_WERROR=ON -DQUENZEL_SANITIZE=ON $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	@./scripts/run.sh $(BUILD)/src/app/quenzel

test-plain: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# Every test, then every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
test: test-plain test-asan

bench: build
	cmake --build $(BUILD) --target benchmarks -j $(JOBS)
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

# Installs under PREFIX (default /usr/local), staged below DESTDIR when given.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# build/quenzel_<version>_<arch>.deb, its dependencies read from the binary by dpkg-shlibdeps.
package: build
	cd $(BUILD) && cpack -G DEB

format: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

screenshot: build
	@./scripts/screenshot.sh $(BUILD)/src/app/quenzel docs/screenshot.png

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
