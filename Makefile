# SPDX-License-Identifier: MIT
# The two commands of the README, and a few more for developers.
.PHONY: run test test-debian13 test-windows-x86 soak deps-game deps-windows deps-web deps-test game build windows \
        web serve-web bench measure measure-windows measure-web screenshot sim-demo package format \
        format-check clean

deps-game:
	@bash tools/install-deps.sh game

deps-windows:
	@bash tools/install-deps.sh windows

deps-web:
	@bash tools/install-deps.sh web

deps-test:
	@bash tools/install-deps.sh test

# The game alone: no tests, no benchmarks, no GoogleTest.
game: deps-game
	cmake --preset game
	cmake --build --preset game

# Starts the game.
run: game
	./build/game/ui/qt/velmora

build: deps-test
	cmake --preset release
	cmake --build --preset release

# Every test: the format, the release build's tests, the rules as a 32-bit x86 program
# (natively or under qemu-i386: its configure step says which), the rules and the windows
# under the sanitizers, the script reader fuzzed for 30 s (clang's libFuzzer), the Debian
# package, the game for the browser: its rules tests and traces run under node and its page
# played in chromium, and Velmora.exe: both checked as Windows sees them, their MSI packages
# checked (the 64-bit one installed, opened and removed under Wine), the 64-bit one's rules
# tests and traces run under Wine, in one Wine session that their ctest run starts and stops,
# and the program played there.
test: build format-check
	ctest --preset release
	cmake --preset i686
	cmake --build --preset i686
	ctest --preset i686
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz
	$(MAKE) package
	bash tests/package_check.sh velmora_1.00-1_amd64.deb
	$(MAKE) web
	ctest --preset web
	$(MAKE) windows
	bash tests/windows_check.sh x86 build/windows-x86/ui/win32/Velmora.exe
	bash tests/windows_check.sh x64 build/windows-x64/ui/win32/Velmora.exe
	bash tests/msi_check.sh
	ctest --preset windows-x64

# Velmora.exe for 32- and 64-bit Windows, the archives players download,
# velmora-1.00-windows-x86.zip and velmora-1.00-windows-x64.zip, and the packages schools
# deploy, velmora-1.00-windows-x86.msi and velmora-1.00-windows-x64.msi. The archives and the
# packages are the same from build to build.
windows: deps-windows
	cmake --preset windows-x86
	cmake --build --preset windows-x86 --target velmora
	cmake --preset windows-x64
	cmake --build --preset windows-x64
	for arch in x86 x64; do \
	    rm -rf build/zip-$$arch velmora-1.00-windows-$$arch.zip && mkdir -p build/zip-$$arch && \
	    cp build/windows-$$arch/ui/win32/Velmora.exe build/zip-$$arch/ && \
	    sed 's/$$/\r/' LICENSE > build/zip-$$arch/LICENSE.txt && \
	    sed 's/$$/\r/' packaging/windows/LEGGIMI.txt > build/zip-$$arch/LEGGIMI.txt && \
	    touch -d @0 build/zip-$$arch/* && \
	    (cd build/zip-$$arch && zip -q -X ../../velmora-1.00-windows-$$arch.zip Velmora.exe LEGGIMI.txt LICENSE.txt) && \
	    bash tools/build-msi.sh $$arch 1.00 || exit 1; \
	done

# The game for the browser: build/web/site, the folder a web server serves, and the same
# packed for players as velmora-1.00-web.zip; and the simulator for node,
# build/web/velmora-sim.js. The archive is the same from build to build: fixed dates,
# modes and order.
web: deps-web
	cmake --preset web
	cmake --build --preset web
	rm -rf build/zip-web velmora-1.00-web.zip
	cp -r build/web/site build/zip-web
	chmod -R u=rwX,go=rX build/zip-web
	find build/zip-web -exec touch -d @0 {} +
	cd build/zip-web && find . -type f | LC_ALL=C sort | \
	    TZ=UTC zip -q -X -@ ../../velmora-1.00-web.zip

# Serves the game on this computer alone, for a browser here.
PORT = 8000
serve-web: web
	@echo "Velmora: open http://127.0.0.1:$(PORT)/ in a browser (Ctrl+C stops the server)"
	python3 -m http.server --bind 127.0.0.1 --directory build/web/site $(PORT)

# make run and make test on a fresh Debian 13, in a chroot under build/ (about ten minutes).
test-debian13:
	bash tests/debian_chroot.sh trixie

# The 32-bit Velmora.exe's tests (rules, session, traces, the program played) under Debian 13's
# 32-bit Wine, in a chroot under build/wine32, natively or through qemu-i386 (as root; the
# first run sets up the chroot, about two minutes).
test-windows-x86:
	bash tests/windows_x86.sh

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

# Measures Velmora.exe under Wine against a bare Win32 window that moves a disc 64 times a
# second: the CPU of each while things move, and the tick rate.
measure-windows: windows
	bash bench/measure_windows.sh

# Measures the game in headless chromium against bare pages: the code a player downloads,
# start-up, CPU and the tick rate. With BEFORE=another build's site (build/web/site of
# main's checkout, say), it then compares the two, side by side, with the page's CPU
# throttled, as the machine is and with both cores busy elsewhere.
measure-web: web
	/usr/bin/python3 bench/measure_web.py
	$(if $(BEFORE),/usr/bin/python3 bench/measure_web.py --before $(BEFORE))

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

SOURCES = $(wildcard game/*.h game/*.cpp ui/*/*.h ui/*/*.cpp ui/*/*/*.h ui/*/*/*.cpp tools/*.cpp tests/*.h tests/*.cpp \
           tests/fuzz/*.cpp bench/*.cpp)

format:
	clang-format -i $(SOURCES)

format-check: deps-test
	clang-format --dry-run --Werror $(SOURCES)

clean:
	rm -rf build velmora_*.deb velmora-*-windows-*.zip velmora-*-windows-*.msi velmora-*-web.zip
