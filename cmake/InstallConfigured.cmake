# Run at install time by the rule of tavelio_install_configured (Install.cmake), with template,
# destination, gzip, PROJECT_VERSION, bindir and demoBookDir set: configures the template with the
# absolute paths under this installation's prefix and stages it under DESTDIR.
foreach(dir destination bindir demoBookDir)
    cmake_path(ABSOLUTE_PATH ${dir} BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE)
endforeach()
set(TAVELIO_PROGRAM "${bindir}/tavelio")
set(TAVELIO_DEMO_BOOK_FOLDER "${demoBookDir}")

set(staged "$ENV{DESTDIR}${destination}")
configure_file("${template}" "${staged}" @ONLY)
if(gzip)
    # Without a name or time stamp in the header, so that the same sources give the same package.
    execute_process(COMMAND gzip -9nf "${staged}" COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND staged ".gz")
    string(APPEND destination ".gz")
endif()
message(STATUS "Installing: ${staged}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${destination}")
