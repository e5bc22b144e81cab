#pragma once
// A board core drawing into a bitmap, with the record store and the style
// globals reset for each test.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/gdi.h"
#include "records/board_core.h"
#include "records/draw_routines.h"

class TestBoard : public CBoardCore {
 public:
  explicit TestBoard(int width = 400, int height = 300) {
    m_bitmap.CreateBitmap(width, height);
    Clear(0xFFFFFF);
    ResetStyle(false);
  }

  void Clear(COLORREF color) {
    std::unique_ptr<CDC> dc = GetBoardDC();
    const RECT rc{0, 0, m_bitmap.Width(), m_bitmap.Height()};
    dc->FillSolidRect(&rc, color);
  }
  // Draws record i of the store as a replay would.
  void Draw(int i, const std::string& text = {}) {
    DrawRecordOn(*GetBoardDC(), *this, g_records[i], text);
  }
  COLORREF Pixel(int x, int y) const { return m_bitmap.GetPixel(x, y); }
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < m_bitmap.Height(); ++y)
      for (int x = 0; x < m_bitmap.Width(); ++x) all.push_back(m_bitmap.GetPixel(x, y));
    return all;
  }
  // Pixels of the given colour inside [l, r) x [t, b).
  int Count(COLORREF color, int l, int t, int r, int b) const {
    int n = 0;
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) n += m_bitmap.GetPixel(x, y) == color;
    return n;
  }

  std::unique_ptr<CDC> GetBoardDC() override {
    auto dc = std::make_unique<CDC>();
    dc->CreateCompatibleDC(nullptr);
    dc->SelectObject(&m_bitmap);
    return dc;
  }
  void SetToolCursor() override { cursorTools.push_back(m_nTool); }
  void TextBoxSetColor(COLORREF c) override { textColors.push_back(c); }
  void TextBoxSetBkColor(COLORREF c) override { textBkColors.push_back(c); }
  void TextBoxSetFont(CFont* f) override { textFonts.push_back(f); }

  CBitmap m_bitmap;
  std::vector<UINT> cursorTools;
  std::vector<COLORREF> textColors, textBkColors;
  std::vector<CFont*> textFonts;
};

// Each test starts from an empty store and the initial style.
class RecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(g_records, 0, sizeof g_records);
    MarkAllSlotsEmpty();
    g_style = DrawStyle{};
    g_styleSaved = DrawStyle{};
  }
  void TearDown() override { g_style = DrawStyle{}; }

  static DrawRecord Rec(char op, int f1 = 0, int f2 = 0, int f3 = 0, int f4 = 0, int f5 = 0) {
    DrawRecord r{};
    r.op = op;
    r.f1 = f1, r.f2 = f2, r.f3 = f3, r.f4 = f4, r.f5 = f5;
    return r;
  }
  // Puts records straight into the store, as a file read would.
  static void Load(TestBoard& board, const std::vector<DrawRecord>& records) {
    for (std::size_t i = 0; i < records.size(); ++i) g_records[i] = records[i];
    board.m_nCount = int(records.size());
  }
};
