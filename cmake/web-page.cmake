# Run once the program is linked (cmake -P): writes the page, its script and its service worker,
# naming this build by the sums of what it serves, so that a browser keeps one deployment whole;
# and each text and WebAssembly file it serves compressed beside it, as .br and .gz, for a server
# that sends what a browser takes (nginx's brotli_static and gzip_static, Apache's rewrite rules),
# the same bytes every build.
#   -DSOURCE=resources/web -DOUT=<site folder> -DSERVED="a;b;..." (the files besides those three)
#   -DCOMPRESSED=<folder> -DBROTLI=<brotli> -DGZIP=<gzip>
#   and the values the templates take: ZAV_PROGRAM ZAV_TITLE ZAV_WINDOW_WIDTH
#   ZAV_WINDOW_HEIGHT ZAV_FRAME_COLOUR ZAV_WEB_FILES ZAV_DESCRIPTION
set(sums "")
foreach(file IN LISTS SERVED ITEMS ${SOURCE}/index.html.in ${SOURCE}/page.js.in ${SOURCE}/service-worker.js.in)
    file(SHA256 ${file} sum)
    string(APPEND sums "${sum}\n")
endforeach()
string(SHA256 ZAV_WEB_BUILD "${sums}")
string(SUBSTRING ${ZAV_WEB_BUILD} 0 16 ZAV_WEB_BUILD)

set(ZAV_WEB_CACHED "\"./\", \"page.js?v=${ZAV_WEB_BUILD}\"")
foreach(file IN LISTS SERVED)
    get_filename_component(name ${file} NAME)
    # What the page names with this build's name (the program and the files it fetches), and the
    # rest as they are named.
    if(name MATCHES "\\.(js|wasm|cur)$")
        string(APPEND ZAV_WEB_CACHED ", \"${name}?v=${ZAV_WEB_BUILD}\"")
    else()
        string(APPEND ZAV_WEB_CACHED ", \"${name}\"")
    endif()
endforeach()
# How many bytes of WebAssembly the page's progress bar waits for.
foreach(file IN LISTS SERVED)
    if(file MATCHES "\\.wasm$")
        file(SIZE ${file} ZAV_WASM_BYTES)
    endif()
endforeach()
configure_file(${SOURCE}/index.html.in ${OUT}/index.html @ONLY)
configure_file(${SOURCE}/page.js.in ${OUT}/page.js @ONLY)
configure_file(${SOURCE}/service-worker.js.in ${OUT}/service-worker.js @ONLY)

foreach(file IN LISTS SERVED ITEMS ${OUT}/index.html ${OUT}/page.js ${OUT}/service-worker.js)
    get_filename_component(name ${file} NAME)
    if(NOT name MATCHES "\\.(html|css|js|wasm|webmanifest)$")
        continue()
    endif()
    file(MAKE_DIRECTORY ${COMPRESSED})
    execute_process(COMMAND ${GZIP} -9 -n -c ${file} OUTPUT_FILE ${COMPRESSED}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${BROTLI} --best --force --output=${COMPRESSED}/${name}.br ${file}
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
