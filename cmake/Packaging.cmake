# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by `cpack` in a build folder (tools/package.sh does
# it all). Its version is the project's; its library dependencies are found by
# dpkg-shlibdeps from the installed programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUILLANE_MAINTAINER}")
set(CPACK_PACKAGE_VENDOR "The Quillane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "organiser and launcher for the user data of Worms Armageddon")
set(CPACK_PACKAGE_DESCRIPTION
    "The Quillane keeps the User folder of the game Worms Armageddon in order:\n"
    "recorded games in a sortable grid with game folders, saved maps in folders\n"
    "with a scaled preview, speech banks recorded through the microphone or taken\n"
    "from files, and a catalogue of game tools. It starts the game and WormKit,\n"
    "on Linux through Wine.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils) # "games" is for games themselves, in /usr/games
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt Multimedia plays sounds through GStreamer, loaded at run time where
# shlibdeps cannot see it; without it the program runs, silent. The game's
# Windows programs start through Wine.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine")

include(CPack)
