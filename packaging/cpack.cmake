# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT

# `cpack -G DEB` in a build tree makes zarvo_<version>_<arch>.deb of what `cmake --install`
# installs under /usr. The libraries it needs are found by dpkg-shlibdeps; what it loads at run
# time without linking (the X11 platform plugin, a Chinese font, xdg-open for help) is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarvo)
set(CPACK_PACKAGE_VENDOR "Zarvo developers")
set(CPACK_PACKAGE_CONTACT "Zarvo developers <zarvo@zarvo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture store and browser keeping pictures in one SQLite file")
set(CPACK_PACKAGE_DESCRIPTION "\
Zarvo keeps picture files (GIF, PNG, JPEG, BMP, ICO) byte for byte inside one
SQLite file and lets you browse and manage them there: a tree of groups and
folders, each folder shown as a grid of thumbnails. Pictures can be viewed at
full size, saved in another format and exported unchanged; a tool splits
animated GIFs into frames. zarvoctl makes and maintains stores from a shell.
The user interface is Chinese, or English on desktops in other languages;
the user guide and the manual pages come in both languages.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libwmf reads no WMF at all without the URW fonts' map, which it only recommends.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wqy-zenhei | fonts-noto-cjk, fonts-urw-base35")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
