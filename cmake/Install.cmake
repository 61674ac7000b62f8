# Where an installation puts things (GNUInstallDirs), and installing files that name the paths of
# the installation itself.
include(GNUInstallDirs)

# The demo book's data folder, relative to the installation prefix. The reader opens its data
# files by bare name, so the desktop entry starts it here.
set(TAVELIO_DEMO_BOOK_DIR "${CMAKE_INSTALL_DATADIR}/tavelio/books/demo")

# tavelio_install_configured(TEMPLATE DESTINATION [GZIP]): installs TEMPLATE (a name ending in
# .in) into DESTINATION without its .in, gzip compressed with GZIP, with @PROJECT_VERSION@,
# @PROJECT_HOMEPAGE_URL@, @TAVELIO_LICENSE@, @TAVELIO_PROGRAM@ (the reader's absolute path) and
# @TAVELIO_DEMO_BOOK_FOLDER@ (the demo book's absolute folder) filled in. The paths are filled in
# at install time, when the prefix is final: `cmake --install --prefix` may change it, and the
# package is made with a prefix of its own.
function(tavelio_install_configured template destination)
    cmake_parse_arguments(PARSE_ARGV 2 arg "GZIP" "" "")
    get_filename_component(name "${template}" NAME_WLE)
    install(CODE "
        set(template \"${template}\")
        set(destination \"${destination}/${name}\")
        set(gzip ${arg_GZIP})
        set(PROJECT_VERSION \"${PROJECT_VERSION}\")
        set(PROJECT_HOMEPAGE_URL \"${PROJECT_HOMEPAGE_URL}\")
        set(TAVELIO_LICENSE \"${TAVELIO_LICENSE}\")
        set(bindir \"${CMAKE_INSTALL_BINDIR}\")
        set(demoBookDir \"${TAVELIO_DEMO_BOOK_DIR}\")
        include(\"${CMAKE_SOURCE_DIR}/cmake/InstallConfigured.cmake\")")
endfunction()
