# The two commands a newcomer needs: `make run` and `make test`.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: run test build docs package configure deps clean

run: build
	@if [ -x $(BUILD_DIR)/bin/Gearsheet ]; then \
		exec $(BUILD_DIR)/bin/Gearsheet; \
	else \
		echo "No $(BUILD_DIR)/bin/Gearsheet: Qt 6 Widgets was not found when configuring."; \
		exit 1; \
	fi

test: build
	ctest --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

# The library's API reference, $(BUILD_DIR)/storage/docs/html/index.html; any Doxygen warning
# (an undocumented public name among them) fails it. `make build` makes it too.
docs: configure
	cmake --build --preset $(PRESET) --target docs

# The Debian packages libqfstore1, gearsheet and libqfstore-dev, in $(BUILD_DIR).
package: build
	cd $(BUILD_DIR) && cpack -G DEB

configure: deps
	@[ -f $(BUILD_DIR)/build.ninja ] || cmake --preset $(PRESET)

deps:
	@./tools/install-deps.sh

clean:
	rm -rf build
