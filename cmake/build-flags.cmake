# zav_build_flags: how the project's own code is compiled and linked. Every target of ours links
# it (the libraries in src/ pass it on to whatever links them).
#   ZAV_WERROR    a warning fails the build (scripts/test builds so)
#   ZAV_SANITIZE  AddressSanitizer and UndefinedBehaviorSanitizer, for a separate build folder
option(ZAV_WERROR "Treat compiler warnings as errors" OFF)
option(ZAV_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

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
