# Entry points for people and CI. Both main targets start by installing the
# system packages, so they work on a fresh Debian machine.

JOBS        ?= $(shell nproc)
BUILD_DIR   ?= build
RELEASE_DIR := $(BUILD_DIR)/release
TEST_DIR    := $(BUILD_DIR)/test
ASAN_DIR    := $(BUILD_DIR)/asan
CMAKE_GEN   := -G Ninja

.PHONY: run test deps release build-test build-asan test-asan clean format bench fuzz \
        examples example-images guide-images package coverage package-check build-asan-gui test-asan-gui

deps:
	scripts/install-deps

release: deps
	cmake -S . -B $(RELEASE_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQUORL_BUILD_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

# Starts the modeller. Without a display it runs the command-line demo instead.
run: release
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
		$(RELEASE_DIR)/src/app/quorl; \
	else \
		echo "No display found: running the command-line demo instead (quorl-cli demo demo-output)."; \
		$(RELEASE_DIR)/src/cli/quorl-cli demo demo-output; \
	fi

build-test: deps
	cmake -S . -B $(TEST_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(TEST_DIR) -j $(JOBS)

# The core tests once more with AddressSanitizer and UndefinedBehaviorSanitizer.
build-asan: deps
	cmake -S . -B $(ASAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUORL_SANITIZE=ON -DQUORL_BUILD_GUI=OFF
	cmake --build $(ASAN_DIR) -j $(JOBS)

# The application and its tests with AddressSanitizer and UndefinedBehaviorSanitizer (not
# part of make test: the build takes longer than the whole CI run should). Leaks are not
# reported: Qt, fontconfig and Mesa keep caches until the process ends.
ASAN_GUI_DIR := $(BUILD_DIR)/asan-gui
build-asan-gui: deps
	cmake -S . -B $(ASAN_GUI_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUORL_SANITIZE=ON -DQUORL_BUILD_BENCH=OFF
	cmake --build $(ASAN_GUI_DIR) -j $(JOBS)

test-asan-gui: build-asan-gui
	cd $(ASAN_GUI_DIR) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS) -R 'gui\.'

test: build-test build-asan
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

# Line coverage of the core and of the application by the whole test suite (gcov, gcovr):
# a summary per part here, and an HTML report in build/coverage/report/index.html.
COVERAGE_DIR := $(BUILD_DIR)/coverage
coverage: deps
	cmake -S . -B $(COVERAGE_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUORL_COVERAGE=ON -DQUORL_BUILD_BENCH=OFF
	cmake --build $(COVERAGE_DIR) -j $(JOBS)
	find $(COVERAGE_DIR) -name '*.gcda' -delete
	cd $(COVERAGE_DIR) && ctest -j $(JOBS) --output-on-failure
	scripts/coverage-report $(COVERAGE_DIR)

# Benchmarks (Google Benchmark), built in Release.
BENCH_DIR := $(BUILD_DIR)/bench
bench: deps
	cmake -S . -B $(BENCH_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQUORL_BUILD_TESTS=OFF -DQUORL_BUILD_GUI=OFF
	cmake --build $(BENCH_DIR) -j $(JOBS) --target quorl_bench quorl_bench_scene quorl-cli
	$(BENCH_DIR)/bench/quorl_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	bench/compare-assimp $(BENCH_DIR)

# libFuzzer targets with clang; FUZZ_SECONDS per target (default 60).
FUZZ_DIR := $(BUILD_DIR)/fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORL_FUZZ=ON -DQUORL_BUILD_GUI=OFF -DQUORL_BUILD_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target quorl_fuzzers
	scripts/run-fuzzers $(FUZZ_DIR)/fuzz $(FUZZ_SECONDS)

# The example documents in examples/, rebuilt by our own generator from the core.
examples: release
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target quorl_make_examples
	$(RELEASE_DIR)/examples/tools/quorl_make_examples examples

# The examples rendered with POV-Ray from quorl-cli's export, for the documentation.
example-images: release
	scripts/render-examples $(RELEASE_DIR)/src/cli/quorl-cli docs/images

# The user guide's screenshots, taken by the application itself on a virtual X server.
guide-images: release
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target quorl_guide_shots
	scripts/guide-screenshots $(RELEASE_DIR)/docs/tools/quorl_guide_shots docs/images

# The Debian package (quorl_<version>_<arch>.deb in the release build folder).
package: release
	cd $(RELEASE_DIR) && cpack -G DEB

# The package installed for real with apt, run, validated and purged (as root or with sudo).
package-check: build-test
	scripts/package-check $(TEST_DIR)

clean:
	rm -rf $(BUILD_DIR)

format:
	find src tests bench fuzz docs/tools examples/tools -name '*.h' -o -name '*.cpp' | xargs clang-format -i
