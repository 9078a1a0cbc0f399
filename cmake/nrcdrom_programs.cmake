# How our Windows programs and our own code are compiled, in one place.

# The warnings of the program's own code (the core and host/win32), every one an error.
set(NRCDROM_STRICT_WARNINGS -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion -Werror)

function(nrcdrom_strict_warnings target)
    target_compile_options(${target} PRIVATE ${NRCDROM_STRICT_WARNINGS})
endfunction()

# A Windows program without C runtime: small code, no unwinding tables, an entry point of its
# own, and imports from system DLLs only.
#   nrcdrom_nocrt_program(TARGET ENTRY FUNCTION [LIBRARIES library...])
# FUNCTION is the entry point, a __stdcall function without arguments, by its plain name; a
# 32-bit build links it by its decorated one (_NrcdromEntry@0). libgcc is always linked, for
# the helpers the compiler itself calls.
function(nrcdrom_nocrt_program target)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "ENTRY" "LIBRARIES")
    if(NOT ARG_ENTRY)
        message(FATAL_ERROR "nrcdrom_nocrt_program(${target}): ENTRY is required")
    endif()
    target_compile_options(${target} PRIVATE -Os -fno-exceptions -fno-rtti
        -fno-threadsafe-statics -fno-asynchronous-unwind-tables -fno-stack-protector
        -ffunction-sections)
    set(entry ${ARG_ENTRY})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(entry _${ARG_ENTRY}@0)
    endif()
    target_link_options(${target} PRIVATE -nostdlib -static -s -Wl,--gc-sections
        -Wl,-e,${entry} -Wl,--subsystem,windows -Wl,--dynamicbase -Wl,--nxcompat)
    target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} gcc)
    set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
endfunction()
