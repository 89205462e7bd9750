# Windows: one folder, the executable with its cursor files beside it, a notice, and the licences
# of all it carries. scripts/windows packs it as a zip and as an installer.
zav_record_source_tree()
set(ZAV_SOURCES_FILE zav-blackboard-${PROJECT_VERSION}-windows-sources.tar.xz)
# What MinGW-w64 links in statically, with Debian's own copyright stanzas for it.
set(zav_mingw_notices "")
if(MINGW)
    execute_process(COMMAND ${ZAV_PYTHON} ${PROJECT_SOURCE_DIR}/scripts/lanes/windows/mingw-notices.py
                    OUTPUT_VARIABLE zav_mingw_notices RESULT_VARIABLE zav_no_notices)
    if(zav_no_notices)
        message(FATAL_ERROR "The MinGW-w64 runtime's notices could not be read from Debian's copyright files")
    endif()
endif()
zav_licences_with_qt(PLATFORM Windows SOURCES_FILE ${ZAV_SOURCES_FILE} MORE "${zav_mingw_notices}")
configure_file(resources/windows/README.txt.in README.txt @ONLY)
install(TARGETS zav-blackboard RUNTIME DESTINATION .)
install(FILES ${ZAV_CURSOR_FILES} ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
