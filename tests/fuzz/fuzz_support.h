#pragma once
// What every fuzz target shares: the offscreen application made once, and a
// private folder the input is written into so that it meets the same open
// path as a file a colleague sends.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

// Qt on its offscreen platform with the program's resources; call from
// LLVMFuzzerInitialize.
void InitApplication(int* argc, char*** argv);
// A folder of this process's own, removed at exit.
const std::string& PrivateFolder();
// Writes bytes to name in the private folder and returns its full path.
std::string WriteFile(const std::string& name, std::string_view bytes);

// A pointer data file and its side file travel in one fuzz input: a 32-bit
// little-endian length, that many bytes of data file (fewer when the input
// is shorter), then the side file.
struct FilePair {
  std::string_view data, side;
};
FilePair SplitPair(const std::uint8_t* bytes, std::size_t size);
std::string JoinPair(std::string_view data, std::string_view side);

}  // namespace fuzz
