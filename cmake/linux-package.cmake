# Linux: the install tree and the .deb (cpack -G DEB).

# Installation: one program directory holding the executable and its cursor files, a link to it
# on the PATH, and the desktop's menu entry, icons and AppStream data.
include(GNUInstallDirs)
# Folders as a fresh umask makes them, whatever the umask of whoever installs or packs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(ZAV_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/zav-blackboard)
if(CMAKE_INSTALL_LIBDIR MATCHES "^lib/")
    set(ZAV_PROGRAM_DIR lib/zav-blackboard) # one directory whatever the multiarch triplet
endif()
install(TARGETS zav-blackboard RUNTIME DESTINATION ${ZAV_PROGRAM_DIR})
install(FILES ${ZAV_CURSOR_FILES} DESTINATION ${ZAV_PROGRAM_DIR})
file(RELATIVE_PATH ZAV_LINK_TARGET /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${ZAV_PROGRAM_DIR}/zav-blackboard)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/install-link)
file(CREATE_LINK ${ZAV_LINK_TARGET} ${PROJECT_BINARY_DIR}/install-link/zav-blackboard SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/install-link/zav-blackboard DESTINATION ${CMAKE_INSTALL_BINDIR})

set(ZAV_THEME_ICONS)
foreach(size 32 64 128)
    set(png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/jp.zav.blackboard.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${ZAV_ICONPNG} ${ZAV_PICTURE_DIR}/zav.ico ${size} ${png}
        DEPENDS ${ZAV_ICONPNG_TARGET} ${ZAV_PICTURE_DIR}/zav.ico VERBATIM)
    list(APPEND ZAV_THEME_ICONS ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(zav_theme_icons ALL DEPENDS ${ZAV_THEME_ICONS})
configure_file(resources/jp.zav.blackboard.desktop.in jp.zav.blackboard.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/jp.zav.blackboard.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The version is written once, in project(): these files get it from there.
configure_file(resources/jp.zav.blackboard.metainfo.xml.in jp.zav.blackboard.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/jp.zav.blackboard.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
zav_copyright(${PROJECT_BINARY_DIR}/copyright "" [=[On Debian systems, the complete text of the GNU General Public License version 3
 can be found in "/usr/share/common-licenses/GPL-3".]=] "")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zav-blackboard)
foreach(doc changelog zav-blackboard.1)
    configure_file(resources/debian/${doc}.in ${doc} @ONLY)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${doc}.gz
        COMMAND gzip -n -9 -c ${PROJECT_BINARY_DIR}/${doc} > ${PROJECT_BINARY_DIR}/${doc}.gz
        DEPENDS ${PROJECT_BINARY_DIR}/${doc})
endforeach()
add_custom_target(zav_docs ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_BINARY_DIR}/zav-blackboard.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zav-blackboard)
install(FILES ${PROJECT_BINARY_DIR}/zav-blackboard.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# cpack -G DEB
set(CPACK_PACKAGE_NAME zav-blackboard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ZAV)
set(CPACK_PACKAGE_CONTACT "ZAV <zav@zav.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "blackboard to write on with chalk")
set(CPACK_PACKAGE_DESCRIPTION "${ZAV_TITLE} (学校にある黒板と同じです。) is a desktop blackboard: write with\nchalk by dragging the left mouse button, rub out with the right, pick a\ncolour from the chalk tray, and find today's date written down the side.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The same .deb from the same tree: folders as a fresh umask makes them, and cpack's time stamps
# SOURCE_DATE_EPOCH, the build's own unless the environment gives another.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/deb-permissions.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/deb-permissions.cmake)
file(WRITE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake
     "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n    set(ENV{SOURCE_DATE_EPOCH} ${ZAV_SOURCE_DATE_EPOCH})\nendif()\nset(ZAV_PYTHON ${ZAV_PYTHON})\n")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
include(CPack)
