# The board's facts, written once here: CMake reads them as variables, C++ from the header made of
# cmake/facts.h.in (target zav_facts, #include "facts.h").
# The window's caption and the app's name; cached, so the packers find it in the build folder.
set(ZAV_TITLE "ZAV 黒板" CACHE INTERNAL "The board's title")
set(ZAV_TWIPS_PER_PIXEL 15)                            # at 96 dpi
set(ZAV_CLIENT_TWIPS 9615 6735)                        # the window's inside: width, height
set(ZAV_FRAME_COLOUR 0x000040)                         # around the board, &H00BBGGRR
# The chalk sticks on the tray, left to right: colour (&H00BBGGRR) and the colour's name.
set(ZAV_CHALKS 0xFFFFFF 白 0x00FFFF 黄色 0xFF00FF 赤紫 0x0000FF 赤 0xFF0000 青 0x008000 緑)
set(ZAV_DATE_CHARACTERS "0123456789月日火水木金土()")   # all a date can hold
set(ZAV_CHALK_CURSOR チョーク.cur)                     # the cursor files beside the executable
set(ZAV_ERASER_CURSOR 黒板消し.cur)
set(ZAV_CURSOR_NAMES ${ZAV_CHALK_CURSOR} ${ZAV_ERASER_CURSOR})

list(GET ZAV_CLIENT_TWIPS 0 zav_width)
list(GET ZAV_CLIENT_TWIPS 1 zav_height)
math(EXPR ZAV_WINDOW_WIDTH "${zav_width} / ${ZAV_TWIPS_PER_PIXEL}")
math(EXPR ZAV_WINDOW_HEIGHT "${zav_height} / ${ZAV_TWIPS_PER_PIXEL}")
set(ZAV_CHALK_ROWS "")
set(ZAV_CHALK_COLOURS "")
list(LENGTH ZAV_CHALKS zav_length)
math(EXPR zav_last "${zav_length} - 1")
foreach(i RANGE 0 ${zav_last} 2)
    math(EXPR j "${i} + 1")
    list(GET ZAV_CHALKS ${i} colour)
    list(GET ZAV_CHALKS ${j} name)
    list(APPEND ZAV_CHALK_COLOURS ${colour})
    string(APPEND ZAV_CHALK_ROWS "    {${colour}, \"${name}\"},\n")
endforeach()
list(LENGTH ZAV_CHALK_COLOURS ZAV_CHALK_COUNT)

configure_file(${CMAKE_CURRENT_LIST_DIR}/facts.h.in ${PROJECT_BINARY_DIR}/generated/facts.h @ONLY)
add_library(zav_facts INTERFACE)
target_include_directories(zav_facts INTERFACE ${PROJECT_BINARY_DIR}/generated)
