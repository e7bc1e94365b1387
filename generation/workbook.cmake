# Commission workbook composer.
target_sources(tarvex_generation PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/commissionworkbook.cpp
    ${CMAKE_CURRENT_LIST_DIR}/commissionworkbook.h
)
