# The two commands of the README. Both work from a clean clone on a fresh Debian machine.

.PHONY: test run deps configure build bench clean

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default

# Builds everything and runs every test (windows under the offscreen Qt platform).
test: build
	@QT_QPA_PLATFORM=offscreen ctest --preset default

# Starts the calculator. Without a display, prints its worked-example tables instead.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		build/bin/vomar; \
	else \
		echo "No display: the calculator's worked example (Corey; Swc 20%, Sorw 25%, Sorg 10%, Sgc 5%):"; \
		build/bin/relperm generate --fluids Water-Oil-Gas --correlation Corey \
			--swc 20 --sorw 25 --sorg 10 --sgc 5 --spacing 5 --format grid; \
	fi

bench: build
	@build/bin/generate_bench

clean:
	@rm -rf build build-asan
