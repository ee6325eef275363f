# Fuzz targets for the pure core: the forgiving Base64 decoder and share-link parsing of clipboard text.
vantaro_add_fuzzer(fuzz_base64_decode SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/core_base64_fuzz.cpp LIBS vantaro_core)
vantaro_add_fuzzer(fuzz_share_link SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/core_share_link_fuzz.cpp LIBS vantaro_core)
