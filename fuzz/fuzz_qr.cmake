# Arbitrary bytes as a BMP file into the QR decoder.
vantaro_add_fuzzer(fuzz_qr_bmp SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/qr_bmp_fuzz.cpp LIBS vantaro_qr)
