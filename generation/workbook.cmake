# Commission workbook composer: target_sources(tarvex_generation PRIVATE ...)
