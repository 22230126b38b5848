# Quorvane: the two everyday commands.
#   make run   installs what running needs, builds the two programs and the sample disks
#              (nothing else) and shows the samples
#   make test  installs what the tests need, builds everything and runs every test

BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# Debian packages: what building and running the programs needs, and what the tests add
# (GoogleTest, cc1541 for the cross-check of images, clang-format for `make format`,
# a virtual X server and ImageMagick for `make screenshot`).
RUN_PACKAGES = cmake ninja-build g++ zlib1g-dev libsqlite3-dev libxxhash-dev qt6-base-dev \
               fonts-dejavu-core
TEST_PACKAGES = $(RUN_PACKAGES) libgtest-dev libgmock-dev cc1541 clang-format \
                xvfb xauth imagemagick
# `make deps` installs these; `make deps PACKAGES="..."` others.
PACKAGES = $(TEST_PACKAGES)
# What the fuzz build needs: Debian's clang with its sanitizer and libFuzzer runtimes.
FUZZ_PACKAGES = cmake ninja-build clang libclang-rt-14-dev libfuzzer-14-dev zlib1g-dev \
                libsqlite3-dev libxxhash-dev

# What `make run` builds besides the application: the command-line program and the
# sample disks, nothing else.
RUN_TARGETS = quorvane-cli samples

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_WERROR=ON

.PHONY: all deps deps-run configure configure-run build build-run test test-asan fuzz run \
        bench screenshot format clean
# Each recipe installs, configures and builds in that order; ninja builds in parallel.
.NOTPARALLEL:

all: build

# Installs whichever of the given packages are missing.
define install-missing
	@missing=""; for p in $(1); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    SUDO=""; [ "$$(id -u)" -ne 0 ] && SUDO=sudo; \
	    $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install-missing,$(PACKAGES))

deps-run:
	$(call install-missing,$(RUN_PACKAGES))

# One build folder serves both commands. `make run` configures it, when it is new, without
# the tests and the benchmarks (so GoogleTest is not needed); `make test` turns them on,
# once, and they stay on. Neither command reconfigures a folder the other has set up, and
# switching them on changes no compiler flag, so what is built stays built.
configure-run: deps-run
	@[ -f $(BUILD)/build.ninja ] || \
	    cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DQV_BUILD_TESTS:BOOL=OFF -DQV_BUILD_BENCH:BOOL=OFF

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ] || \
	    ! grep -qx 'QV_BUILD_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt || \
	    ! grep -qx 'QV_BUILD_BENCH:BOOL=ON' $(BUILD)/CMakeCache.txt; then \
	    echo "Configuring $(BUILD) with the tests and the benchmarks"; \
	    cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DQV_BUILD_TESTS:BOOL=ON -DQV_BUILD_BENCH:BOOL=ON; \
	fi

# The application is left out when Qt 6 was not found.
build-run: configure-run
	@app=quorvane; ninja -C $(BUILD) -t query quorvane >/dev/null 2>&1 || app=; \
	cmake --build $(BUILD) -j $(JOBS) --target $$app $(RUN_TARGETS)

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
run: build-run
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD)/src/app/quorvane ]; then \
	    $(BUILD)/src/app/quorvane $(BUILD)/samples/*.d64; \
	else \
	    $(BUILD)/src/cli/quorvane-cli list --batch $(BUILD)/samples; \
	fi

# A screenshot of the application listing the sample disks, under Xvfb (all but the
# crosslinked one, whose question would stand in front of the listing).
screenshot: build-run
	$(call install-missing,xvfb xauth imagemagick)
	tools/screenshot.sh $(BUILD) docs/screenshot.png $(filter-out %crosslinked.d64,$(wildcard $(BUILD)/samples/*.d64))

# The benchmarks: each prints its figures next to a baseline measured in the same run.
# Every one runs; those that missed a target are named at the end (and fail the target).
bench: build
	@missed=""; \
	for b in $(BUILD)/bench/bench_*; do \
	    echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || missed="$$missed $${b##*/}"; \
	done; \
	if [ -n "$$missed" ]; then echo "missed a target:$$missed"; exit 1; fi

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
