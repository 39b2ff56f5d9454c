# The two commands of the README. Both work from a clean clone on a fresh Debian machine.

.PHONY: test fuzz run deps configure build bench package clean

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default

# Builds everything and runs every test twice (windows under the offscreen Qt platform):
# the optimised build, then the build with the address and undefined-behaviour
# sanitizers (build-asan/), which stops at the first report.
test: build
	@QT_QPA_PLATFORM=offscreen ctest --preset default
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

# The libFuzzer targets of the readers (clang, build-fuzz/), each run for FUZZ_SECONDS
# seconds from its seeds in tests/fuzz/corpus/. Not part of `make test`.
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@tests/fuzz/run-fuzzers build-fuzz $(FUZZ_SECONDS)

# Starts the suite (the launcher) in build/run/, a working folder holding a copy of the
# demo database, so the browser started from the launcher has data to show.
run: build
	@mkdir -p build/run && cp build/demo/OWBIN build/demo/OGBIN build/demo/GWBIN build/demo/CGBIN build/run/
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		cd build/run && ../bin/ostilo; \
	else \
		echo "No display to open the suite's windows on. With one, 'make run' starts the launcher"; \
		echo "in build/run/. Meanwhile, the command line on the same data:"; \
		echo; \
		echo "$$ relperm db count --dir build/run --system \"Water-Oil Data\""; \
		build/bin/relperm db count --dir build/run --system "Water-Oil Data"; \
		echo "$$ relperm generate --fluids Water-Oil-Gas --correlation Corey --swc 20 --sorw 25 --sorg 10 --sgc 5 --format grid"; \
		build/bin/relperm generate --fluids Water-Oil-Gas --correlation Corey \
			--swc 20 --sorw 25 --sorg 10 --sgc 5 --format grid; \
	fi

# The Debian package, build/relperm-suite_VERSION_ARCH.deb, with the programs stripped.
package: build
	@cd build && cpack -G DEB
	@ls build/*.deb

bench: build
	@build/bin/generate_bench
	@build/bin/database_bench
	@build/bin/import_bench

clean:
	@rm -rf build build-asan build-fuzz
