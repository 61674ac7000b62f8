# Helpers that every library, program and test of the build uses.

# tavelio_strict: the warning set and Qt's hygiene defines that all of the project's own code is
# built with. TAVELIO_WERROR turns the warnings into errors (CI switches it on).
option(TAVELIO_WERROR "Treat compiler warnings as errors" OFF)
add_library(tavelio_strict INTERFACE)
target_compile_options(tavelio_strict INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
    -Wnon-virtual-dtor -Woverloaded-virtual $<$<BOOL:${TAVELIO_WERROR}>:-Werror>)
# Text reaches a QString only through an explicit encoding (the data files are Windows-1252, the
# program's own literals UTF-8); no Qt macro keywords that clash with other libraries' names.
target_compile_definitions(tavelio_strict INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_KEYWORDS QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_DISABLE_DEPRECATED_UP_TO=0x060400)

# tavelio_add_library(NAME HEADERS_AS FOLDER SOURCES ... [LINK ...]): a static library of the
# sources of the calling folder whose headers are included as "FOLDER/name.h" by the library
# itself and by the targets that link it, and by nothing else. Each library gets an include root
# of its own in the build tree holding one link, FOLDER, to its source folder, so that a header
# of a library that a target does not link is not found: the dependency graph is enforced by the
# compiler, not by convention.
function(tavelio_add_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "HEADERS_AS" "SOURCES;LINK")
    add_library(${name} STATIC ${arg_SOURCES})
    set(root "${CMAKE_BINARY_DIR}/include/${name}")
    get_filename_component(parent "${root}/${arg_HEADERS_AS}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${root}/${arg_HEADERS_AS}" SYMBOLIC)
    target_include_directories(${name} PUBLIC "${root}")
    target_link_libraries(${name} PUBLIC ${arg_LINK} PRIVATE tavelio_strict)
endfunction()
