// A picture file from the fuzzer through the picture loader, attached and
// painted; built once per file type, which the loader picks by extension.
#include "tests/fuzz/fuzz_picture.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::InitApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  fuzz::LoadAndPaint(FUZZ_PICTURE_NAME, bytes, size);
  return 0;
}
