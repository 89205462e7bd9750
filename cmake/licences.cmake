# What the program carries and under which licence, in Debian's copyright format, written once
# (resources/copyright.in): the .deb's copyright file, and the licences folder beside a program
# that carries Qt (Windows, the web).

# zav_copyright(OUTPUT STANZAS GPL_TEXT LGPL_LICENCE): STANZAS, those of what the program carries
# beyond its own code and faces, each as it is.
function(zav_copyright output stanzas gpl_text lgpl_licence)
    file(READ ${PROJECT_SOURCE_DIR}/resources/licences/OFL-1.1.txt text)
    string(REGEX REPLACE "\n+$" "" text "${text}")
    string(REPLACE "\n" "\n " text " ${text}")
    string(REPLACE "\n \n" "\n .\n" text "${text}")
    string(REPLACE "\n \n" "\n .\n" ZAV_OFL_TEXT "${text}")
    # Stanzas are parted by a blank line.
    set(ZAV_QT_STANZA "${stanzas}")
    if(ZAV_QT_STANZA)
        string(PREPEND ZAV_QT_STANZA "\n")
    endif()
    set(ZAV_GPL_TEXT "${gpl_text}")
    set(ZAV_LGPL_LICENCE "${lgpl_licence}")
    if(ZAV_LGPL_LICENCE)
        string(PREPEND ZAV_LGPL_LICENCE "\n")
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/resources/copyright.in ${output} @ONLY)
endfunction()

set(ZAV_QT_NOTICES "" CACHE FILEPATH "Notices of the libraries the static Qt carries")

# zav_licences_with_qt(PLATFORM name SOURCES_FILE file [RUNTIME_NOTE sentence] [MORE stanzas]): the
# licences folder beside a program linked with a static Qt and its PLATFORM plugin: the copyright
# list, the licence texts, and the notices of the libraries bundled in Qt, made where that Qt was
# built. RUNTIME_NOTE says where the C and C++ runtime's notices are; MORE, what else it carries.
function(zav_licences_with_qt)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "PLATFORM;SOURCES_FILE;RUNTIME_NOTE;MORE" "")
    set(platform ${arg_PLATFORM})
    set(sources_file ${arg_SOURCES_FILE})
    set(runtime_note "${arg_RUNTIME_NOTE}")
    set(more "${arg_MORE}")
    set(stanza "Files: Qt
Copyright: 2016-2022 The Qt Company Ltd. and other contributors
License: LGPL-3
Comment: Qt ${Qt6_VERSION} (Core, Gui, Widgets and the ${platform} platform), linked statically,
 built from Debian's qt6-base source package with the libraries it bundles, whose notices are in
 Qt-third-party.txt.${runtime_note}
 The exact sources of that Qt and of the program, and how to rebuild the program or relink it
 with a changed Qt, are in ${sources_file}, handed out with it.
")
    if(more)
        string(APPEND stanza "\n${more}")
    endif()
    zav_copyright(${PROJECT_BINARY_DIR}/licences/copyright.txt "${stanza}"
        "The complete text of the GNU General Public License version 3 is in LICENSE.txt beside this file." [=[
License: LGPL-3
 Qt is free software: you can redistribute it and/or modify it under the terms of the GNU
 Lesser General Public License version 3 as published by the Free Software Foundation.
 .
 The complete text is in LGPL-3.txt beside this file; the GNU General Public License
 version 3 it adds to is in LICENSE.txt.
]=])
    install(FILES ${PROJECT_BINARY_DIR}/licences/copyright.txt resources/licences/LGPL-3.txt
                  resources/licences/OFL-1.1.txt
            DESTINATION licences)
    install(FILES LICENSE DESTINATION licences RENAME LICENSE.txt)
    if(ZAV_QT_NOTICES)
        install(FILES ${ZAV_QT_NOTICES} DESTINATION licences RENAME Qt-third-party.txt)
    endif()
endfunction()
