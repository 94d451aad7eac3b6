# The front door: `make run` and `make test` install whatever is missing on a
# Debian or Ubuntu machine, then build with CMake and test with CTest.

BUILD_DIR := build
SANITIZE_BUILD_DIR := build-sanitize
VIEWER := $(BUILD_DIR)/src/viewer/curve-viewer
JOBS := $(shell nproc 2>/dev/null || echo 2)

BUILD_PACKAGES := g++ make cmake 'libglut-dev|freeglut3-dev' libglu1-mesa-dev
TEST_PACKAGES := libgtest-dev xvfb libx11-dev libxtst-dev libpng-dev valgrind clang-tidy cppcheck

CONFIGURE_WITH_TESTS := cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DCURVE_VIEWER_BUILD_TESTS=ON

.PHONY: run test bench screenshots

# Builds the viewer and opens its window on the current X display.
run:
	@tools/install-packages $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DCURVE_VIEWER_BUILD_TESTS=OFF
	cmake --build $(BUILD_DIR) --target curve-viewer --parallel $(JOBS)
	@if [ -z "$$DISPLAY" ]; then \
	    echo "No X display (DISPLAY is not set): run make run on a desktop, or headless as: xvfb-run $(VIEWER)"; \
	    exit 1; \
	fi
	$(VIEWER)

# Runs the whole suite headless, each window on a private Xvfb: on the Release
# build (with memcheck and the static analysers), then on a build with
# AddressSanitizer and UndefinedBehaviorSanitizer.
test:
	@tools/install-packages $(BUILD_PACKAGES) $(TEST_PACKAGES)
	$(CONFIGURE_WITH_TESTS)
	cmake --build $(BUILD_DIR) --parallel $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure --parallel $(JOBS)
	cmake -S . -B $(SANITIZE_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCURVE_VIEWER_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD_DIR) --parallel $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD_DIR) --output-on-failure --parallel $(JOBS)

# Measures curve-viewer against a bare GLUT window on a private Xvfb.
bench:
	@tools/install-packages $(BUILD_PACKAGES) $(TEST_PACKAGES)
	$(CONFIGURE_WITH_TESTS)
	cmake --build $(BUILD_DIR) --target run_benchmark --parallel $(JOBS)
	$(BUILD_DIR)/bench/run_benchmark $(VIEWER) $(BUILD_DIR)/bench/bare_window $(BUILD_DIR)/bench/libswap_probe.so

# Saves the six pictures of the real program as docs/images/curve-0.png to curve-5.png.
screenshots:
	@tools/install-packages $(BUILD_PACKAGES) $(TEST_PACKAGES)
	$(CONFIGURE_WITH_TESTS)
	cmake --build $(BUILD_DIR) --target capture_gallery --parallel $(JOBS)
	mkdir -p docs/images
	$(BUILD_DIR)/tests/capture_gallery docs/images
