# The script check against the Smart Flow writer over the same register.
add_executable(bench_check check/bench_check.cpp)
target_link_libraries(bench_check PRIVATE tarvex_generation benchmark::benchmark)
