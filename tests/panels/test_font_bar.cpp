// The font bar: the face list built from enumerated fonts, its preview
// mode, and what each choice records.
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>

#include "panels/font_bar.h"
#include "panels/font_combo.h"
#include "panels/font_sizes.h"
#include "platform/codepage.h"
#include "platform/desktop.h"
#include "platform/fonts.h"
#include "tests/support/board_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// A face list over fonts the test chooses.
class InjectedCombo : public CFontCombo {
 public:
  std::vector<std::tuple<const char*, DWORD, BYTE>> fonts;  // UTF-8 name, type, set
  int choices = 0;
  void OnSelChange() override {
    ++choices;
    CFontCombo::OnSelChange();
  }

 protected:
  void EnumerateFonts() override {
    for (const auto& [name, type, charSet] : fonts) {
      LOGFONT lf;
      lf.lfFaceName = GBK(name);
      lf.lfCharSet = charSet;
      OnEnumFont(lf, type);
    }
  }
};

std::vector<std::string> Items(const CComboBox& box) {
  std::vector<std::string> out(size_t(box.GetCount()));
  for (int i = 0; i < box.GetCount(); ++i) box.GetLBText(i, out[size_t(i)]);
  return out;
}

class FontBarTest : public BoardTest {
 protected:
  // A face list as the font bar makes it, filled.
  template <class Combo>
  static Combo& Filled(Combo& box, UINT id) {
    box.Create(WS_CHILD | CBS_DROPDOWN | CBS_OWNERDRAWFIXED | CBS_SORT | CBS_HASSTRINGS,
               CRect(0, 0, 160, 300), &Frame(), id);
    box.FillFontList();
    return box;
  }
  // Every test starts from an empty settings store of this run's own.
  void SetUp() override {
    BoardTest::SetUp();
    static const TempFolder dir("pointer-fonts");
    setenv("POINTER_REGISTRY_DIR", dir.path.c_str(), 1);
    fs::remove_all(m_store = fs::path(dir.path) / "HKEY_LOCAL_MACHINE");
  }

  static InjectedCombo& NameBox() {
    static InjectedCombo* box = [] {
      auto* b = new InjectedCombo;  // kept: its commands stay in the board's map
      b->fonts = {{"@宋体", TRUETYPE_FONTTYPE, GB2312_CHARSET},
                  {"Courier", RASTER_FONTTYPE, ANSI_CHARSET},
                  {"Arial", TRUETYPE_FONTTYPE, ANSI_CHARSET},
                  {"Arial", TRUETYPE_FONTTYPE, GREEK_CHARSET},
                  {"宋体", TRUETYPE_FONTTYPE, GB2312_CHARSET},
                  {"Zeta", DEVICE_FONTTYPE, ANSI_CHARSET},
                  {"@Ghost", TRUETYPE_FONTTYPE, ANSI_CHARSET},
                  {"Symbol", TRUETYPE_FONTTYPE, SYMBOL_CHARSET},
                  {"한글", TRUETYPE_FONTTYPE, HANGUL_CHARSET}};
      return &Filled(*b, ID_FONT_NAME);
    }();
    return *box;
  }
  static CComboBox& SizeBox() {
    static CComboBox* box = [] {
      auto* b = new CComboBox;
      b->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(170, 0, 240, 500), &Frame(),
                ID_FONT_SIZE);
      for (const FontSize& s : kFontSizes) b->AddString(GBK(s.label));
      InstallFontCommands(Board(), NameBox(), *b);
      return b;
    }();
    return *box;
  }
  static void Command(UINT id) {
    SizeBox();
    Board().OnCmdMsg(id, CN_COMMAND, nullptr);
  }
  static int Checked(UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    Board().OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui);
    return ui.m_nCheck;
  }
  // A fresh list over the injected fonts, reading the preview setting anew.
  std::unique_ptr<InjectedCombo> FreshList() {
    auto b = std::make_unique<InjectedCombo>();
    Filled(*b, ID_FONT_NAME + 100);
    return b;
  }

  fs::path m_store;
};

TEST_F(FontBarTest, EveryVerticalFaceStandsOnceAtTheTopWithoutItsAt) {
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
      {{"B", "@B", "@A", "C", "A"}, {"A", "B", "C"}},
      {{"@X", "X"}, {"X"}},  // the last item too
      // A vertical face without its twin; "@@x" whose twin is itself vertical.
      {{"@@x", "@Q", "@x", "x"}, {"@x", "Q", "x"}},
  };
  for (const auto& [in, out] : cases) {
    CComboBox box;
    box.Create(WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT, CRect(0, 0, 99, 99), &Frame(), 1);
    for (const std::string& name : in) box.AddString(name);
    MergeVerticalTwins(box);
    EXPECT_EQ(Items(box), out) << testing::PrintToString(in);
  }
}

TEST_F(FontBarTest, TheListHoldsNonRasterFacesOnceSelectsSongTiAndRecordsAChoiceButNotTyping) {
  InjectedCombo& box = NameBox();
  EXPECT_EQ(Items(box), (std::vector<std::string>{"Ghost", GBK("宋体"), "Arial", "Symbol", "Zeta",
                                                  GBK("한글")}));
  EXPECT_EQ(box.GetCurSel(), 1);
  const CFontEntry* arial = box.FindEntry(GBK("Arial"));
  EXPECT_TRUE(arial && arial->m_bTrueType && arial->m_nCharSet == 0) << "the first set counts";
  EXPECT_EQ(box.FindEntry(GBK("Zeta"))->m_bTrueType, 0);
  EXPECT_EQ(box.FindEntry(GBK("Courier")), nullptr);

  // A chosen face is recorded in GBK, keeping characters outside GBK.
  box.SetCurSel(1);
  Command(ID_FONT_NAME);
  EXPECT_EQ(g_style.faceName, GBK("宋体"));
  box.SetCurSel(5);
  Command(ID_FONT_NAME);
  ASSERT_EQ(Count(), 1) << "two face choices make one font record";
  EXPECT_EQ(Board().m_texts, std::list<std::string>{GBK("한글")});
  EXPECT_EQ(plat::Utf8FromGbk(Board().m_logFont.lfFaceName), "한글");

  // Typing into the edit field chooses nothing.
  box.choices = 0;
  auto* edit = box.GetWidget()->findChild<QLineEdit*>();
  ASSERT_NE(edit, nullptr);
  edit->setText(QStringLiteral("Arial"));
  emit edit->returnPressed();
  emit edit->editingFinished();
  EXPECT_EQ(box.choices, 0);
  EXPECT_NE(box.GetCurSel(), 2);
}

TEST_F(FontBarTest, SizesSetTheTableHeightAndFourNinthsOfItAsWidth) {
  CComboBox& sizes = SizeBox();
  for (const auto& [label, height, width] :
       {std::tuple("128", 144, 64), std::tuple("48", 60, 26), std::tuple("初号", 56, 24)}) {
    sizes.SelectString(-1, GBK(label));
    Command(ID_FONT_SIZE);
    EXPECT_EQ(std::pair(Board().m_logFont.lfHeight, Board().m_logFont.lfWidth),
              std::pair(LONG(height), LONG(width)))
        << label;
    EXPECT_EQ(g_records[Count() - 1].f3, height);
  }
  EXPECT_EQ(Count(), 1);
}

TEST_F(FontBarTest, BoldTwiceCoalescesIntoOneFontRecordAndTheButtonsShowTheFlags) {
  Command(ID_FONT_BOLD);
  EXPECT_EQ(std::pair(g_records[0].f4, Checked(ID_FONT_BOLD)), std::pair(700, 1));
  Command(ID_FONT_BOLD);
  EXPECT_EQ(std::tuple(Count(), g_records[0].op, Board().m_texts.size()),
            std::tuple(1, op::kFont, size_t(1)));
  EXPECT_EQ(std::pair(g_records[0].f4, Checked(ID_FONT_BOLD)), std::pair(0, 0));

  for (int on : {1, 0}) {
    Command(ID_FONT_ITALIC);
    Command(ID_FONT_UNDERLINE);
    EXPECT_EQ(std::tuple(g_records[0].f2, g_records[0].f1, Checked(ID_FONT_ITALIC),
                         Checked(ID_FONT_UNDERLINE)),
              std::tuple(on, on, on, on));
  }
}

TEST_F(FontBarTest, PreviewFollowsTheStoredValueAndAMissingKeyIsCreatedWithPreviewOn) {
  EXPECT_TRUE(FreshList()->m_bPreview);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\RadeZoza", 0, KEY_READ | KEY_WRITE, &key),
            ERROR_SUCCESS);
  DWORD value = 0, type = 0, size = 4;
  ASSERT_EQ(RegQueryValueEx(key, "Value", &type, &value, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::pair(type, value), std::pair(REG_DWORD, DWORD(1)));
  char writer[16] = {};
  size = sizeof writer;
  ASSERT_EQ(RegQueryValueEx(key, "Writer", &type, writer, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::tuple(type, size, std::string(writer)), std::tuple(REG_SZ, 9u, "Orin_TAK"));
  value = 0;
  ASSERT_EQ(RegSetValueEx(key, "Value", REG_DWORD, &value, 4), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_FALSE(FreshList()->m_bPreview);
  fs::remove(m_store / "software/radezoza/=value");
  EXPECT_TRUE(FreshList()->m_bPreview) << "a missing value means preview";
}

TEST_F(FontBarTest, TheHiddenCodeInAnyCaseSwitchesBetweenPreviewAndPlainItems) {
  auto box = FreshList();
  const auto items = [&] { return std::pair(box->GetItemHeight(0), box->GetDroppedWidth()); };
  box->OnDropDown();
  EXPECT_EQ(items(), std::pair(24, 300));
  for (const char* code : {"riziru", "RIZIRUx", "RiZiRu"}) {
    box->SetWindowText(code);
    box->OnDropDown();
  }
  EXPECT_EQ(items(), std::pair(24, 300)) << "twice switched, once not";
  box->OnDropDown();
  EXPECT_EQ(items(), std::pair(box->m_nItemHeight, box->m_nDropWidth));
  EXPECT_GT(box->m_nItemHeight, 0);
}

TEST_F(FontBarTest, TheInstalledFacesAreListedWithSongTiSelected) {
  CFontCombo box;
  const std::vector<std::string> items = Items(Filled(box, ID_FONT_NAME + 101));
  for (const std::string& face : items) EXPECT_NE(face[0], '@') << face;
  ASSERT_GT(box.GetCurSel(), -1);
  EXPECT_EQ(items[size_t(box.GetCurSel())], GBK("宋体"));
  const CFontEntry* uming = box.FindEntry("AR PL UMing CN");
  EXPECT_TRUE(uming && uming->m_bTrueType) << "the CJK face the scripts install, marked";
}

}  // namespace
