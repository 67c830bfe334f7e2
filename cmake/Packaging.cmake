# make package: a Debian package of what `cmake --install` installs, under /usr. Its
# dependencies are the shared libraries the programs link (found by dpkg-shlibdeps) and
# Qt's window-system plugins, which the programs load at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessarine)
set(CPACK_PACKAGE_VENDOR Orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stamp the date, camera settings or any text onto JPEG photos")
set(CPACK_PACKAGE_DESCRIPTION "Orvane Tessarine draws lines of text - EXIF values, dates, \
file names or any text - onto JPEG photos, keeping their metadata; it stamps single photos \
in a window and many at once in a batch, and tessarine-cli does the same from the shell.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvane <support@orvane.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.orvane.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
