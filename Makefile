# The two commands of the README:
#   make demo   the demo measurement on simulated modules
#   make test   every test: the Linux build, the Windows build, the Wine checks
.PHONY: deps linux win32 demo test bench sanitize clean

deps:
	@bash scripts/install-deps.sh

linux: deps
	cmake --preset linux
	cmake --build --preset linux

win32: deps
	cmake --preset win32
	cmake --build --preset win32

demo: linux
	@bash scripts/demo.sh

test: linux win32
	ctest --preset linux

bench: linux
	@bash scripts/bench.sh

# The Linux build and its tests under the address and undefined-behaviour
# sanitizers (build/sanitize).
sanitize: deps
	@bash scripts/sanitize.sh

clean:
	rm -rf build
