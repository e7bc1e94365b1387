# The commission workbook writer against libxlsxwriter (a benchmark-only dependency).
add_executable(bench_xlsx
    xlsx/bench_xlsx.cpp
    xlsx/peakmemory.cpp xlsx/peakmemory.h
    xlsx/writers.cpp xlsx/writers.h
)
target_link_libraries(bench_xlsx PRIVATE tarvex_generation tarvex_xlsx tarvex_testsupport benchmark::benchmark xlsxwriter)

# Deflating a large sheet part: zlib against libdeflate, and zlib in chunks.
add_executable(bench_deflate xlsx/bench_deflate.cpp
    ${PROJECT_SOURCE_DIR}/tests/xlsx/zipentries.cpp ${PROJECT_SOURCE_DIR}/tests/xlsx/zipentries.h)
target_include_directories(bench_deflate PRIVATE ${PROJECT_SOURCE_DIR}/tests/xlsx)
target_link_libraries(bench_deflate PRIVATE tarvex_generation tarvex_xlsx tarvex_testsupport benchmark::benchmark
    ZLIB::ZLIB PkgConfig::LIBDEFLATE)
