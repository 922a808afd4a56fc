# Set-up, build, run and test on Debian 12. Every target installs what is missing first.
SHELL := /bin/bash

PACKAGES := build-essential cmake ninja-build pkg-config \
            qt6-base-dev qt6-base-dev-tools qt6-serialbus-dev qt6-serialport-dev libqt6serialbus6-bin \
            libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth clang \
            qt6-tools-dev qt6-l10n-tools qt6-translations-l10n fonts-dejavu-core fonts-liberation2 \
            dpkg-dev debhelper devscripts file desktop-file-utils appstream lintian man-db bash-completion \
            python3-pyatspi at-spi2-core dbus python3-can

# CI sets KORVANE_WERROR=ON: warnings are errors there.
KORVANE_WERROR ?= OFF
CONFIGURE_FLAGS := -DKORVANE_WERROR=$(KORVANE_WERROR)

.PHONY: all deps build product run test test-sanitize test-tsan package check-package clean bench fuzz soak

all: build

# Installs only the packages that are not there yet, so repeated runs cost nothing.
deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update -q && apt-get install -y -q --no-install-recommends $$missing; \
	fi

build: deps
	cmake --preset default $(CONFIGURE_FLAGS)
	cmake --build --preset default

# The product alone (the tool, the driver library, the module simulator), needing only Qt.
product: deps
	cmake --preset product $(CONFIGURE_FLAGS)
	cmake --build --preset product

run: build
	@./tools/run-tool.sh build

test: build
	ctest --preset default

test-sanitize: deps
	cmake --preset sanitize $(CONFIGURE_FLAGS)
	cmake --build --preset sanitize
	ctest --preset sanitize

# The worker-thread tests under ThreadSanitizer.
test-tsan: deps
	cmake --preset tsan $(CONFIGURE_FLAGS)
	cmake --build --preset tsan
	ctest --preset tsan -L threads

# The Debian package (debian/, dpkg-buildpackage): build/korvane_VERSION_ARCH.deb and its
# -dbgsym, and the checks CI runs on them (a second build for reproducibility among them).
package: deps
	./packaging/build-package.sh build

check-package: package
	./packaging/check-package.sh build

# Benchmarks: one table on the terminal, also written to BENCHMARKS.md. Takes a few minutes
# (the read-out of 1 MiB alone is paced to about 41 s).
bench: deps
	cmake --preset default
	cmake --build --preset default -j 2 --target korvane_bench
	./build/bin/korvane_bench --markdown BENCHMARKS.md

# libFuzzer targets in their own clang build; each runs FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DKORVANE_SANITIZE=address,undefined -DKORVANE_FUZZ=ON -DKORVANE_TESTS=OFF \
	  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
	cmake --build build-fuzz -j 2 --target fuzz_targets
	./bench/fuzz/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

# Hundreds of automatic runs with injected faults and killed uploads; a few minutes.
soak: deps
	cmake --preset default
	cmake --build --preset default -j 2 --target korvane_soak
	./build/bin/korvane_soak --tool build/bin/korvane

clean:
	rm -rf build build-sanitize build-tsan build-fuzz build-product
