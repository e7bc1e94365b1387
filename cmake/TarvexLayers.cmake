# tarvex_layer(<target> <folder> [USES <folder>...])
#
# The libraries form layers: common; store, settings and xlsx on it; generation on those;
# the windows (ui) and the command-line tool on generation; the desktop program on ui.
# Each target gets an include root of its own in the build folder that holds links to its
# own source folder and to the folders of the layers below it, and nothing else. An
# include of a header from a layer above ("ui/mainwindow.h" in generation/) then fails
# to compile instead of quietly turning the layers upside down.
function(tarvex_layer target folder)
    cmake_parse_arguments(ARG "" "" "USES" ${ARGN})
    set(root ${PROJECT_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${root})
    foreach(visible IN LISTS folder ARG_USES)
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${visible} ${root}/${visible} SYMBOLIC)
    endforeach()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
