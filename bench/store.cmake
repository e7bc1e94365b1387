# The register: opening, the generation walk and the airline list, against raw SQLite.
find_package(SQLite3 REQUIRED)
add_executable(bench_register store/bench_register.cpp store/benchregister.cpp store/benchregister.h)
target_include_directories(bench_register PRIVATE store)
target_link_libraries(bench_register PRIVATE tarvex_generation SQLite::SQLite3 benchmark::benchmark)

# The same register in a file and on a throwaway PostgreSQL server: opening, the walk, each output and the
# statements an output sends to the server.
add_executable(bench_engines store/bench_engines.cpp store/benchregister.cpp store/benchregister.h)
target_include_directories(bench_engines PRIVATE store)
target_link_libraries(bench_engines PRIVATE tarvex_generation tarvex_testsupport benchmark::benchmark)
