# The two commands of the README do all the set-up: `make demo` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
PKG_BUILD  ?= build-package
JOBS       ?= 2
WIN_BUILD  ?= build-windows
WIN_DEPS   ?= build-win-deps
ARM_BUILD  ?= build-arm64
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# What each step needs on a fresh Debian 12 machine; each installs only what it needs.
# Building huecast:
BUILD_PACKAGES := cmake g++ make pkg-config libpcre2-dev unixodbc-dev
# The Debian package: its man page (scdoc), Debian's build flags, Depends (dpkg-shlibdeps,
# which CPack runs with file):
PACKAGE_PACKAGES := $(BUILD_PACKAGES) scdoc dpkg-dev file
# Every test: the unit and end-to-end tests, the bench smoke (Google Benchmark, time), the
# fuzz smoke (clang and its runtime), locales for localedef, for the package's test lintian,
# man and the shells whose completions it tries, and the tools whose output the example
# filter sets are tried on (git, Java, Go and the golang.org/x/exp module with its slog; ping,
# traceroute, ip, ifconfig, free and ps; df, du, mount and dmesg are in every Debian system):
TEST_PACKAGES := $(PACKAGE_PACKAGES) python3 libgtest-dev libbenchmark-dev time clang libclang-rt-14-dev \
                 locales lintian man-db bash-completion fish \
                 git openjdk-17-jdk-headless golang-go golang-golang-x-exp-dev \
                 iputils-ping traceroute iproute2 net-tools procps
# Building the micro benchmarks:
BENCH_BUILD_PACKAGES := $(BUILD_PACKAGES) libbenchmark-dev
# Running the benchmarks, and the peers they are compared with:
BENCH_PACKAGES := $(BENCH_BUILD_PACKAGES) python3 hyperfine ugrep ccze time
# Rendering the README's pictures from real output:
DOCS_PACKAGES := python3 python3-pil fonts-dejavu-core

# $(call apt-install,PACKAGES[,APT OPTIONS]): installs those of PACKAGES that are missing,
# after apt-get update, with sudo when not root.
apt-install = @missing=$$(for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $(2) $$missing; \
	fi

.PHONY: deps test-deps package-deps bench-deps build demo test test-unit test-asan test-package package \
        bench bench-build bench-smoke fuzz-smoke install clean windows windows-deps windows-zip test-windows \
        arm64-deps arm64 test-arm64 screenshots

deps:
	$(call apt-install,$(BUILD_PACKAGES))

test-deps:
	$(call apt-install,$(TEST_PACKAGES))

package-deps:
	$(call apt-install,$(PACKAGE_PACKAGES))

bench-deps:
	$(call apt-install,$(BENCH_PACKAGES))

# The program alone (the tests are built by the test targets).
build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DHUECAST_BUILD_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@$(BUILD)/huecast 0a Build passed
	@$(BUILD)/huecast 0c,error '0e,warn(ing)?' '0a,\bok\b' '0b,\d+\.\d+\.\d+\.\d+' < examples/sample.log

test-unit: test-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DHUECAST_BUILD_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: test-deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DHUECAST_SANITIZE=ON -DHUECAST_BUILD_TESTS=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

test: test-unit test-asan bench-smoke fuzz-smoke test-package

# The Debian package: a build of its own, linked against the system's shared libraries, with
# Debian's compiler and linker flags; cpack writes $(PKG_BUILD)/huecast_VERSION_ARCH.deb.
package: package-deps
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DHUECAST_DEBIAN_PACKAGE=ON -DHUECAST_STATIC_RUNTIME=OFF -DHUECAST_STATIC_ODBC=OFF -DHUECAST_BUILD_TESTS=OFF \
	  "-DCMAKE_CXX_FLAGS=$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PKG_BUILD) -j $(JOBS)
	rm -f $(PKG_BUILD)/*.deb
	cd $(PKG_BUILD) && cpack

# lintian on the package, then the package unpacked and tried.
test-package: test-deps package
	python3 tests/package/test_package.py $(PKG_BUILD)/*.deb

# The painter fuzzer for about a minute, on a copy of the seed corpus (the repository's
# copy stays as it is).
fuzz-smoke: test-deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DHUECAST_FUZZ=ON -DHUECAST_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target painter_fuzz
	corpus=$$(mktemp -d) && cp fuzz/corpus/* "$$corpus"/ && \
	$(FUZZ_BUILD)/fuzz/painter_fuzz -max_total_time=60 -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 "$$corpus"; \
	status=$$?; rm -rf "$$corpus"; exit $$status

# Benchmarks: a Release build of its own; inputs are generated once into $(BENCH_BUILD)/data.
bench-build:
	$(call apt-install,$(BENCH_BUILD_PACKAGES))
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DHUECAST_BUILD_BENCH=ON -DHUECAST_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target huecast huecast_micro_bench huecast_without_library_objects

# The micro benchmarks, then the side-by-side table of whole runs, with the targets judged;
# then what the support library's start-up objects cost a short run.
bench: bench-deps bench-build
	python3 bench/compare.py --huecast $(BENCH_BUILD)/huecast --micro $(BENCH_BUILD)/huecast_micro_bench \
	  --data $(BENCH_BUILD)/data
	python3 bench/startup_cost.py $(BENCH_BUILD)/huecast $(BENCH_BUILD)/huecast_without_library_objects

# Everything once on 1 MB, nothing judged: shows that the benchmarks still build and run.
bench-smoke: test-deps bench-build
	python3 bench/compare.py --smoke --huecast $(BENCH_BUILD)/huecast --micro $(BENCH_BUILD)/huecast_micro_bench \
	  --data $(BENCH_BUILD)/smoke-data

# The Windows build: huecast.exe cross-compiled with MinGW-w64 (PCRE2 built once from
# Debian's source package into $(WIN_DEPS)), and its tests run under Wine.
WIN_APT_PACKAGES := cmake make pkg-config python3 dpkg-dev locales tmux g++-mingw-w64-x86-64-posix \
                    binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev wine wine64

windows-deps:
	$(call apt-install,$(WIN_APT_PACKAGES),--no-install-recommends)

windows: windows-deps
	JOBS=$(JOBS) cmake/build-pcre2-windows.sh $(WIN_DEPS)
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DHUECAST_WIN_DEPS=$(abspath $(WIN_DEPS)) -DCMAKE_BUILD_TYPE=Release -DHUECAST_BUILD_TESTS=ON
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The Windows download, $(WIN_BUILD)/huecast-VERSION-win64.zip.
windows-zip: windows
	cmake --build $(WIN_BUILD) --target windows_zip

test-windows: windows-zip
	python3 tests/windows/run_tests.py --build $(WIN_BUILD) --cache $(WIN_DEPS)

# The ARM build: huecast and its unit tests cross-compiled for aarch64 against Debian's arm64
# libraries (multiarch), and every test run under qemu-user, which ctest puts before each
# aarch64 program (no binfmt_misc needed).
ARM_APT_PACKAGES := cmake make pkg-config python3 locales g++-aarch64-linux-gnu qemu-user \
                    libpcre2-dev:arm64 unixodbc-dev:arm64 libgtest-dev:arm64 libstdc++6:arm64

arm64-deps:
	@dpkg --print-foreign-architectures | grep -qx arm64 || $(SUDO) dpkg --add-architecture arm64
	$(call apt-install,$(ARM_APT_PACKAGES),--no-install-recommends)

arm64: arm64-deps
	cmake -S . -B $(ARM_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DHUECAST_BUILD_TESTS=ON
	cmake --build $(ARM_BUILD) -j $(JOBS)

test-arm64: arm64
	ctest --test-dir $(ARM_BUILD) --output-on-failure -j $(JOBS)

# The README's pictures, docs/screenshot.png and docs/styled.png, from what the program writes on
# a terminal.
screenshots: build
	$(call apt-install,$(DOCS_PACKAGES))
	/usr/bin/python3 docs/render_screenshot.py $(BUILD)/huecast docs/screenshot.png docs/styled.png docs/run.png

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(PKG_BUILD) $(WIN_BUILD) $(WIN_DEPS) $(ARM_BUILD)
