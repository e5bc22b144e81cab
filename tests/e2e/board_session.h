#pragma once
// The program on a shared server over the known picture, with a screenshot
// and the program's output kept when a test fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/harness.h"

namespace e2e {

inline const char kFrameTitle[] = "Corvale_Tavix";
inline const char kToolsBarTitle[] = "多媒体工具";
inline const char kPaletteTitle[] = "调色板";
inline const char kFontBarTitle[] = "字体";
inline const char kSaveLessonTitle[] = "把当前操作保存为数据文件";
inline const char kOpenTitle[] = "打开";
inline const char kReviewTitle[] = "复习控制 - 播放时按ESC键暂停";
inline const char kTempExitTitle[] = "请按Alt+1激活";
constexpr int kLineImage = 11;  // the line tool's button image

template <class Base = ::testing::Test>
class Session : public Base {
 protected:
  // The pointer rests on the middle of the board: the keyboard focus follows
  // it, and it stays clear of the bars near the top left.
  void Open(int width, int height) {
    std::string error;
    x_ = SharedServer(width, height, &error);
    ASSERT_NE(x_, nullptr) << error;
    x_->ShowPattern(0);
    ParkPointer();
    ASSERT_TRUE(x_->FindWindows(kFrameTitle).empty()) << "an instance is left from before";
  }
  // Starts the program and waits until the board and both bars are shown.
  void StartBoard(const Env& env = {}) {
    ASSERT_TRUE(x_->StartPointer(&pointer_, {}, env));
    ASSERT_TRUE(x_->WaitViewable(kFrameTitle)) << "the frame never appeared";
    ASSERT_TRUE(x_->WaitViewable(kToolsBarTitle)) << "the tool bar never appeared";
    ASSERT_TRUE(x_->WaitViewable(kPaletteTitle)) << "the palette bar never appeared";
  }
  void TearDown() override {
    if (::testing::Test::HasFailure()) {
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      std::printf("screenshot: %s\n", x_ ? x_->SaveScreenshot(info->name()).c_str() : "-");
      std::printf("program output:\n%s\n", pointer_.Log().c_str());
    }
    pointer_.Kill();
    if (!x_) return;
    for (unsigned long w : ownWindows_) x_->DestroyWindow(w);
    WaitUntil([&] { return x_->FindWindows(kFrameTitle).empty(); });
  }
  void Move(int x, int y) { x_->Xdotool({"mousemove", std::to_string(x), std::to_string(y)}); }
  void ParkPointer() { Move(x_->width() / 2, x_->height() / 2); }
  void Click(int x, int y) {
    Move(x, y);
    x_->Xdotool({"click", "1"});
  }
  // Clicks the tool bar button of image `image` once it is drawn enabled, at
  // `times` the size of its picture.
  bool ClickToolBarImage(int image, int times = 1) {
    const auto bar = x_->FindWindow(kToolsBarTitle);
    if (!bar) return false;
    std::map<int, std::pair<int, int>> at;
    const bool shown = WaitUntil([&] {
      at = FindToolBarImages(Crop(x_->Screenshot(), bar->rect), image + 1, times);
      return at.count(image) > 0;
    });
    if (shown)
      Click(bar->rect.x + at[image].first + 8 * times, bar->rect.y + at[image].second + 7 * times);
    return shown;
  }
  // A point of the palette bar given in its dialog units: the client area
  // starts inside the 2-pixel border, below the 17-pixel caption, and a unit
  // of the bar's 9-point font is 1.5 pixels.
  std::pair<int, int> PaletteAt(int ux, int uy) {
    const auto bar = x_->FindWindow(kPaletteTitle);
    if (!bar) return {-1, -1};
    return {bar->rect.x + 2 + ux * 3 / 2, bar->rect.y + 17 + uy * 3 / 2};
  }
  void ClickPalette(int ux, int uy) {
    const auto [x, y] = PaletteAt(ux, uy);
    Click(x, y);
  }
  // Right click away from the bars and the drawings, which shows the bars
  // a press hid.
  void ShowBarsAgain() {
    Move(900, 700);
    x_->Xdotool({"click", "3"});
    WaitUntil([&] { return BarsShown(); });
  }
  bool BarsShown() { return x_->Viewable(kToolsBarTitle) && x_->Viewable(kPaletteTitle); }
  // Rectangles of our floating bars that are on the screen now.
  std::vector<Rect> ShownBars() {
    std::vector<Rect> out;
    for (const char* t : {kToolsBarTitle, kPaletteTitle, kFontBarTitle})
      for (const auto& w : x_->FindWindows(t))
        if (w.viewable) out.push_back(w.rect);
    return out;
  }
  // Keyboard focus follows the pointer: rests it on the window, then types
  // each text, or presses each key given as "@name".
  bool TypeInto(const std::string& title, const std::vector<std::string>& keys) {
    if (!x_->WaitViewable(title)) return false;
    const auto w = x_->FindWindow(title);
    Move(w->rect.x + w->rect.w / 2, w->rect.y + 10);
    WaitUntil([] { return false; }, 300);  // the dialog takes the focus
    for (const std::string& k : keys) {
      // A character outside the keymap is typed by remapping a key, which the
      // program may see late at the default pace and then drop.
      const bool ascii = std::all_of(k.begin(), k.end(), [](char c) { return c > 0; });
      x_->Xdotool(k.size() > 1 && k[0] == '@' ? std::vector<std::string>{"key", k.substr(1)}
                  : ascii                     ? std::vector<std::string>{"type", k}
                          : std::vector<std::string>{"type", "--delay", "60", k});
    }
    return true;
  }
  // The known picture at the server's size.
  Picture Pattern(int variant = 0) const { return MakePattern(variant, x_->width(), x_->height()); }
  // Waits until the board, outside the bars shown and `over`, is `want`;
  // the first difference in `where`.
  bool BoardShows(const Picture& want, std::string* where = nullptr,
                  const std::vector<Rect>& over = {}) {
    return WaitUntil([&] {
      std::vector<Rect> masked = ShownBars();
      masked.insert(masked.end(), over.begin(), over.end());
      return CountDifferences(Masked(x_->Screenshot(), masked), Masked(want, masked), where) == 0;
    });
  }
  // The screen once two shots in a row agree.
  Picture Settled() {
    Picture shot = x_->Screenshot();
    WaitUntil([&] { return CountDifferences(std::exchange(shot, x_->Screenshot()), shot) == 0; });
    return shot;
  }
  // Ctrl+S or Ctrl+O and a path typed into the file dialog; true once the
  // dialog is gone. An older file is removed first: no overwrite question.
  bool SaveLesson(const std::string& path) {
    std::remove(path.c_str());
    x_->Xdotool({"key", "ctrl+s"});
    return TypeInto(kSaveLessonTitle, {path, "@Return"}) && x_->WaitNotViewable(kSaveLessonTitle);
  }
  bool OpenLesson(const std::string& path) {
    x_->Xdotool({"key", "ctrl+o"});
    return TypeInto(kOpenTitle, {path, "@Return"}) && x_->WaitNotViewable(kOpenTitle);
  }
  // The temporary exit sent from another process, its question answered
  // with `key`; true once the board is gone. The pointer rests on the middle.
  bool TemporaryExit(const std::string& key) {
    const bool gone = x_->RunPointer({"--command", "32832"}) == 0 &&
                      TypeInto(kTempExitTitle, {key}) && x_->WaitNotViewable(kTempExitTitle) &&
                      x_->WaitNotViewable(kFrameTitle);
    ParkPointer();
    return gone;
  }
  // Whether there is black within two rows of (x, y): a line of the
  // default pen.
  static bool BlackAround(const Picture& shot, int x, int y) {
    for (int d = -2; d <= 2; ++d)
      if (shot.At(x, y + d) == RGB(0, 0, 0)) return true;
    return false;
  }
  // A line with the line tool, once its middle shows.
  bool DrawLine(int x0, int y0, int x1, int y1) {
    Drag(x0, y0, x1, y1, 1);
    return WaitUntil([&] { return BlackAround(x_->Screenshot(), (x0 + x1) / 2, (y0 + y1) / 2); });
  }
  // A left-button drag through `steps` moves from (x0, y0) to (x1, y1).
  void Drag(int x0, int y0, int x1, int y1, int steps = 10) {
    Move(x0, y0);
    x_->Xdotool({"mousedown", "1"});
    for (int i = 1; i <= steps; ++i) Move(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    x_->Xdotool({"mouseup", "1"});
  }

  XServer* x_ = nullptr;
  Process pointer_;
  std::vector<unsigned long> ownWindows_;  // destroyed at the end
};

// The 1024 x 768 server with nothing started on it yet.
class ServerSession : public Session<> {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(Open(1024, 768)); }
};

// A running board on the 1024 x 768 server.
class BoardSession : public ServerSession {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ServerSession::SetUp());
    ASSERT_NO_FATAL_FAILURE(StartBoard());
  }
};

}  // namespace e2e
