# Set-up, build, test and run in one step each; see README.md.
BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
ARGS       ?= --simulate "PX-5100"
MINUTES    ?= 60
WIN_BUILD  ?= build-windows

.PHONY: all deps configure build test run sanitize bench soak fuzz format clean screenshots package package-check \
	windows windows-package windows-test

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

run: build
	$(BUILD)/varnex $(ARGS)

# The test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEX_SANITIZE=ON >/dev/null
	@cmake --build $(SAN_BUILD)
	@cd $(SAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

bench: build
	@for b in $(BUILD)/bench_*; do [ "$${b##*/}" = bench_soak ] && continue; echo "== $$b"; $$b; done

# The window and the logger for an hour each, side by side, on virtual probes with faults.
soak: build
	@QT_QPA_PLATFORM=offscreen $(BUILD)/bench_soak $(MINUTES)

# A Debian package of the programs (build/varnex_VERSION_ARCH.deb).
# Each parser fuzzed for FUZZ_SECONDS (clang's libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer); fails on any finding, which is left in build-fuzz/findings/.
fuzz:
	@bash tools/install-deps.sh fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DVARNEX_FUZZ=ON -DVARNEX_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzz_targets
	@bash tools/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

package: build
	@cd $(BUILD) && cpack -G DEB

# The package installed with apt into a fresh Debian 12 root (debootstrap; needs root), and the
# programs started there.
package-check: package
	@bash tools/check-package.sh $(BUILD)/varnex_*.deb

screenshots: build
	@bash tools/make-screenshots.sh $(BUILD) docs

# Varnex for 64-bit Windows, cross-built here with MinGW-w64 against a Qt built once from
# Debian's sources into ~/.cache/varnex-windows (VARNEX_WINDOWS_CACHE); see README.md, "Windows".
windows:
	@bash tools/windows/build.sh $(WIN_BUILD)

# The installer (NSIS) and a zip of the same files, in build-windows/.
windows-package: windows
	@cd $(WIN_BUILD) && cpack -G "NSIS;ZIP"

# The suites under Wine, then the installer and the installed programs under Wine.
windows-test: windows-package
	@bash tools/windows/test.sh $(WIN_BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(WIN_BUILD)
