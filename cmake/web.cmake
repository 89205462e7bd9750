# The web: a folder of static files any web server can serve: the page, the program as JavaScript
# and WebAssembly, the cursor files beside it (the page fetches them into the program's folder as
# it starts), the installed app's manifest and icons, and the licences. scripts/web installs it
# into build-web/ and zips it.
zav_record_source_tree()
set(ZAV_SOURCES_FILE zav-blackboard-${PROJECT_VERSION}-web-sources.tar.xz)
set(ZAV_PROGRAM zav-blackboard)
# The files the page writes into the program's folder, as a JavaScript list.
list(JOIN ZAV_CURSOR_NAMES "\", \"" ZAV_WEB_FILES)
set(ZAV_WEB_FILES "\"${ZAV_WEB_FILES}\"")
# The frame's colour (&H00BBGGRR) as the page's and the installed app's theme colour.
set(zav_frame ${ZAV_FRAME_COLOUR})
math(EXPR zav_frame "((${zav_frame} & 0xFF) << 16) | (${zav_frame} & 0xFF00) | ((${zav_frame} >> 16) & 0xFF)"
     OUTPUT_FORMAT HEXADECIMAL)
string(REGEX REPLACE "^0x" "" zav_frame "${zav_frame}")
string(LENGTH "${zav_frame}" zav_length)
math(EXPR zav_pad "6 - ${zav_length}")
string(REPEAT "0" ${zav_pad} zav_zeros)
set(ZAV_FRAME_COLOUR "#${zav_zeros}${zav_frame}")

# The installed app's icons, from the program's own, as pixel art is scaled.
set(ZAV_SITE ${PROJECT_BINARY_DIR}/site)
set(zav_web_icons "")
foreach(size 192 512)
    set(png ${ZAV_SITE}/icon-${size}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ZAV_SITE}
        COMMAND ${ZAV_ICONPNG} ${ZAV_PICTURE_DIR}/zav.ico ${size} ${png}
        DEPENDS ${ZAV_ICONPNG_TARGET} ${ZAV_PICTURE_DIR}/zav.ico VERBATIM)
    list(APPEND zav_web_icons ${png})
endforeach()
configure_file(resources/web/manifest.webmanifest.in ${ZAV_SITE}/manifest.webmanifest @ONLY)
configure_file(resources/web/page.css ${ZAV_SITE}/page.css @ONLY)

# The page, its script and its service worker name every file they fetch by what was built.
set(zav_served ${PROJECT_BINARY_DIR}/zav-blackboard.js ${PROJECT_BINARY_DIR}/zav-blackboard.wasm ${ZAV_CURSOR_FILES}
    ${ZAV_PICTURE_DIR}/zav.ico ${ZAV_SITE}/page.css ${ZAV_SITE}/manifest.webmanifest ${zav_web_icons})
set(zav_page ${ZAV_SITE}/index.html ${ZAV_SITE}/page.js ${ZAV_SITE}/service-worker.js)
# Beside each text and WebAssembly file, the same compressed: .br and .gz.
find_program(ZAV_BROTLI brotli REQUIRED)
find_program(ZAV_GZIP gzip REQUIRED)
set(zav_compressed "")
foreach(file IN LISTS zav_served zav_page)
    get_filename_component(name ${file} NAME)
    if(name MATCHES "\\.(html|css|js|wasm|webmanifest)$")
        list(APPEND zav_compressed ${ZAV_SITE}/compressed/${name}.br ${ZAV_SITE}/compressed/${name}.gz)
    endif()
endforeach()
add_custom_command(OUTPUT ${zav_page} ${zav_compressed}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/resources/web -DOUT=${ZAV_SITE} "-DSERVED=${zav_served}"
            -DCOMPRESSED=${ZAV_SITE}/compressed -DBROTLI=${ZAV_BROTLI} -DGZIP=${ZAV_GZIP}
            -DZAV_PROGRAM=${ZAV_PROGRAM} "-DZAV_TITLE=${ZAV_TITLE}" -DZAV_WINDOW_WIDTH=${ZAV_WINDOW_WIDTH}
            -DZAV_WINDOW_HEIGHT=${ZAV_WINDOW_HEIGHT} -DZAV_FRAME_COLOUR=${ZAV_FRAME_COLOUR}
            "-DZAV_DESCRIPTION=${PROJECT_DESCRIPTION}"
            "-DZAV_WEB_FILES=${ZAV_WEB_FILES}" -P ${PROJECT_SOURCE_DIR}/cmake/web-page.cmake
    DEPENDS zav-blackboard ${ZAV_CURSOR_FILES} ${ZAV_PICTURE_DIR}/zav.ico ${ZAV_SITE}/page.css
            ${ZAV_SITE}/manifest.webmanifest ${zav_web_icons} ${PROJECT_SOURCE_DIR}/cmake/web-page.cmake
            ${PROJECT_SOURCE_DIR}/resources/web/index.html.in ${PROJECT_SOURCE_DIR}/resources/web/page.js.in
            ${PROJECT_SOURCE_DIR}/resources/web/service-worker.js.in
    COMMENT "Writing the page, named by what it serves" VERBATIM)
add_custom_target(zav_web_page ALL DEPENDS ${zav_page})
install(FILES ${zav_page} ${zav_served} ${zav_compressed} DESTINATION .)

zav_licences_with_qt(PLATFORM WebAssembly SOURCES_FILE ${ZAV_SOURCES_FILE}
    RUNTIME_NOTE "\n The C and C++ runtime comes from Debian's emscripten, whose notices are in\n emscripten-copyright.txt."
    MORE [=[
Files: ui.otf
Copyright: 2014-2021 Adobe (http://www.adobe.com/), with Reserved Font Name 'Source'.
License: OFL-1.1
Comment: The window's texts are written in Noto Sans CJK JP, cut down to the characters the
 program writes and named ZAV UI.
]=])
find_file(ZAV_EMSCRIPTEN_COPYRIGHT copyright HINTS /usr/share/doc/emscripten NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
          DOC "emscripten's copyright file (Debian's), handed out with the page")
if(NOT ZAV_EMSCRIPTEN_COPYRIGHT)
    message(FATAL_ERROR "No emscripten copyright file: name Debian's in ZAV_EMSCRIPTEN_COPYRIGHT")
endif()
install(FILES ${ZAV_EMSCRIPTEN_COPYRIGHT} DESTINATION licences RENAME emscripten-copyright.txt)
