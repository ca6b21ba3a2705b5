# Set-up, build, test and run in one step each; see README.md.
BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
SAN_BUILD  ?= build-sanitize
ARGS       ?= --simulate "PX-5100"
MINUTES    ?= 60

.PHONY: all deps configure build test run sanitize bench soak format clean screenshots package

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
package: build
	@cd $(BUILD) && cpack -G DEB

screenshots: build
	@bash tools/make-screenshots.sh $(BUILD) docs

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
