# The commission workbook writer against libxlsxwriter (a benchmark-only dependency).
add_executable(bench_xlsx
    xlsx/bench_xlsx.cpp
    xlsx/peakmemory.cpp xlsx/peakmemory.h
    xlsx/writers.cpp xlsx/writers.h
)
target_link_libraries(bench_xlsx PRIVATE tarvex_generation tarvex_xlsx tarvex_testsupport benchmark::benchmark xlsxwriter)
