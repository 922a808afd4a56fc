# Set-up, build, run and test on Debian 12. Every target installs what is missing first.
SHELL := /bin/bash

PACKAGES := build-essential cmake ninja-build pkg-config \
            qt6-base-dev qt6-base-dev-tools qt6-serialbus-dev qt6-serialport-dev libqt6serialbus6-bin \
            libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth clang

.PHONY: all deps build run test test-sanitize test-tsan clean

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
	cmake --preset default
	cmake --build --preset default

run: build
	@./tools/run-tool.sh build

test: build
	ctest --preset default

test-sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

# The worker-thread tests under ThreadSanitizer.
test-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan -L threads

clean:
	rm -rf build build-sanitize build-tsan
