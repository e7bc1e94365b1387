# Smart Key and Smart Flow composers against a plain CSV listing of the same airlines.
add_executable(bench_scripts scripts/bench_scripts.cpp)
target_link_libraries(bench_scripts PRIVATE tarvex_generation tarvex_testsupport benchmark::benchmark)
