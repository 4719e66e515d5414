# `cpack -G DEB` in a build folder makes the Debian package: the three programs in bin, the language
# files in share/lumivar, the desktop entry and the icon where the desktop menus look.
set(CPACK_PACKAGE_NAME lumivar)
set(CPACK_PACKAGE_VENDOR "Kelmarin")
set(CPACK_PACKAGE_CONTACT "lumivar@kelmarin.de")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kelmarin <lumivar@kelmarin.de>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY lumivar)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kelmarin.de/lumivar")
# The libraries the programs link, read from the binaries; the window's platform plugins come with
# libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6gui6 (>= 6.4)")
include(CPack)
