// The board keeps its drawing in the recovery file after every step, undo,
// redo, clear all and open, silently, and the normal open brings it back.
#include <chrono>
#include <filesystem>
#include <memory>

#include "platform/app.h"
#include "platform/codepage.h"
#include "records/pointer_file.h"
#include "records/recovery.h"
#include "tests/records/data_file_util.h"
#include "tests/support/board_fixture.h"

namespace {

using namespace std::chrono_literals;

class RecoveryOnBoard : public BoardTest {
 protected:
  void Use(const std::string& file) {
    auto owned = std::make_unique<CRecoveryWriter>(file, 1h);
    writer = owned.get();
    Board().KeepRecovery(std::move(owned));
  }
  void TearDown() override {
    Board().KeepRecovery(nullptr);
    BoardTest::TearDown();
  }
  void Step(const DrawRecord& r, const char* text = nullptr) {
    Board().AppendRecord(r);
    if (text) Board().m_texts.push_back(GBK(text));
    Board().Replay(0, Count(), false);
    Board().SnapshotBoard();
  }
  bool KeptAsShown() {
    plat::ProcessEvents();
    if (!writer->Flush(5s)) return false;
    const datafile::PointerData kept = datafile::ReadPointerData(path);
    return kept.texts == Board().m_texts &&
           datafile::EncodeRecords(kept.records.data(), int(kept.records.size())) ==
               datafile::EncodeRecords(g_records, Count());
  }

  TempFolder dir;
  std::string path = dir / "last.zsy";
  CRecoveryWriter* writer = nullptr;
};

TEST_F(RecoveryOnBoard, EveryChangeIsKeptSilentlyAndTheFileOpensAsDrawn) {
  WriteBytes(dir / "file", "x");
  Use(dir / "file/last.zsy");
  Step(Rec(op::kLine, 300, 200, 20, 30));
  plat::ProcessEvents();
  EXPECT_FALSE(writer->Flush(5s));
  EXPECT_TRUE(m_services.boxes.empty() && Count() == 1 && ShowsItsReplay())
      << "a failed write was reported";

  Use(path);
  Step(Rec(op::kText, 100, 100, 260, 160), "第一行");
  Step(Rec(op::kRect, 400, 300, 200, 250));
  EXPECT_TRUE(KeptAsShown());
  const Picture drawn = Snap();
  Board().OnUndo();
  EXPECT_TRUE(KeptAsShown()) << "undo";
  Board().OnRedo();
  EXPECT_TRUE(KeptAsShown()) << "redo";
  // A command that snapshots with the count at 0 for a moment.
  Board().m_nCount = 0;
  Board().SnapshotBoard();
  Board().m_nCount = 3;
  EXPECT_TRUE(KeptAsShown()) << "a passing state";
  // What a kill leaves, opened later.
  std::filesystem::copy_file(path, dir / "lesson.zsy");
  std::filesystem::copy_file(dir / "last.xyp", dir / "lesson.xyp");
  m_services.boxAnswers = {IDOK};
  Board().OnClearAll();
  EXPECT_TRUE(KeptAsShown()) << "clear all";
  m_services.fileAnswers = {dir / "lesson.zsy"};
  Board().SendCommand(ID_OPEN_DATA);
  EXPECT_TRUE(Count() == 3 && KeptAsShown() && CountDifferences(drawn, Snap()) == 0) << "open";
}

}  // namespace
