// The recovery writer on its own: when it writes, what the file holds, and
// that a failed write leaves the last good file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/codepage.h"
#include "records/pointer_file.h"
#include "records/recovery.h"
#include "tests/records/data_file_util.h"

namespace {

using namespace std::chrono_literals;

bool Eventually(const std::function<bool()>& cond) {
  for (int i = 0; i < 500 && !cond(); ++i) std::this_thread::sleep_for(10ms);
  return cond();
}

class Recovery : public ::testing::Test {
 protected:
  // Records in the file; -1 when it does not open.
  static int Kept(const std::string& file) {
    const datafile::PointerData data = datafile::ReadPointerData(file);
    return data.status == datafile::OpenStatus::kOpened ? int(data.records.size()) : -1;
  }

  TempFolder dir;
  std::string path = dir / "pointer/last.zsy";
  DrawRecord lesson[4] = {{op::kLine, {}, 1, 2, 3, 4, 5},
                          {op::kRect, {}, 6, 7, 8, 9, 0},
                          {op::kText, {}, 1, 1, 9, 9, 0},
                          {op::kPen, {}, 0, 0, 0, 3, 255}};
};

TEST_F(Recovery, AFirstCopyIsWrittenAtOnceABurstAfterItAsOneWriteAndAFailureKeepsTheLastGood) {
  CRecoveryWriter writer(path, 1h);
  writer.Keep(lesson, 1, {GBK("甲")});
  ASSERT_TRUE(Eventually([&] { return writer.Writes() == 1; }));
  EXPECT_TRUE(plat::FileExists(dir / "pointer/last.xyp"));
  writer.Keep(lesson, 2, {GBK("乙")});
  writer.Keep(lesson, 3, {});
  EXPECT_EQ(writer.Writes(), 1) << "the interval holds newer copies back";
  ASSERT_TRUE(writer.Flush(5s));
  EXPECT_EQ(std::pair(writer.Writes(), Kept(path)), std::pair(2, 3));
  EXPECT_FALSE(plat::FileExists(dir / "pointer/last.xyp")) << "a side file of gone texts";
  struct stat st;
  ASSERT_EQ(stat((dir / "pointer").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u) << "the folder made is private";
  {
    FileSizeLimit full(30);
    writer.Keep(lesson, 4, {});
    EXPECT_FALSE(writer.Flush(5s));
  }
  EXPECT_EQ(std::pair(writer.Failures(), Kept(path)), std::pair(1, 3)) << "the last good file";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "pointer"), {}), 1);

  CRecoveryWriter quick(dir / "quick.zsy", 50ms);
  quick.Keep(lesson, 1, {});
  quick.Keep(lesson, 2, {});
  EXPECT_TRUE(Eventually([&] { return Kept(dir / "quick.zsy") == 2; })) << "never written";
}

TEST_F(Recovery, TheEndWritesWhatWaitsAndTheNextRunMovesTheLessonAsideBeforeItsFirstWrite) {
  {
    CRecoveryWriter writer(path, 1h);
    writer.Keep(lesson, 1, {});
    ASSERT_TRUE(Eventually([&] { return writer.Writes() == 1; }));
    writer.Keep(lesson, 3, {GBK("甲")});
  }
  EXPECT_EQ(Kept(path), 3);
  CRecoveryWriter writer(path, 1h);
  writer.Keep(lesson, 0, {});
  EXPECT_TRUE(writer.Flush(5s));
  EXPECT_EQ(writer.Writes(), 0) << "an empty start overwrote the last lesson";
  writer.Keep(lesson, 2, {});
  ASSERT_TRUE(writer.Flush(5s));
  EXPECT_EQ(std::pair(Kept(path), Kept(dir / "pointer/previous.zsy")), std::pair(2, 3));
  EXPECT_EQ(datafile::ReadPointerData(dir / "pointer/previous.zsy").texts,
            std::list<std::string>{GBK("甲")});
}

TEST(RecoveryPath, TheDataHomeIsUsedWhenAbsoluteElseTheHomesLocalShare) {
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/";
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  setenv("HOME", "/home/t", 1);
  setenv("XDG_DATA_HOME", "/data/老师", 1);
  EXPECT_EQ(CRecoveryWriter::DefaultPath(), GBK("/data/老师/pointer/last.zsy"));
  for (const char* unusable : {"", "data"}) {
    setenv("XDG_DATA_HOME", unusable, 1);
    EXPECT_EQ(CRecoveryWriter::DefaultPath(), "/home/t/.local/share/pointer/last.zsy");
  }
  old ? setenv("XDG_DATA_HOME", saved.c_str(), 1) : unsetenv("XDG_DATA_HOME");
  setenv("HOME", home.c_str(), 1);
}

}  // namespace
