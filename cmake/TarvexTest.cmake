# tarvex_add_test(<name> LABEL <labels...> SOURCES <files...> LIBRARIES <targets...>)
#
# Builds one Qt Test executable and registers it with CTest under its family (unit, files
# or gui), so that `ctest -L files` runs one family. A test that starts LibreOffice or
# reads a large workbook also carries the label slow: `ctest -LE slow` is the quick run.
function(tarvex_add_test name)
    cmake_parse_arguments(ARG "" "" "LABEL;SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES})
    target_compile_definitions(${name} PRIVATE
        TARVEX_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        TARVEX_TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        LABELS "${ARG_LABEL}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
