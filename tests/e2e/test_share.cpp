// The board shared with a real browser: what the teacher draws with real
// input shows on the page pixel for pixel; undo and clear all follow; a late
// student sees the whole board; a wrong join code gets no page; stopping the
// share tells the page so, and turning it on again brings the page back.
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>

#include "res/resource.h"
#include "tests/e2e/board_session.h"
#include "tests/e2e/browser_page.h"

namespace {

using e2e::Rect;

class Sharing : public e2e::Session<> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Open(1024, 768));
    ASSERT_TRUE(x_->StartPointer(&pointer_, {"--share=127.0.0.1:0"}));
    ASSERT_TRUE(x_->WaitViewable(e2e::kToolsBarTitle)) << "the board never appeared";
    std::smatch m;
    ASSERT_TRUE(e2e::WaitUntil([&] {
      log_ = pointer_.Log();
      return std::regex_search(log_, m, std::regex("sharing the board at (http://\\S+)"));
    })) << "no address printed";
    url_ = m[1];
  }

  // What lies over the board for the teacher only: the sharing mark (a
  // window of its own over the bottom left corner) and the bars.
  std::vector<Rect> Over() {
    std::vector<Rect> over{kMark};
    for (const char* bar : {e2e::kToolsBarTitle, e2e::kPaletteTitle})
      if (auto w = x_->FindWindow(bar); w && w->viewable) over.push_back(w->rect);
    return over;
  }
  // Success once the page shows exactly the board.
  ::testing::AssertionResult PageShowsTheBoard(e2e::BrowserPage& page) {
    std::string where;
    int differ = 0;
    if (e2e::WaitUntil([&] {
          const std::vector<Rect> over = Over();
          differ = CountDifferences(e2e::Masked(page.Pixels(), over),
                                    e2e::Masked(x_->Screenshot(), over), &where);
          return differ == 0;
        }))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differ << " pixels differ, " << where;
  }
  void Command(unsigned id) { ASSERT_EQ(x_->RunPointer({"--command", std::to_string(id)}), 0); }

  // Answers the message box (captioned as the board is) with Enter.
  void Confirm() {
    const auto box = [&]() -> std::optional<e2e::WindowInfo> {
      for (const auto& w : x_->FindWindows(e2e::kFrameTitle))
        if (w.viewable && w.rect.w < x_->width()) return w;
      return std::nullopt;
    };
    std::optional<e2e::WindowInfo> shown;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (shown = box()).has_value(); })) << "no question";
    Move(shown->rect.x + shown->rect.w / 2, shown->rect.y + 10);  // the focus follows the pointer
    x_->Xdotool({"key", "Return"});
    e2e::WaitUntil([&] { return !box(); });
    ParkPointer();
  }

  static constexpr Rect kMark{0, 768 - 40, 120, 40};
  std::string log_, url_;
};

TEST_F(Sharing, ThePageFollowsTheBoardPixelForPixelHearsWhenSharingStopsAndComesBack) {
  e2e::BrowserPage student;
  std::string error;
  ASSERT_TRUE(student.Start(&error)) << error;
  ASSERT_EQ(student.Ask("open " + url_), "ok");

  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  Drag(400, 300, 600, 400);
  ASSERT_TRUE(x_->WaitNotViewable(e2e::kToolsBarTitle));
  Drag(100, 600, 900, 120, 30);
  EXPECT_TRUE(PageShowsTheBoard(student)) << "after two lines";

  x_->Xdotool({"key", "ctrl+z"});
  EXPECT_TRUE(PageShowsTheBoard(student)) << "after undo";

  // A student who comes late sees the whole board at once.
  e2e::BrowserPage late;
  ASSERT_TRUE(late.Start(&error)) << error;
  ASSERT_EQ(late.Ask("open " + url_), "ok");
  EXPECT_TRUE(PageShowsTheBoard(late)) << "the late student's page";

  Command(ID_CLEAR_ALL);
  ASSERT_NO_FATAL_FAILURE(Confirm());
  EXPECT_TRUE(PageShowsTheBoard(student)) << "after clear all";
  EXPECT_TRUE(PageShowsTheBoard(late)) << "the late student's page after clear all";

  // Without the right join code there is no page.
  const std::string wrong = std::regex_replace(url_, std::regex("/[a-z0-9]+/$"), "/wrongcode/");
  EXPECT_EQ(late.Ask("open " + wrong), "status 404");

  Command(ID_SHARE);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    return student.Ask("state").rfind("stopped 老师已停止共享", 0) == 0;
  })) << student.Ask("state");
  EXPECT_NE(pointer_.Log().find("sharing stopped"), std::string::npos);

  // Turned on again, sharing keeps its address: the open page comes back.
  Command(ID_SHARE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return student.Ask("state") == "live "; }))
      << student.Ask("state");
  EXPECT_TRUE(PageShowsTheBoard(student)) << "after sharing came back";
}

}  // namespace
