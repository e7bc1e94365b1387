# Smart Key and Smart Flow composers: target_sources(tarvex_generation PRIVATE ...)
