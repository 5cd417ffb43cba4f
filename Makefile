# The two commands of the README, and a few more for developers.
.PHONY: run test deps build bench measure screenshot sim-demo format clean

deps:
	@bash tools/install-deps.sh

build: deps
	cmake --preset release
	cmake --build --preset release

# Starts the game.
run: build
	./build/release/ui/velmora

# Builds everything and runs every test, then the rules' tests again under the sanitizers.
test: build
	ctest --preset release
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

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

format:
	clang-format -i game/*.h game/*.cpp ui/*.h ui/*.cpp tools/*.cpp tests/*.h tests/*.cpp bench/*.cpp

clean:
	rm -rf build
