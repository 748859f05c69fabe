# Set-up, build, run and test in one place. Each target installs the Debian packages it needs.
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
# More CMake options, such as -DWEBCAMS_WERROR=ON (CI builds with warnings as errors).
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

BUILD_PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libturbojpeg0-dev \
                  qt6-qpa-plugins libssl-dev qtkeychain-qt6-dev zlib1g-dev \
                  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n \
                  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
FUZZ_PACKAGES := clang libclang-rt-dev
# ffmpeg writes the demo video cam's live playlist
RUN_PACKAGES := $(BUILD_PACKAGES) libqt6dbus6 ffmpeg
# dpkg-shlibdeps reads the package's dependencies from the executable; the validators check the
# desktop entry and the AppStream metadata.
PACKAGE_PACKAGES := dpkg-dev file desktop-file-utils appstream
PREFIX ?= /usr/local
# Tests read the time-lapse films back with ffprobe and ffmpeg (which also serves a stream), ask
# real web servers for passwords, and keep credentials in a real keyring on a private session
# bus, walk the program over AT-SPI and start it in German, and serve video cams over RTSP with
# GStreamer's RTSP server (x264enc is in -ugly, x265enc and h264parse in -bad); the program uses
# none of them; a headless Weston runs the program under Wayland once.
TEST_PACKAGES := ffmpeg lighttpd lighttpd-mod-openssl apache2-bin gnome-keyring dbus-daemon \
                 at-spi2-core python3-pyatspi xvfb xauth xdotool \
                 gir1.2-gst-rtsp-server-1.0 python3-gi gstreamer1.0-plugins-base \
                 gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-plugins-bad \
                 weston qt6-wayland

.PHONY: deps test-deps configure build run test test-asan test-tsan fuzz bench pictures install package clean

# Installs the listed packages that are missing: $(call install-missing,<packages>)
install-missing = missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then echo "Installing:" $$missing; $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; fi

deps:
	@$(call install-missing,$(RUN_PACKAGES))

test-deps:
	@$(call install-missing,$(TEST_PACKAGES))

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Builds only the program and democam, starts the demo cams too, and gives a new program
# folder a list of them.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target dunmoral democam
	tools/run-with-democam.sh $(BUILD)

test: build test-deps
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The same tests, built with the address and undefined-behaviour sanitizers.
test-asan: deps test-deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWEBCAMS_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	@# use_tls=0: the leak checker's tracer crashes reading the thread-local blocks of the
	@# libraries Qt loads (GCC 12's sanitizer on Debian 12's C library)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    LSAN_OPTIONS=use_tls=0:suppressions=$(CURDIR)/tools/sanitizers/lsan.supp \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# Every thread the program starts, built with the thread sanitizer: the network, the video cams'
# readers, the engine and its decoding, the panels, history reading and keeping, films and daily
# films, the viewer's.
TSAN_TESTS := test_net test_video test_imaging test_engine test_panels test_history test_timelapse \
              test_viewer
test-tsan: deps test-deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWEBCAMS_TSAN=ON $(CMAKE_FLAGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TESTS)
	@# die_after_fork=0: the tests start real servers (QProcess) from a threaded process;
	@# ignore_noninstrumented_modules=1: what Qt and GLib do inside, on their own threads
	TSAN_OPTIONS="suppressions=$(CURDIR)/tools/sanitizers/tsan.supp die_after_fork=0 ignore_noninstrumented_modules=1" \
	    ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS) \
	        -R '^test_(net|video|imaging|engine|panels|history|timelapse|viewer)\.'

# Every fuzz target for FUZZ_SECONDS (20 by default) on its seed corpus.
FUZZ_SECONDS ?= 20
fuzz: deps
	@$(call install-missing,$(FUZZ_PACKAGES))
	fuzz/run.sh $(FUZZ_SECONDS)

# Benchmarks: numbers and ratios against a reference run in the same process.
# libjpeg writes the JPEG of 500 scans of the "costly" row; the video cams' benchmark serves its
# streams with GStreamer's RTSP server (a test package).
bench: test-deps
	@$(call install-missing,libjpeg62-turbo-dev)
	$(MAKE) build
	cmake --build $(BUILD) --target bench_jpeg bench_fetch bench_history bench_video
	$(BUILD)/bench/bench_history
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bench_fetch
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bench_jpeg
	$(BUILD)/bench/bench_video

# Installs the program, its menu entry, icons, metadata and help under PREFIX (/usr/local).
install: build
	$(SUDO) cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package in $(BUILD)/, for /usr; its entry and metadata are validated first.
package: build
	@$(call install-missing,$(PACKAGE_PACKAGES))
	desktop-file-validate resources/desktop/example.tarvique.Webcams.desktop
	appstreamcli validate --no-net resources/desktop/example.tarvique.Webcams.metainfo.xml
	cd $(BUILD) && cpack

# Redraws the program's pictures into resources/pictures.
pictures: build
	cmake --build $(BUILD) --target drawpictures
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/drawpictures resources/pictures

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
