// A BMP file from the fuzzer through the picture loader, attached and painted.
#include "tests/fuzz/fuzz_picture.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::InitApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  fuzz::LoadAndPaint("picture.bmp", bytes, size);
  return 0;
}
