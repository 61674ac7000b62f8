# tavelio_add_test_suite(NAME [QT] SOURCES ... LINK ... [DEFINITIONS ...] [NEEDS ...]): a
# GoogleTest executable NAME of the listed sources of the calling folder, built with the strict
# set and tests/ as an include root, linked to LINK and to GoogleTest with its matchers, and
# registered with CTest case by case; a parameterised case under the name its suite gives it,
# without its parameter's printed value.
#   QT           the cases run with a QApplication on Qt's offscreen platform (tests/support's
#                entry); without it, GoogleTest's own entry runs them.
#   DEFINITIONS  compile definitions, such as the paths of the programs and data the cases use.
#   NEEDS        targets built before the suite: the programs it starts, the data it reads.
function(tavelio_add_test_suite name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "QT" "" "SOURCES;LINK;DEFINITIONS;NEEDS")
    add_executable(${name} ${arg_SOURCES})
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
    target_link_libraries(${name} PRIVATE ${arg_LINK} GTest::gtest GTest::gmock tavelio_strict)
    if(arg_QT)
        target_sources(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests/support/qt_test_main.cpp")
        target_link_libraries(${name} PRIVATE Qt6::Widgets)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_compile_definitions(${name} PRIVATE ${arg_DEFINITIONS})
    if(arg_NEEDS)
        add_dependencies(${name} ${arg_NEEDS})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
endfunction()
