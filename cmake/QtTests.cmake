# tavelio_add_qt_tests(NAME LIBRARIES...): a GoogleTest executable NAME of every *.cpp in the
# calling folder, run with a QApplication on Qt's offscreen platform (tests/support's entry),
# linked to LIBRARIES and registered with CTest case by case. A parameterised case is registered
# under the name its suite gives it, without its parameter's printed value.
function(tavelio_add_qt_tests name)
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    add_executable(${name} ${sources} "${CMAKE_SOURCE_DIR}/tests/support/qt_test_main.cpp")
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock tavelio_strict)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
