# The two commands of the README. Each installs what is missing first.
.PHONY: run screenshot screenshot-web test setup native windows web web-build

setup:
	@bash scripts/setup.sh

native: setup
	@cmake --preset native >/dev/null
	@cmake --build --preset native

# The portable layer and lumetra.exe, cross-built with mingw-w64.
windows: setup
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

# The page (build/web: index.html, lumetra.js, lumetra.wasm), built with Emscripten.
web-build: setup
	@cmake --preset web >/dev/null
	@cmake --build --preset web

# The browser stories of make test load the page from build/web.
test: native windows web-build
	@ctest --preset native

# The editor as a web page, served from this machine only.
web: web-build
	@echo "Lumetra in the browser: http://127.0.0.1:8000/ (Ctrl+C stops the server)"
	@python3 -m http.server 8000 --bind 127.0.0.1 --directory build/web

# The editor under Wine on the current X display (prefix build/wine-run; the
# desktop's window manager manages its window).
run: windows
	@bash scripts/run.sh

# The editor on a virtual display, in a prefix of its own (build/wine-screenshot):
# a picture of its window in docs/screenshot.png.
screenshot: windows
	@bash scripts/screenshot.sh

# The page in headless Chromium with the sample picture converted:
# docs/screenshot-web.png.
screenshot-web: web-build
	@/usr/bin/python3 scripts/screenshot-web.py
