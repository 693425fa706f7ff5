# Quenzel: `make run` and `make test` do every set-up step on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= PropertyList CookieStorage Strings Bookmark ProfilesIni LocalState DesktopEntry
# Every test program that starts work off the main thread (walker, removal, executor, care run,
# history, size monitor, panels, logos, share, the window's preference sections) under
# ThreadSanitizer. Qt and GLib are not built with it, so races inside them are left to
# tests/tsan.supp.
TSAN_TESTS  := quenzel_core_fs_tests quenzel_core_browsers_tests quenzel_core_care_tests \
               quenzel_core_history_tests quenzel_core_monitor_tests quenzel_services_tests \
               quenzel_gui_panels_tests quenzel_gui_tray_tests quenzel_gui_extras_tests \
               quenzel_gui_window_tests
# The tests that start a process are left out too: QProcess starts it with clone(CLONE_VM), a
# child sharing our memory that ThreadSanitizer does not know of, which spoils its view of the
# main thread's locks; later tests then report false races on memory guarded by a mutex. The
# version list's test of the installed pages and the pages' own tests need the pages, which this
# build does not make.
TSAN_FILTER := -UserNotificationCenter*:RemoteVersionList.IsAskedOnlyOfAWebSite:RunningApplicationsTest.FindsALiveProcess:HistoryTest.EachCareIsWrittenAtOnceAndOtherReadersAgree:AutoCleanTest.*:SitePagesTest.*
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PREFIX     ?= /usr/local
DESTDIR    ?=
SUDO       := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

# Let ccache share objects between checkouts in different folders (CI clones elsewhere).
export CCACHE_BASEDIR   := $(CURDIR)
export CCACHE_NOHASHDIR := true
export CCACHE_MAXSIZE   ?= 5G

# Debian packages the build, the tests and the screenshot need (Qt's own Italian texts and the
# dark style of the second screenshot among them).
PACKAGES := build-essential cmake pkg-config ccache git python3 \
            qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins \
            libgl-dev libegl-dev libvulkan-dev libxkbcommon-dev \
            lld libplist-dev libsqlite3-dev libglib2.0-dev libgtest-dev libgmock-dev libxcb1-dev \
            xvfb xauth x11-apps imagemagick dbus-x11 clang-format \
            desktop-file-utils appstream help2man file dpkg-dev \
            qt6-translations-l10n adwaita-qt6

FUZZ_PACKAGES := clang libclang-rt-14-dev

.PHONY: all deps build build-asan build-tsan run test test-plain test-asan test-tsan fuzz bench format \
        format-check \
        screenshot startup-order clean install package

all: build

deps:
	@missing=""; for p in $(PACKAGES) $(EXTRA_PACKAGES); do \
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

$(TSAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENZEL_WERROR=ON -DQUENZEL_SANITIZE_THREAD=ON $(CMAKE_ARGS)

build-tsan: deps $(TSAN_BUILD)/CMakeCache.txt
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target quenzel $(TSAN_TESTS)

run: build
	@./scripts/run.sh $(BUILD)/src/app/quenzel

test-plain: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# The threaded tests under ThreadSanitizer; any report fails the run.
test-tsan: build-tsan
	@for t in $(TSAN_TESTS); do \
	  echo "ThreadSanitizer: $$t"; \
	  QT_QPA_PLATFORM=offscreen QUENZEL_BINARY=$(CURDIR)/$(TSAN_BUILD)/src/app/quenzel \
	    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	    $(TSAN_BUILD)/tests/$$t --gtest_brief=1 --gtest_filter='$(TSAN_FILTER)' || exit 1; \
	done

# Every test, then again under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# threaded ones under ThreadSanitizer; the formatting is checked first.
test: format-check
	@$(MAKE) --no-print-directory test-plain test-asan test-tsan

# Each fuzz target for FUZZ_SECONDS, starting from the seeds in tests/fuzz-corpus; findings
# (crash-*, timeout-*, oom-*) are left in $(FUZZ_BUILD)/findings.
fuzz:
	@$(MAKE) --no-print-directory deps EXTRA_PACKAGES="$(FUZZ_PACKAGES)"
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DQUENZEL_FUZZ=ON -DBUILD_TESTING=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@mkdir -p $(FUZZ_BUILD)/findings
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  echo "Fuzzing $$t for $(FUZZ_SECONDS) s"; \
	  ASAN_OPTIONS=detect_leaks=0 $(FUZZ_BUILD)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) \
	    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/findings/$$t- \
	    $(FUZZ_BUILD)/corpus/$$t tests/fuzz-corpus/$$t || exit 1; \
	done

bench: build
	cmake --build $(BUILD) --target benchmarks -j $(JOBS)
	@for b in $(BUILD)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; \
	done

# Installs under PREFIX (default /usr/local), staged below DESTDIR when given.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# build/quenzel_<version>_<arch>.deb, its dependencies read from the binary by dpkg-shlibdeps.
package: build
	cd $(BUILD) && cpack -G DEB

format: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails when a source file differs from what `make format` would make of it.
FORMAT_DIRS := src tests bench fuzz
format-check: deps
	@find $(FORMAT_DIRS) -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | \
	  xargs -0 clang-format --dry-run -Werror
	@echo "clang-format: every file in $(FORMAT_DIRS) is formatted"

# Renews the list of functions the link places together for a quick start (needs valgrind).
startup-order: build
	@$(MAKE) --no-print-directory deps EXTRA_PACKAGES=valgrind
	@./scripts/startup-order.sh $(BUILD)/src/app/quenzel cmake/first-frame.order

screenshot: build
	@./scripts/screenshot.sh $(BUILD)/src/app/quenzel docs/screenshot.png

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
