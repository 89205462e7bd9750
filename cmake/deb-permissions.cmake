# Run by cpack (CPACK_PRE_BUILD_SCRIPTS and CPACK_POST_BUILD_SCRIPTS): every folder and file of the
# .deb gets its mode from the build, not from the umask of whoever packs it, as Debian's
# dh_fixperms does. Before packing, the staged folders and programs become rwxr-xr-x and every
# other file rw-r--r--; after, the members of the .deb's archive, which cpack writes with the
# modes of its umask, become rw-r--r-- as dpkg-deb writes them.
if(NOT CPACK_PACKAGE_FILES)
    execute_process(COMMAND chmod -R u+rwX,go=rX ${CPACK_TEMPORARY_DIRECTORY} RESULT_VARIABLE failed)
else()
    execute_process(COMMAND ${ZAV_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/../resources/tools/armodes.py ${CPACK_PACKAGE_FILES}
                    RESULT_VARIABLE failed)
endif()
if(failed)
    message(FATAL_ERROR "Could not set the modes of the package's files")
endif()
