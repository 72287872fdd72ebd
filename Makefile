# Thin driver over CMake. BUILD names the build folder (default: build).
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure check bench style clean demo install package cross

# The library folder holds the externals of this machine and, where Debian's
# cross compilers are installed, of the other machines of machines.txt
# (tools/cross): arm64, armhf, 64-bit Windows.
all: configure
	cmake --build $(BUILD) -j $(JOBS)
	@tools/cross build $(BUILD) $(JOBS)

cross: configure
	@tools/cross build $(BUILD) $(JOBS)

deps:
	@tools/install-deps

# make builds the library with a compiler, CMake and Pd's header alone; the
# targets that test, measure or render install what they need first.
configure:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release | grep 'ringcube:' || true

# The other machines' Pds come after a first configuring, which names this
# machine, and before the second, which registers their tests; their plain
# tests run under qemu-user or wine in the same ctest. A Pd that cannot be
# had is said in one line and left out.
check: deps
	@$(MAKE) --no-print-directory configure
	@tools/cross sysroots $(BUILD)
	@$(MAKE) --no-print-directory all
	@tools/cross tests $(BUILD) $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -E '^fuzz[.]'

# The peers a Pd user would patch instead, measured side by side; only the
# benchmark uses them, so a failed install leaves their rows out, and a
# missing Pd 0.55 the multichannel rows. Then the perform routines of each
# machine this processor runs (Windows under wine) beside this machine's.
bench: deps all
	@[ "$$(id -u)" -ne 0 ] || DEBIAN_FRONTEND=noninteractive apt-get install -y \
	  --no-install-recommends pd-iemmatrix pd-zexy >/dev/null 2>&1 || true
	@[ -x $(BUILD)/sysroot/amd64-pd055/pd ] || tools/fetch-pd055 $(BUILD)/sysroot/amd64-pd055 || true
	cmake --build $(BUILD) --target bench_ringcube -j $(JOBS)
	$(BUILD)/tests/bench_ringcube --benchmark_min_time=0.2
	@tools/bench-machines $(BUILD) $(JOBS)

style:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf $(BUILD)

# The library in use: renders, pictures, installation and the deken archive.
PDLIBDIR ?= /usr/local/lib/pd-externals

demo: deps configure
	cmake --build $(BUILD) --target demo -j $(JOBS)

install: configure
	cmake --build $(BUILD) --target ringcube_library -j $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PDLIBDIR)"

package: all
	cmake --build $(BUILD) --target ringcube_package -j $(JOBS)

# Reliability. make check also runs the plain tests and, once, the fuzz
# corpus and the harness's self-test, under AddressSanitizer and
# UndefinedBehaviorSanitizer, on the baseline code path (no AVX2 variants),
# in a build folder of its own.
SAN_BUILD ?= $(BUILD)-san
SAN_FLAGS = -g -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all \
            -fno-omit-frame-pointer -DRINGCUBE_SANS_CLONES
SAN_LINK = -fsanitize=address,undefined,float-cast-overflow

.PHONY: sanitize fuzz stress
check: sanitize

sanitize: deps
	@cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Release "-DCMAKE_C_FLAGS=$(SAN_FLAGS)" \
	  "-DCMAKE_CXX_FLAGS=$(SAN_FLAGS)" "-DCMAKE_EXE_LINKER_FLAGS=$(SAN_LINK)" \
	  "-DCMAKE_MODULE_LINKER_FLAGS=$(SAN_LINK)" >/dev/null
	cmake --build $(SAN_BUILD) --target ringcube_plain_tests -j $(JOBS)
	cd $(SAN_BUILD) && UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) -E '^(host|stress|build)[._]'

# make fuzz: each object's libFuzzer target (clang, with sanitizers) for
# FUZZ_SECONDS, growing the corpus in tests/fuzz/corpus.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_OBJECTS ?= sorvel kelmor trazin
FUZZ_FLAGS = -g -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize=function \
             -fno-sanitize-recover=all -fno-omit-frame-pointer

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Release -DRINGCUBE_FUZZ=ON \
	  "-DCMAKE_C_FLAGS=$(FUZZ_FLAGS)" "-DCMAKE_CXX_FLAGS=$(FUZZ_FLAGS)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null
	cmake --build $(FUZZ_BUILD) --target ringcube_fuzzers -j $(JOBS)
	tools/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_OBJECTS)

# make stress: the churn under valgrind alone and longer, STRESS_ROUNDS rounds
# of 20 instances (make check runs it with 24).
STRESS_ROUNDS ?= 96

stress: deps all
	cd $(BUILD) && CHURN_ROUNDS=$(STRESS_ROUNDS) ctest --output-on-failure -V -L stress
