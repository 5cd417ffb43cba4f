# SPDX-License-Identifier: MIT
# The two commands of the README, and a few more for developers.
.PHONY: run test test-debian13 soak deps-game deps-test game build bench measure screenshot sim-demo \
        package format format-check clean

deps-game:
	@bash tools/install-deps.sh game

deps-test:
	@bash tools/install-deps.sh test

# The game alone: no tests, no benchmarks, no GoogleTest.
game: deps-game
	cmake --preset game
	cmake --build --preset game

# Starts the game.
run: game
	./build/game/ui/velmora

build: deps-test
	cmake --preset release
	cmake --build --preset release

# Every test: the format, the release build's tests, the rules as a 32-bit x86 program
# (natively or under qemu-i386: its configure step says which), the rules and the windows
# under the sanitizers, and the Debian package.
test: build format-check
	ctest --preset release
	cmake --preset i686
	cmake --build --preset i686
	ctest --preset i686
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize
	$(MAKE) package
	bash tests/package_check.sh velmora_1.00-1_amd64.deb

# make run and make test on a fresh Debian 13, in a chroot under build/ (about ten minutes).
test-debian13:
	bash tests/debian13.sh

# Many more seeds of the event storm, under the sanitizers.
soak: deps-test
	cmake --preset sanitize
	cmake --build --preset sanitize --target velmora_ui_tests
	VELMORA_STORM_SEEDS=$${SEEDS:-200} QT_QPA_PLATFORM=offscreen \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    ./build/sanitize/tests/velmora_ui_tests --gtest_filter='EventStorm.*'

bench: build
	./build/release/bench/velmora_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

# Measures the running game under a virtual X server: start-up, tick rate, CPU, memory.
measure: build
	bash bench/measure_game.sh

# Redraws the README's picture of the game window.
screenshot: build
	./build/release/tools/velmora-shot docs/game-window.png

# Plays a whole recorded game in the headless simulator.
sim-demo: build
	./build/release/tools/velmora-sim < tests/traces/whole_game.txt

# The Debian package, built as a distribution builds it, with Debian's own compiler and
# linker flags (all of its hardening): velmora_1.00-1_amd64.deb here.
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package: deps-test
	rm -rf build/package build/deb velmora_*.deb
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	    LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" cmake --preset package
	cmake --build --preset package
	cd build/package && cpack -G DEB -B $(CURDIR)/build/deb
	cp build/deb/velmora_*.deb .

SOURCES = $(wildcard game/*.h game/*.cpp ui/*.h ui/*/*.h ui/*/*.cpp tools/*.cpp tests/*.h tests/*.cpp bench/*.cpp)

format:
	clang-format -i $(SOURCES)

format-check: deps-test
	clang-format --dry-run --Werror $(SOURCES)

clean:
	rm -rf build velmora_*.deb
