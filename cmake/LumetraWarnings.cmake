# Warnings on for our own targets; third-party code is not touched. They are
# errors only with LUMETRA_WERROR (the presets make test uses turn it on), so
# a plain configure with another compiler version still builds.
option(LUMETRA_WERROR "Treat warnings of the project's own code as errors" OFF)
function(lumetra_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
    # g++ 12's optimiser warns falsely about "text" + std::string (its bug 105329).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(LUMETRA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
