# The two commands of the README. Each installs what is missing first.
.PHONY: run screenshot test setup native windows

setup:
	@bash scripts/setup.sh

native: setup
	@cmake --preset native >/dev/null
	@cmake --build --preset native

# The portable layer and lumetra.exe, cross-built with mingw-w64.
windows: setup
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

test: native windows
	@ctest --preset native

# The editor under Wine on the current X display (prefix build/wine-run; the
# desktop's window manager manages its window).
run: windows
	@bash scripts/run.sh

# The editor on a virtual display, in a prefix of its own (build/wine-screenshot):
# a picture of its window in docs/screenshot.png.
screenshot: windows
	@bash scripts/screenshot.sh
