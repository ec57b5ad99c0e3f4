# Warnings on and fatal for our own targets; third-party code is not touched.
function(lumetra_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
        -Wno-sign-conversion -Werror)
endfunction()
