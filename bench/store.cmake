# The register: opening, the generation walk and the airline list, against raw SQLite.
find_package(SQLite3 REQUIRED)
add_executable(bench_register store/bench_register.cpp store/benchregister.cpp store/benchregister.h)
target_include_directories(bench_register PRIVATE store)
target_link_libraries(bench_register PRIVATE tarvex_generation SQLite::SQLite3 benchmark::benchmark)
