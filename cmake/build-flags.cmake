# zav_build_flags: how the project's own code is compiled and linked. Every target of ours links
# it (the libraries in src/ pass it on to whatever links them).
#   ZAV_WERROR    a warning fails the build (scripts/test builds so)
#   ZAV_SANITIZE  AddressSanitizer and UndefinedBehaviorSanitizer, for a separate build folder
#   ZAV_HARDEN    hardened as Debian builds its packages (on by default; see below)
option(ZAV_WERROR "Treat compiler warnings as errors" OFF)
option(ZAV_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ZAV_HARDEN "Harden the program as Debian's packages are" ON)

add_library(zav_build_flags INTERFACE)
# Warnings for our code only: Qt's headers come in as system headers.
target_compile_options(zav_build_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow $<$<BOOL:${ZAV_WERROR}>:-Werror>)
if(ZAV_SANITIZE)
    target_compile_options(zav_build_flags INTERFACE
        -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(zav_build_flags INTERFACE -fsanitize=address,undefined,float-cast-overflow)
endif()
if(MINGW)
    # The program, its tools and tests need no MinGW DLLs beside them.
    target_link_options(zav_build_flags INTERFACE -static)
endif()

# zav_fortify(FLAGS...): the flags, with _FORTIFY_SOURCE only where the code is optimised (glibc
# warns of it unoptimised, and a debug build would fail on the warning).
function(zav_fortify out)
    set(flags "")
    foreach(flag IN LISTS ARGN)
        if(flag MATCHES "^-D_FORTIFY_SOURCE")
            set(flag "$<$<NOT:$<CONFIG:Debug>>:${flag}>")
        endif()
        list(APPEND flags "${flag}")
    endforeach()
    set(${out} "${flags}" PARENT_SCOPE)
endfunction()

# Hardened as Debian builds its packages: a file read from outside (a cursor file) is decoded by
# this code. On Linux, what dpkg-buildflags gives with hardening=+all on the system that builds
# it (Debian 12: stack protector, fortified functions, RELRO and immediate binding; Debian 13 adds
# stack clash protection and CET); its optimisation, debug information and path maps are left to
# the build type and to reproducible.cmake. For Windows, the stack protector (libssp's checks) and
# fortified functions as MinGW-w64 has them (none for C++ in MinGW-w64 10, Debian 12's; from 11 on),
# beside the linker's ASLR and DEP. Not under the sanitizers, which check more and do not mix with
# fortified functions.
if(ZAV_HARDEN AND NOT ZAV_SANITIZE)
    if(MINGW)
        zav_fortify(zav_hardening -fstack-protector-strong -D_FORTIFY_SOURCE=2)
        target_compile_options(zav_build_flags INTERFACE ${zav_hardening})
        target_link_options(zav_build_flags INTERFACE -fstack-protector-strong)
    elseif(NOT WIN32 AND NOT EMSCRIPTEN)
        find_program(ZAV_DPKG_BUILDFLAGS dpkg-buildflags)
        if(ZAV_DPKG_BUILDFLAGS)
            foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
                execute_process(
                    COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-fixfilepath,-fixdebugpath"
                            "DEB_${kind}_MAINT_STRIP=-g -O2" ${ZAV_DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
                separate_arguments(flags UNIX_COMMAND "${flags}")
                set(zav_${kind} ${flags})
            endforeach()
            zav_fortify(zav_CPPFLAGS ${zav_CPPFLAGS})
            target_compile_options(zav_build_flags INTERFACE ${zav_CPPFLAGS} ${zav_CXXFLAGS})
            target_link_options(zav_build_flags INTERFACE ${zav_LDFLAGS})
            message(STATUS "Hardened with dpkg-buildflags: ${zav_CPPFLAGS} ${zav_CXXFLAGS} ${zav_LDFLAGS}")
        else()
            message(STATUS "Not hardened: dpkg-buildflags, which says how, is not installed")
        endif()
    endif()
endif()
