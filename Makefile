# Thin driver over CMake. BUILD names the build folder (default: build).
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure check bench style clean demo install package

all: configure
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@tools/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

check: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: all
	cmake --build $(BUILD) --target bench_ringcube -j $(JOBS)
	$(BUILD)/tests/bench_ringcube --benchmark_min_time=0.2

style:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf $(BUILD)

# The library in use: renders, pictures, installation and the deken archive.
PDLIBDIR ?= /usr/local/lib/pd-externals

demo: configure
	cmake --build $(BUILD) --target demo -j $(JOBS)

install: configure
	cmake --build $(BUILD) --target ringcube_library -j $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PDLIBDIR)"

package: configure
	cmake --build $(BUILD) --target ringcube_package -j $(JOBS)
