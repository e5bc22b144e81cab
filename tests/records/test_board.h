#pragma once
// A board core drawing into a bitmap, with the record store and the style
// globals reset for each test.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/gdi.h"
#include "records/board_core.h"
#include "records/draw_routines.h"

constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0x0000FF, kGreen = 0x00FF00,
                   kBlue = 0xFF0000;

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
  // Pixels of the given colour inside [l, r) x [t, b), or on the whole board.
  int Count(COLORREF color, int l = 0, int t = 0, int r = INT_MAX, int b = INT_MAX) const {
    int n = 0;
    for (int y = t; y < std::min(b, m_bitmap.Height()); ++y)
      for (int x = l; x < std::min(r, m_bitmap.Width()); ++x) n += m_bitmap.GetPixel(x, y) == color;
    return n;
  }
  struct Px {
    int x, y;
    COLORREF colour;
  };
  void ExpectPixels(const std::vector<Px>& want) const {
    for (const Px& p : want) EXPECT_EQ(Pixel(p.x, p.y), p.colour) << "pixel " << p.x << "," << p.y;
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

  static DrawRecord Rec(char op, int f1 = 0, int f2 = 0, int f3 = 0, int f4 = 0, int f5 = 0) {
    DrawRecord r{};
    r.op = op;
    r.f1 = f1, r.f2 = f2, r.f3 = f3, r.f4 = f4, r.f5 = f5;
    return r;
  }
  // A record's opcode and fields, to compare whole records.
  static auto Fields(const DrawRecord& r) { return std::tuple(r.op, r.f1, r.f2, r.f3, r.f4, r.f5); }
  static auto Fields(const DrawStyle& s) {
    return std::tuple(s.penColor, s.brushColor, s.penStyle, s.penWidth, s.fill, s.outline,
                      s.faceName);
  }
  // Puts records straight into the store, as a file read would.
  static void Load(TestBoard& board, const std::vector<DrawRecord>& records) {
    for (std::size_t i = 0; i < records.size(); ++i) g_records[i] = records[i];
    board.m_nCount = int(records.size());
  }
};
