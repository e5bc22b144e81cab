#pragma once
// The viewer page and its assets, built into the program (res/share/).
#include <cstddef>
#include <vector>

struct PageAsset {
  const char* name;  // path after the join code ("" for the page itself)
  const char* type;  // media type, all UTF-8 text
  const unsigned char* data;
  std::size_t size;
};

const std::vector<PageAsset>& PageAssets();
