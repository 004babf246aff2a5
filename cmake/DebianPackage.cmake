# The Debian package (scripts/package): both executables and the desktop files
# of data/, with the shared libraries they link found by dpkg-shlibdeps. What
# the program loads at run time is invisible to dpkg-shlibdeps and listed
# here: the QML modules its files import (and the ones those import), the
# TIFF image plug-in the TIFF writer uses. The package test proves the list
# against the modules and plug-ins a started program really loads.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VENDOR Korvanstead)
set(CPACK_PACKAGE_CONTACT "Korvanstead <support@korvanstead.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control Q7 high-speed cameras and review their recordings")
set(CPACK_PACKAGE_DESCRIPTION "VORN controls high-speed cameras of the Q7 line over Ethernet: it finds
cameras by UDP broadcast, drives each one through its HTTP/JSON interface,
pulls recorded takes frame by frame, plays them with in and out points,
histogram, focus peaking and exposure assist, and saves frame ranges as VORN
raw files, TIFF or DNG sequences, AVI or MP4 video, metadata tables or onto
the camera's SSD. Several cameras record, trigger and play as one rig.
vorn-cli does the same from scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://korvanstead.com/vorn)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(VORN_RUNTIME_PACKAGES
    qml6-module-qtqml
    qml6-module-qtqml-workerscript
    qml6-module-qtquick
    qml6-module-qtquick-controls
    qml6-module-qtquick-templates
    qml6-module-qtquick-layouts
    qml6-module-qtquick-window
    qml6-module-qtquick-dialogs
    qml6-module-qtquick-shapes
    qml6-module-qt-labs-platform
    qml6-module-qt-labs-folderlistmodel
    qt6-image-formats-plugins)
string(REPLACE ";" ", " CPACK_DEBIAN_PACKAGE_DEPENDS "${VORN_RUNTIME_PACKAGES}")
# Wayland sessions run the program natively with Qt's Wayland platform.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
