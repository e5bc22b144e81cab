// A pointer data file and its side file from the fuzzer, opened as the board
// opens one and drawn through the replay engine onto a small bitmap: hostile
// records meet the drawing code with their coordinates, sizes and texts.
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/gdi.h"
#include "records/board_core.h"
#include "records/pointer_file.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

class FuzzBoard : public CBoardCore {
 public:
  FuzzBoard() { m_bitmap.CreateBitmap(64, 48); }

 protected:
  std::unique_ptr<CDC> GetBoardDC() override {
    auto dc = std::make_unique<CDC>();
    dc->CreateCompatibleDC(nullptr);
    dc->SelectObject(&m_bitmap);
    return dc;
  }

 private:
  CBitmap m_bitmap;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::InitApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const fuzz::FilePair pair = fuzz::SplitPair(bytes, size);
  const std::string path = fuzz::WriteFile("lesson.zsy", pair.data);
  fuzz::WriteFile("lesson.xyp", pair.side);
  datafile::PointerData data = datafile::ReadPointerData(path);
  if (data.status != datafile::OpenStatus::kOpened) return 0;

  // Each input starts from an empty store and the initial style.
  MarkAllSlotsEmpty();
  g_style = DrawStyle{};
  g_styleSaved = DrawStyle{};
  FuzzBoard board;
  std::copy(data.records.begin(), data.records.end(), g_records);
  board.m_nCount = int(data.records.size());
  board.m_texts = std::move(data.texts);
  board.m_posText = board.m_texts.end();
  board.Replay(0, board.m_nCount, false);
  return 0;
}
