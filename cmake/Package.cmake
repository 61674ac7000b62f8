# The Debian package, made by `cpack -G DEB` in the build folder: everything `cmake --install`
# puts in place, under /usr. The libraries the programs link come from dpkg-shlibdeps; what they
# load at run time without linking it is listed here.
set(CPACK_PACKAGE_NAME tavelio)
set(CPACK_PACKAGE_VENDOR Morrowick)
set(CPACK_PACKAGE_CONTACT "Morrowick <tavelio@morrowick.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Tavelio reads picture books aloud with children who are learning to read.
A launch pad lets the child pick a reading level and a book; the book viewer
shows the book page by page, with pictures or animation clips, handwriting
text on ruled writing lines, rhyme words and a pointer arrow, while a narrator
reads every page. The demo book \"Ann and the Seed\" is included.")
set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_STRIP_FILES ON)
# The install rules fill the installation's own paths into the desktop entry and the man pages
# (Install.cmake), so the package is staged under DESTDIR with its real prefix.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# GStreamer's plugins for narration and clips (playbin, WAV, MP3, AVI, Motion-JPEG, the sound
# output), the fonts that stand in for the designed faces and Andika, which tavelio-book make
# turns into the books' own handwriting face, are loaded, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base (>= 1.22), gstreamer1.0-plugins-good (>= 1.22), fonts-liberation2, fonts-sil-andika")

include(CPack)
