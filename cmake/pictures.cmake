# The pictures and faces the program carries, made at build time from the sources:
#   ZAV_PICTURES        the icon, the tray's pictures and the cursors, drawn from text pixel maps
#                       in resources/pixmaps/ (target zav_picture_files)
#   ZAV_DATE_FONT       the date's face, cut from RocknRoll One (target zav_date_font)
#   ZAV_UI_FONT         on the web, the window's texts' face, cut from Noto Sans CJK JP (zav_ui_font)
#   ZAV_CURSOR_FILES    the two cursor files beside the executable (zav_cursor_files)
#   ZAV_ICONGEN, ZAV_ICONPNG and their _TARGETs: the build's own tools, for the host

# The tools run where the build runs: cross-built, they are built again for the host.
if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    ExternalProject_Add(host_tools
        SOURCE_DIR ${PROJECT_SOURCE_DIR}/resources/tools
        BINARY_DIR ${PROJECT_BINARY_DIR}/host-tools
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${PROJECT_BINARY_DIR}/host-tools/icongen ${PROJECT_BINARY_DIR}/host-tools/iconpng)
    set(ZAV_ICONGEN ${PROJECT_BINARY_DIR}/host-tools/icongen)
    set(ZAV_ICONGEN_TARGET host_tools)
    set(ZAV_ICONPNG ${PROJECT_BINARY_DIR}/host-tools/iconpng)
    set(ZAV_ICONPNG_TARGET host_tools)
else()
    add_subdirectory(resources/tools)
    set(ZAV_ICONGEN $<TARGET_FILE:icongen>)
    set(ZAV_ICONGEN_TARGET icongen)
    set(ZAV_ICONPNG $<TARGET_FILE:iconpng>)
    set(ZAV_ICONPNG_TARGET iconpng)
endif()

set(ZAV_PICTURE_DIR ${PROJECT_BINARY_DIR}/pictures)
set(ZAV_PICTURES)
# zav_picture(MAP OUTPUT [ARGS...]): OUTPUT drawn from resources/pixmaps/MAP.
function(zav_picture map output)
    set(out ${ZAV_PICTURE_DIR}/${output})
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ZAV_PICTURE_DIR}
        COMMAND ${ZAV_ICONGEN} ${PROJECT_SOURCE_DIR}/resources/pixmaps/${map} ${out} ${ARGN}
        DEPENDS ${ZAV_ICONGEN_TARGET} ${PROJECT_SOURCE_DIR}/resources/pixmaps/${map}
        COMMENT "Drawing ${output}"
        VERBATIM)
    set(ZAV_PICTURES ${ZAV_PICTURES} ${out} PARENT_SCOPE)
endfunction()
zav_picture(zav.txt zav.ico)
if(WIN32)
    zav_picture(zav.txt zav-windows.ico --sizes=${ZAV_ICON_SIZES},256)
endif()
zav_picture(hand.txt hand.cur)
zav_picture(eraser.txt eraser.ico)
# One stick picture for each chalk stick, in its colour.
set(n 0)
foreach(colour IN LISTS ZAV_CHALK_COLOURS)
    zav_picture(chalk.txt chalk${n}.ico ${colour})
    math(EXPR n "${n} + 1")
endforeach()
zav_picture(chalk-cursor.txt ${ZAV_CHALK_CURSOR})
zav_picture(eraser-cursor.txt ${ZAV_ERASER_CURSOR})
add_custom_target(zav_picture_files ALL DEPENDS ${ZAV_PICTURES})

# The date's face travels with the program: RocknRoll One (SIL OFL) cut down to the characters a
# date can hold and named ZAV Date, made with fontTools from Debian's fonts-rocknroll.
# Faces are the build machine's own files, also when it builds for another system.
find_file(ZAV_DATE_FONT_SOURCE RocknRollOne-Regular.ttf
    HINTS /usr/share/fonts/truetype/rocknroll PATH_SUFFIXES share/fonts/truetype/rocknroll fonts/truetype/rocknroll
    NO_CMAKE_FIND_ROOT_PATH DOC "RocknRoll One, from which the date's face is cut")
# The system's Python first (Debian's has fontTools), before any other on the PATH.
if(NOT DEFINED Python3_ROOT_DIR AND EXISTS /usr/bin/python3)
    set(Python3_ROOT_DIR /usr)
endif()
find_package(Python3 COMPONENTS Interpreter)
set(ZAV_PYTHON ${Python3_EXECUTABLE})
execute_process(COMMAND ${ZAV_PYTHON} -c "import fontTools" RESULT_VARIABLE zav_no_fonttools OUTPUT_QUIET ERROR_QUIET)
if(NOT Python3_Interpreter_FOUND OR zav_no_fonttools)
    message(FATAL_ERROR "The date's face is made with fontTools: install python3-fonttools (Debian) or fonttools (pip)")
endif()
if(NOT EXISTS "${ZAV_DATE_FONT_SOURCE}")
    message(FATAL_ERROR "No RocknRoll One: install fonts-rocknroll, or name RocknRollOne-Regular.ttf in ZAV_DATE_FONT_SOURCE")
endif()
set(ZAV_DATE_FONT ${PROJECT_BINARY_DIR}/fonts/date.ttf)
add_custom_command(OUTPUT ${ZAV_DATE_FONT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/fonts
    COMMAND ${ZAV_PYTHON} ${PROJECT_SOURCE_DIR}/resources/tools/datefont.py ${ZAV_DATE_FONT_SOURCE}
            ${ZAV_DATE_CHARACTERS} ${ZAV_DATE_FONT}
    DEPENDS ${ZAV_DATE_FONT_SOURCE} ${PROJECT_SOURCE_DIR}/resources/tools/datefont.py
    COMMENT "Cutting the date's face from RocknRoll One"
    VERBATIM)
add_custom_target(zav_date_font ALL DEPENDS ${ZAV_DATE_FONT})

# Where the system offers the program no Japanese face (a web browser), one for the window's own
# texts travels with it: Noto Sans CJK JP (SIL OFL, Debian's fonts-noto-cjk) cut down to the
# characters the program's strings hold, named ZAV UI.
if(EMSCRIPTEN)
    find_file(ZAV_UI_FONT_SOURCE NotoSansCJK-Regular.ttc
        HINTS /usr/share/fonts/opentype/noto PATH_SUFFIXES share/fonts/opentype/noto fonts/opentype/noto
        NO_CMAKE_FIND_ROOT_PATH
        DOC "Noto Sans CJK (a collection whose first face is JP), from which the texts' face is cut")
    if(NOT EXISTS "${ZAV_UI_FONT_SOURCE}")
        message(FATAL_ERROR "No Noto Sans CJK: install fonts-noto-cjk, or name NotoSansCJK-Regular.ttc in ZAV_UI_FONT_SOURCE")
    endif()
    file(GLOB_RECURSE zav_texts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h)
    list(SORT zav_texts)
    set(ZAV_UI_FONT ${PROJECT_BINARY_DIR}/fonts/ui.otf)
    add_custom_command(OUTPUT ${ZAV_UI_FONT}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/fonts
        COMMAND ${ZAV_PYTHON} ${PROJECT_SOURCE_DIR}/resources/tools/uifont.py ${ZAV_UI_FONT_SOURCE} ${ZAV_UI_FONT}
                ${zav_texts}
        DEPENDS ${ZAV_UI_FONT_SOURCE} ${zav_texts} ${PROJECT_SOURCE_DIR}/resources/tools/uifont.py
                ${PROJECT_SOURCE_DIR}/resources/tools/datefont.py
        COMMENT "Cutting the texts' face from Noto Sans CJK JP"
        VERBATIM)
    add_custom_target(zav_ui_font ALL DEPENDS ${ZAV_UI_FONT})
endif()

# The two cursor files live beside the executable, so the build folder is a program directory.
set(ZAV_CURSOR_FILES)
foreach(cursor IN LISTS ZAV_CURSOR_NAMES)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${cursor}
        COMMAND ${CMAKE_COMMAND} -E copy ${ZAV_PICTURE_DIR}/${cursor} ${PROJECT_BINARY_DIR}/${cursor}
        DEPENDS ${ZAV_PICTURE_DIR}/${cursor}
        VERBATIM)
    list(APPEND ZAV_CURSOR_FILES ${PROJECT_BINARY_DIR}/${cursor})
endforeach()
add_custom_target(zav_cursor_files ALL DEPENDS ${ZAV_CURSOR_FILES})
