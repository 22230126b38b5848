# Quorvane: the two everyday commands.
#   make run   builds the program and shows it the bundled sample disks
#   make test  installs what the build needs, builds and runs every test

BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# Debian packages the build and the tests need.
PACKAGES = cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev cc1541 clang-format \
           qt6-base-dev xvfb xauth imagemagick fonts-dejavu-core zlib1g-dev libsqlite3-dev libxxhash-dev
# What the fuzz build needs: Debian's clang with its sanitizer and libFuzzer runtimes.
FUZZ_PACKAGES = cmake ninja-build clang libclang-rt-14-dev libfuzzer-14-dev zlib1g-dev

.PHONY: all deps configure build test test-asan fuzz run bench screenshot format clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    SUDO=""; [ "$$(id -u)" -ne 0 ] && SUDO=sudo; \
	    $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_WERROR=ON

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Every test once more (the engine's and, with Qt, the windows'), built with
# AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON -DQV_BUILD_BENCH=OFF \
	      -DQV_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Every fuzz target for FUZZ_SECONDS each (clang, libFuzzer, ASan and UBSan), with
# executions per second, coverage and findings per target.
fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(FUZZ_PACKAGES)"
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BUILD_FUZZ=ON \
	    -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=OFF -DQV_WERROR=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	tools/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# With a display the application opens with the sample disks listed; without one the
# command-line program prints their listing.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD)/src/app/quorvane ]; then \
	    $(BUILD)/src/app/quorvane $(BUILD)/samples/*.d64; \
	else \
	    $(BUILD)/src/cli/quorvane-cli list --batch $(BUILD)/samples; \
	fi

# A screenshot of the application listing the sample disks, under Xvfb.
screenshot: build
	tools/screenshot.sh $(BUILD) docs/screenshot.png $(BUILD)/samples/*.d64

# The benchmarks: each prints its figures next to a baseline measured in the same run.
bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
