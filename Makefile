# The front door: `make run` and `make test` install whatever is missing on a
# Debian or Ubuntu machine, then build with CMake and test with CTest.
#
# build/ holds the program and the tests, built with g++; build-sanitize/ the
# same with clang++, AddressSanitizer and UndefinedBehaviorSanitizer;
# build-package/ the program alone, built as Debian builds its packages, and
# build-package-arm64/, build-package-armhf/ the same cross-built for ARM;
# build-windows/ the program cross-built for Windows, its installer and zip;
# build-web/ the program built as one web page, build-web/curve-viewer.html,
# and as a web app for any static web host, build-web/site/;
# build-release/ the release: the source tarball, the packages and SHA256SUMS.

BUILD_DIR := build
SANITIZE_BUILD_DIR := build-sanitize
# ARCH=arm64 or ARCH=armhf cross-builds the package for that Debian
# architecture, against a sysroot of its packages made in the build folder.
ARCH :=
CROSS_TRIPLET_arm64 := aarch64-linux-gnu
CROSS_TRIPLET_armhf := arm-linux-gnueabihf
CROSS_TRIPLET := $(CROSS_TRIPLET_$(ARCH))
ifneq ($(ARCH),)
ifeq ($(CROSS_TRIPLET),)
$(error ARCH=$(ARCH): make package cross-builds for arm64 and armhf)
endif
endif
PACKAGE_BUILD_DIR := build-package$(if $(ARCH),-$(ARCH))
SYSROOT := $(PACKAGE_BUILD_DIR)/sysroot
WINDOWS_BUILD_DIR := build-windows
WEB_BUILD_DIR := build-web
# The page the browser checks open, and the web app's page they serve over
# http: the ones make web builds, unless given; an empty WEB_SITE serves none.
WEB_PAGE := $(WEB_BUILD_DIR)/curve-viewer.html
WEB_SITE := $(WEB_BUILD_DIR)/site/index.html
RELEASE_DIR := build-release
VERSION := $(shell sed -n '1s/^[^(]*(\([^)]*\)).*/\1/p' data/changelog)
VIEWER := $(BUILD_DIR)/src/viewer/curve-viewer
JOBS := $(shell nproc 2>/dev/null || echo 2)

# gettext's msgfmt writes the translations into the menu entry, the AppStream file and the page.
BUILD_PACKAGES := g++ make cmake 'libglut-dev|freeglut3-dev' libglu1-mesa-dev gettext
# What `xvfb-run` needs to show the viewer on a virtual screen.
HEADLESS_PACKAGES := xvfb xauth
TEST_PACKAGES := clang 'libclang-rt-dev|libclang-common-14-dev' llvm libgtest-dev xvfb libx11-dev libxtst-dev libstb-dev \
	mesa-vulkan-drivers openbox weston xwayland valgrind clang-tidy cppcheck desktop-file-utils appstream mandoc
# dpkg-dev has the hardening flags and, with file, computes the package's dependencies.
PACKAGE_PACKAGES := dpkg-dev file
PACKAGE_CHECK_PACKAGES := lintian
# The cross compiler for ARCH, and what makes and runs its sysroot.
CROSS_PACKAGES := g++-$(CROSS_TRIPLET) mmdebstrap qemu-user-static
# The architectures of ARM boards, their cross compilers and what makes and
# checks their chroots; the release their packages are installed on there.
ARM_ARCHES := arm64 armhf
ARM_CHECK_PACKAGES := g++-aarch64-linux-gnu g++-arm-linux-gnueabihf mmdebstrap qemu-user-static arch-test lintian
ARM_CHROOT_RELEASE := trixie
# The Windows cross build; dpkg-dev unpacks freeglut's Debian source, icoutils makes the icon.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64 dpkg-dev icoutils
WINDOWS_PACKAGE_PACKAGES := nsis
# The page is built with emscripten, which Debian packs with its C library and
# runtime prebuilt; its recommends would upgrade Mesa and systemd.
WEB_PACKAGES := make cmake emscripten gettext
# The browsers the page is checked in: Chromium, Firefox and WebKit's
# MiniBrowser with its WebDriver, and the locale sources WebKit's languages
# are compiled from. npm installs what drives the first two.
WEB_CHECK_PACKAGES := chromium firefox-esr webkit2gtk-driver libwebkit2gtk-4.1-0 locales
# What makes every file of a release.
RELEASE_PACKAGES := $(BUILD_PACKAGES) $(PACKAGE_PACKAGES) g++-aarch64-linux-gnu g++-arm-linux-gnueabihf mmdebstrap \
	$(WINDOWS_PACKAGES) $(WINDOWS_PACKAGE_PACKAGES) emscripten zip
# ImageMagick compares the program's icon with the committed images.
WINDOWS_CHECK_PACKAGES := wine wine64 imagemagick

CONFIGURE := CXX=g++ cmake -S . -B $(BUILD_DIR)
CONFIGURE_PACKAGE := CXX=g++ cmake -S . -B $(PACKAGE_BUILD_DIR)
# The test builds treat every compiler warning as an error; in CI every
# finding of the static analysers fails too, whatever their release.
CONFIGURE_TESTS := -DBUILD_TESTING=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
	-DCURVE_VIEWER_ANALYSERS_GATE=$(if $(filter true,$(CI)),ON,OFF)
# The escape key ends the viewer with this status: its normal end.
VIEWER_QUIT_STATUS := 1

# Debian's hardening flags, for ARCH where it is given. The link flags reach
# CMake through LDFLAGS, which it adds to a cross toolchain's own, where a
# cache setting would replace them.
HARDENING := $(if $(ARCH),DEB_HOST_ARCH=$(ARCH) CC=$(CROSS_TRIPLET)-gcc) \
	DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
CROSS_BUILD := -DCMAKE_TOOLCHAIN_FILE=cmake/debian-cross.cmake -DCROSS_DEBIAN_ARCH=$(ARCH) \
	-DCROSS_TRIPLET=$(CROSS_TRIPLET) -DCROSS_SYSROOT=$(abspath $(SYSROOT))

# What tools/install-packages ends with when the archive lacks a package.
NOT_OFFERED_STATUS := 3

# Whatever is packaged carries the release's date from the changelog rather
# than the time of the build, so that two builds of one commit are identical;
# in UTC, as a zip keeps local times. cpack runs with umask 0022: it gives the
# package's folders, and the members of a .deb, the modes the umask leaves.
RELEASE_EPOCH := $(shell tools/release-epoch)
package windows windows-package: export SOURCE_DATE_EPOCH := $(RELEASE_EPOCH)
package windows windows-package: export TZ := UTC
# Debian 12's emscripten runs its optimiser on node and finds Debian's acorn
# here only, where node from elsewhere (NodeSource's, say) does not look.
web: export NODE_PATH := /usr/share/nodejs

.PHONY: run test package test-package test-arm windows windows-package test-windows check-windows \
	web test-web check-web browser-drivers tarball release distcheck test-reproducible \
	test-release bench screenshots update-po configure-tests

# Builds the viewer and opens its window on the current X display.
run:
	@tools/install-packages $(BUILD_PACKAGES) $(if $(DISPLAY),,$(HEADLESS_PACKAGES))
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) --target curve-viewer --parallel $(JOBS)
	@if [ -z "$$DISPLAY" ]; then \
	    echo "No X display (DISPLAY is not set): run make run on a desktop, or headless as: xvfb-run -a $(VIEWER)"; \
	    exit 1; \
	fi
	@$(VIEWER); status=$$?; [ $$status -eq $(VIEWER_QUIT_STATUS) ] || exit $$status

# Runs the whole suite headless, each window on a private Xvfb: on the g++
# build (with memcheck and the static analysers), then on the clang++ build
# with the sanitizers.
test: configure-tests
	cmake --build $(BUILD_DIR) --parallel $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure --parallel $(JOBS)
	CXX=clang++ cmake -S . -B $(SANITIZE_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCURVE_VIEWER_SANITIZE=ON \
	    $(CONFIGURE_TESTS)
	cmake --build $(SANITIZE_BUILD_DIR) --parallel $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD_DIR) --output-on-failure --parallel $(JOBS)

# Builds build-package/curve-viewer_<version>_<arch>.deb, or with ARCH the
# same in build-package-ARCH/, where the plain program is src/viewer/curve-viewer.
package:
	@tools/install-packages $(BUILD_PACKAGES) $(PACKAGE_PACKAGES) $(if $(ARCH),$(CROSS_PACKAGES))
	$(if $(ARCH),tools/make-sysroot $(ARCH) $(SYSROOT))
	LDFLAGS="$$($(HARDENING) LDFLAGS)" $(CONFIGURE_PACKAGE) $(if $(ARCH),$(CROSS_BUILD)) \
	    -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
	    -DCMAKE_CXX_FLAGS="$$($(HARDENING) CPPFLAGS) $$($(HARDENING) CXXFLAGS)"
	cmake --build $(PACKAGE_BUILD_DIR) --parallel $(JOBS)
	cd $(PACKAGE_BUILD_DIR) && umask 0022 && cpack

# Checks the package with lintian, installs it into this system, runs it and removes it again.
test-package: package configure-tests
	@tools/install-packages $(PACKAGE_CHECK_PACKAGES)
	cmake --build $(BUILD_DIR) --target viewer_e2e_test --parallel $(JOBS)
	tests/package/check-deb $(PACKAGE_BUILD_DIR)/curve-viewer_*.deb $(BUILD_DIR)/tests/viewer_e2e_test

# For each ARM architecture: builds its package, checks its program under
# qemu-user, and installs, runs and removes the package in a fresh chroot.
test-arm: configure-tests
	@tools/install-packages $(BUILD_PACKAGES) $(PACKAGE_PACKAGES) $(ARM_CHECK_PACKAGES)
	cmake --build $(BUILD_DIR) --target viewer_e2e_test --parallel $(JOBS)
	for arch in $(ARM_ARCHES); do \
	    tests/arm/check-arm $$arch $(ARM_CHROOT_RELEASE) $(BUILD_DIR)/tests/viewer_e2e_test || exit; \
	done

# Cross-builds curve-viewer.exe for 64-bit Windows, against a static freeglut
# built from Debian's freeglut source.
windows:
	@tools/install-packages $(BUILD_PACKAGES) $(WINDOWS_PACKAGES)
	tools/build-windows-freeglut $(WINDOWS_BUILD_DIR)/freeglut
	cmake -S . -B $(WINDOWS_BUILD_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	    -DCMAKE_FIND_ROOT_PATH=$(abspath $(WINDOWS_BUILD_DIR))/freeglut/prefix -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
	cmake --build $(WINDOWS_BUILD_DIR) --parallel $(JOBS)

# Builds the Windows installer and a portable zip of the same folder:
# build-windows/curve-viewer-<version>-win64.exe and .zip.
windows-package: windows
	@tools/install-packages $(WINDOWS_PACKAGE_PACKAGES)
	cd $(WINDOWS_BUILD_DIR) && umask 0022 && cpack

# Checks the Windows build and runs the end-to-end checks on it under Wine;
# where the system's archive has no Wine (Debian testing, at times), says so
# and checks nothing.
test-windows:
	@status=0; tools/install-packages $(WINDOWS_CHECK_PACKAGES) || status=$$?; \
	if [ $$status -eq $(NOT_OFFERED_STATUS) ]; then \
	    echo "make test-windows: without Wine the Windows build is not checked on this system"; \
	    exit 0; \
	fi; \
	[ $$status -eq 0 ] && $(MAKE) --no-print-directory check-windows

check-windows: windows-package configure-tests
	cmake --build $(BUILD_DIR) --target viewer_e2e_test --parallel $(JOBS)
	tests/windows/check-under-wine $(WINDOWS_BUILD_DIR) $(BUILD_DIR)/tests/viewer_e2e_test

# Builds the program as one web page that needs no server,
# build-web/curve-viewer.html, and as a web app's site, build-web/site/.
web:
	@tools/install-packages $(WEB_PACKAGES)
	emcmake cmake -S . -B $(WEB_BUILD_DIR) -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
	cmake --build $(WEB_BUILD_DIR) --parallel $(JOBS)

# Builds the page and runs the end-to-end checks on it in each browser.
test-web: web
	@$(MAKE) --no-print-directory check-web

# Runs the end-to-end checks on WEB_PAGE in Chromium, Firefox and WebKit;
# WEB_CHECKS=--page-only keeps to the pictures, the keys and the page's own.
# Then the same checks and the app's own on WEB_SITE, served over http.
WEB_CHECKS :=
check-web: configure-tests browser-drivers
	@tools/install-packages $(WEB_CHECK_PACKAGES)
	cmake --build $(BUILD_DIR) --target viewer_e2e_test --parallel $(JOBS)
	tests/web/check-in-browsers $(WEB_CHECKS) $(WEB_PAGE) $(BUILD_DIR)/tests/viewer_e2e_test
	$(if $(WEB_SITE),tests/web/check-in-browsers --over-http $(WEB_SITE) $(BUILD_DIR)/tests/viewer_e2e_test)

# Installs puppeteer-core, at the version package-lock.json names, into tools/web.
browser-drivers:
	@command -v npm >/dev/null || tools/install-packages npm
	npm ci --prefix tools/web --no-audit --no-fund --loglevel=error

# Writes build-release/curve-viewer-<version>.tar.gz, the committed HEAD's source.
tarball:
	tools/make-tarball $(RELEASE_DIR)

# Makes the release of the committed HEAD in build-release/: the source
# tarball, the .deb for amd64, arm64 and armhf, the Windows installer and
# zip, the web page, the web app's site as a zip, and their SHA256SUMS.
release:
	@tools/install-packages $(RELEASE_PACKAGES)
	tools/make-release $(RELEASE_DIR)

# Unpacks the source tarball in a fresh folder, runs make test and make
# package there, and compares that package with this checkout's.
distcheck: tarball package
	tests/package/distcheck $(RELEASE_DIR)/curve-viewer-$(VERSION).tar.gz \
	    $(PACKAGE_BUILD_DIR)/curve-viewer_$(VERSION)_$$(dpkg --print-architecture).deb

# Makes the release twice, from clones of the committed HEAD in two folders,
# and compares the two; with MADE_RELEASE, compares a release made elsewhere
# of the same commit with one made here.
MADE_RELEASE :=
test-reproducible:
	@tools/install-packages $(RELEASE_PACKAGES)
	tests/package/check-reproducible $(MADE_RELEASE)

# Runs make run, make test and make test-package as a newcomer would, in a
# fresh minimal chroot of a Debian release: RELEASE=bookworm, trixie, testing, ...
RELEASE := trixie
test-release:
	tools/test-release $(RELEASE)

# Measures curve-viewer against a bare GLUT window on a private Xvfb, and its
# page against a bare WebGL page in headless Chromium.
bench: configure-tests web browser-drivers
	@tools/install-packages chromium
	cmake --build $(BUILD_DIR) --target run_benchmark --parallel $(JOBS)
	$(BUILD_DIR)/bench/run_benchmark $(VIEWER) $(BUILD_DIR)/bench/bare_window $(BUILD_DIR)/bench/libswap_probe.so
	node bench/page-benchmark.mjs $(WEB_PAGE) bench/bare_page.html

# Saves the six pictures of the real program as docs/images/curve-0.png to curve-5.png.
screenshots: configure-tests
	cmake --build $(BUILD_DIR) --target capture_gallery --parallel $(JOBS)
	mkdir -p docs/images
	$(BUILD_DIR)/tools/capture_gallery docs/images

# Writes the translations' template anew from the sources and merges it into
# every catalogue in po/, for translators to see to what has changed.
update-po:
	@tools/install-packages gettext
	tools/update-translations

configure-tests:
	@tools/install-packages $(BUILD_PACKAGES) $(TEST_PACKAGES)
	$(CONFIGURE) $(CONFIGURE_TESTS)
