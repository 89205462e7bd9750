# The tests that run on Linux only: the source layout, and (ZAV_E2E_TESTS) the program end to end
# on Xvfb.

# The source layout: folders include only the folders below them; system headers only in system/.
get_target_property(zav_widgets_includes Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
list(FILTER zav_widgets_includes INCLUDE REGEX "QtWidgets$")
add_test(NAME layers COMMAND ${ZAV_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/support/layers.py ${PROJECT_SOURCE_DIR}/src
         ${zav_widgets_includes})
set_tests_properties(layers PROPERTIES LABELS unit)

if(NOT ZAV_E2E_TESTS)
    return()
endif()

# The program hardened as dpkg-buildflags says, read by hardening-check.
if(ZAV_HARDEN AND NOT ZAV_SANITIZE AND ZAV_DPKG_BUILDFLAGS)
    add_test(NAME hardening COMMAND ${ZAV_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/hardening.py linux
             $<TARGET_FILE:zav-blackboard>)
    set_tests_properties(hardening PROPERTIES LABELS e2e)
endif()

# End to end: the built program on its own Xvfb, driven with xdotool.
find_package(X11 REQUIRED)
add_executable(wmclose support/wmclose.cpp)
target_link_libraries(wmclose PRIVATE X11::X11 zav_build_flags)
function(zav_e2e name)
    add_test(NAME e2e_${name} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${name}.sh)
    set_tests_properties(e2e_${name} PROPERTIES
        ENVIRONMENT "ZAV_APP=$<TARGET_FILE:zav-blackboard>;ZAV_WMCLOSE=$<TARGET_FILE:wmclose>;ZAV_BUILD_DIR=${PROJECT_BINARY_DIR};ZAV_PLUGIN_DIR=${CMAKE_CURRENT_BINARY_DIR}/plugins"
        TIMEOUT 300 LABELS e2e)
endfunction()
zav_e2e(window)
zav_e2e(strokes)
zav_e2e(menu)
zav_e2e(install)
add_test(NAME package COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/package.sh)
set_tests_properties(package PROPERTIES ENVIRONMENT "ZAV_BUILD_DIR=${PROJECT_BINARY_DIR}" TIMEOUT 300 LABELS e2e)
# The .deb once more from a second build elsewhere, otherwise and a day later: the same bytes.
add_test(NAME reproducible_deb COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/reproducible.sh deb ${PROJECT_BINARY_DIR})
set_tests_properties(reproducible_deb PROPERTIES TIMEOUT 1200 LABELS "e2e;slow")
zav_e2e(soak)
set_tests_properties(e2e_soak PROPERTIES LABELS "e2e;slow")
zav_e2e(displays)

# Touch and pen into the real program on Xvfb, by a generic plugin that feeds the same events.
qt_add_plugin(zavinject SHARED CLASS_NAME ZavInjectPlugin)
target_sources(zavinject PRIVATE input/injectplugin.cpp input/injectplugin.json)
target_link_libraries(zavinject PRIVATE zav_inject zav_build_flags)
set_target_properties(zavinject PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/plugins/generic)
add_dependencies(zavinject zav-blackboard)
zav_e2e(touch)
zav_e2e(hostile)
zav_e2e(wayland)

# Keyboard and screen readers through AT-SPI.
zav_e2e(access)
