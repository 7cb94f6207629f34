# The commands of the README:
#   make demo          the demo measurement on simulated modules, with a plot
#   make test          every test: the Linux build, the Windows build, the Wine
#                      checks; prints the time of each phase
#   make win32         the Windows build (Telvio.dll, Inilink.exe)
#   make linux         the Linux build
# and of docs/development.md:
#   make screenshots   pictures of the dialogs under Wine (not part of the tests)
#   make sanitize      every Linux test under the address and undefined-behaviour sanitizers
#   make bench         the poll rate of the shipped plug-in against its limit, on Linux and under Wine
.PHONY: deps linux win32 demo test screenshots bench sanitize clean

deps:
	@bash scripts/install-deps.sh

linux: deps
	cmake --preset linux
	cmake --build --preset linux

win32: deps
	cmake --preset win32
	cmake --build --preset win32

demo: linux
	@bash scripts/install-deps.sh demo
	@bash scripts/demo.sh

test:
	@bash scripts/test.sh

screenshots: linux win32
	@bash scripts/install-deps.sh screenshots
	@bash scripts/screenshots.sh

bench: linux win32
	@bash scripts/bench.sh

# The Linux build and its tests under the address and undefined-behaviour
# sanitizers (build/sanitize).
sanitize: deps
	@bash scripts/sanitize.sh

clean:
	rm -rf build
