# SPDX-License-Identifier: GPL-3.0-or-later
# `scripts/package`: a Debian package of the install layout under /usr, made by CPack's DEB generator.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME foldwarn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# There is no address to give yet, but Debian's Maintainer field (and lintian) wants one: the reserved
# top-level domain .invalid can never be reached, so nobody takes it for a real contact.
set(CPACK_PACKAGE_CONTACT "Foldwarn maintainers <no-address-yet@foldwarn.invalid>")
# DESTDIR staging keeps CMAKE_INSTALL_PREFIX at /usr during the install, so the desktop entry names
# /usr/lib/foldwarn/foldwarn and not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Under a Wayland session Qt needs its Wayland plugin; without it, it falls back to Xwayland or aborts. The
# window's fixed layout is measured in Liberation Sans (Arial's metrics): wider fonts push labels into controls.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-liberation2")
# On purge: what an older version left in the program folder.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postrm)
# 0755 folders whatever the umask of the one who builds.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sound when the number of files in a folder changes")
# CPack indents the lines and turns the empty one into Debian's " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Foldwarn watches one folder and plays a sound when the number of files in it
rises or falls: for people who wait for files to land somewhere, such as a
scanner's drop folder, an incoming share or a render output, and want to hear
it without looking. The user interface is in German.

Installed system-wide, each user keeps their own settings and tones in the
XDG folders of their home.")
include(CPack)
