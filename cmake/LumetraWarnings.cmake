# Warnings on for our own targets; third-party code is not touched. They are
# errors only with LUMETRA_WERROR (the presets make test uses turn it on), so
# a plain configure with another compiler version still builds.
option(LUMETRA_WERROR "Treat warnings of the project's own code as errors" OFF)
function(lumetra_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
    if(LUMETRA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
