# Browser build with Debian's Emscripten (emcc 3.1.6, its frozen system
# library cache). The libraries it would download as ports come from
# scripts/build-web-deps.sh instead.
set(LUMETRA_WEB_DEPS "$ENV{HOME}/.cache/lumetra/web-deps" CACHE PATH "zlib/libpng/libjpeg/giflib/FreeType built with emcc")
# emcc's JavaScript optimiser needs Debian's node modules (acorn), which the
# machine's node does not look in: every emcc call gets NODE_PATH.
set(LUMETRA_NODE_PATH /usr/share/nodejs)
set(ENV{NODE_PATH} ${LUMETRA_NODE_PATH})
# Programs the configuration runs (libjpeg-turbo's type sizes) run under node;
# node 20's own fetch makes emcc 3.1.6's loader fail to read the .wasm (exit 7),
# so the loader is left to read it from the file system.
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-experimental-fetch CACHE STRING "")
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
foreach(step C_COMPILER CXX_COMPILER C_LINKER CXX_LINKER)
    set(CMAKE_${step}_LAUNCHER env NODE_PATH=${LUMETRA_NODE_PATH} CACHE STRING "")
endforeach()
list(APPEND CMAKE_FIND_ROOT_PATH ${LUMETRA_WEB_DEPS})
# The shell reports refused files by exceptions: catching them must be on in
# every object and at the link.
set(CMAKE_CXX_FLAGS_INIT -fexceptions)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fexceptions)
