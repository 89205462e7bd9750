# The same sources give the same bytes wherever, whenever and by whomever they are built
# (reproducible-builds.org): nothing compiled names the folders it was built in or carries a time
# (resources are written without their files' times, the date's face keeps its source's, a Windows
# executable has no link time), and whatever packs the build stamps SOURCE_DATE_EPOCH.

# SOURCE_DATE_EPOCH: the environment's, else the last commit's time, else the newest time among the
# top-level files (a tree without its history).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ZAV_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE ZAV_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE zav_no_git ERROR_QUIET)
    if(zav_no_git OR NOT ZAV_SOURCE_DATE_EPOCH)
        file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt ZAV_SOURCE_DATE_EPOCH "%s" UTC)
    endif()
endif()
if(NOT ZAV_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${ZAV_SOURCE_DATE_EPOCH}'")
endif()

# The source and build folders under fixed names, in debug information and __FILE__ alike. The
# build folder's map comes last, so it wins where the build folder is inside the source tree.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=/usr/src/zav-blackboard
                    -ffile-prefix-map=${PROJECT_BINARY_DIR}=/usr/src/zav-blackboard/build)
if(MINGW)
    add_link_options(-Wl,--no-insert-timestamp)
endif()

# zav_record_source_tree(): source.txt in the build folder, the tree this build is made from as it
# is configured, with its time. A release is stamped with that time and recorded with that tree,
# and its sources file packs that tree and no other (scripts/lanes/windows/package.sh, scripts/lanes/web/package.sh).
function(zav_record_source_tree)
    execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/lanes/shared/source-tree.sh ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE tree RESULT_VARIABLE no_tree ERROR_QUIET)
    file(REMOVE ${PROJECT_BINARY_DIR}/source.txt)
    if(NOT no_tree)
        file(WRITE ${PROJECT_BINARY_DIR}/source.txt "${tree}Source-Date-Epoch: ${ZAV_SOURCE_DATE_EPOCH}\n")
    endif()
endfunction()
