# The two commands of the README. Both work from a clean clone on a fresh Debian machine.

.PHONY: test fuzz run deps configure build bench package install uninstall clean

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

# The Debian packages in build/: relperm (the command line), relperm-suite (the windows),
# relperm-demo (the demo database) and, when the Python module is built, python3-relperm.
# build/ is compiled with Debian's hardening flags from then on; the programs are stripped.
package: deps
	@cmake --preset default -DRELPERM_HARDENING=ON >/dev/null
	@cmake --build --preset default
	@cd build && cpack -G DEB
	@ls build/*.deb

# Installs into PREFIX (default ~/.local; PREFIX=/usr/local as root or with sudo), stripped.
# What was installed is listed in build/install_manifest.txt, which uninstall reads.
PREFIX ?= $(HOME)/.local
BUILD ?= build
install: build
	@cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

# Removes every file the last install wrote, then the suite's own folders it leaves empty
# (share/relperm/..., share/doc/relperm...); folders others share are left as they are.
uninstall:
	@test -f $(BUILD)/install_manifest.txt || \
		{ echo "$(BUILD)/install_manifest.txt is missing: nothing was installed from $(BUILD)/"; exit 1; }
	@xargs -d '\n' rm -f -- < $(BUILD)/install_manifest.txt
	@awk '{ sub("/[^/]*$$", ""); while ($$0 ~ "/(relperm|relperm-[a-z]+|python3-relperm)(/|$$)") \
		{ print; sub("/[^/]*$$", "") } }' $(BUILD)/install_manifest.txt | sort -ru | \
		xargs -r -d '\n' rmdir --ignore-fail-on-non-empty --
	@echo "removed the $$(wc -l < $(BUILD)/install_manifest.txt) files of $(BUILD)/install_manifest.txt"

bench: build
	@build/bin/generate_bench
	@build/bin/database_bench
	@build/bin/import_bench

clean:
	@rm -rf build build-asan build-fuzz
