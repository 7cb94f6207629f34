# The two commands of the README:
#   make demo   the demo measurement on simulated modules
#   make test   every test: the Linux build, the Windows build, the Wine checks
#   make bench  the poll rate of the shipped plug-in against its limit, on Linux and under Wine
.PHONY: deps linux win32 demo test bench clean

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

bench: linux win32
	@bash scripts/bench.sh

clean:
	rm -rf build
