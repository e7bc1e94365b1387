# An editing agent of the load script (load/load.py): saves airline fields on a register on a server.
add_executable(tarvex_loadeditor load/loadeditor.cpp)
target_link_libraries(tarvex_loadeditor PRIVATE tarvex_store Qt6::Core Qt6::Sql)
