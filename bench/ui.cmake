# The main window over a large register: opening with the grid, search keystrokes, Create all.
add_executable(bench_mainwindow ui/bench_mainwindow.cpp store/benchregister.cpp store/benchregister.h)
target_include_directories(bench_mainwindow PRIVATE store)
target_link_libraries(bench_mainwindow PRIVATE tarvex_ui benchmark::benchmark)
