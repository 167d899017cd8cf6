# The Debian package: `cpack -G DEB` in the build folder, after the build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bitvik)
set(CPACK_PACKAGE_VENDOR "Bitvik")
set(CPACK_PACKAGE_CONTACT "Bitvik-utvecklarna <bitvik@invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture puzzle with its setup tool (Swedish)")
set(CPACK_PACKAGE_DESCRIPTION [[Bitvik cuts a picture into a grid; the player matches the loose pieces
to their covered places on the board. Tralloma chooses the picture and the
grid. Both have a Swedish user interface and work in the folder they are
started in; the menu entries start them in the user's Pictures folder.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link come from dpkg-shlibdeps. Loaded at run time, and so unseen by
# it: Qt's platform plugins, and the face the windows' "MS Sans Serif" is drawn in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
# Without it the menu entries start the programs in the home folder.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-user-dirs")
include(CPack)
