#pragma once
// Resource and command identifiers.

// Tools (command identifiers of the tool bar buttons).
constexpr unsigned ID_TOOL_FILL = 32001, ID_TOOL_BRUSH = 32002, ID_TOOL_PEN = 32003,
                   ID_TOOL_LINE = 32004, ID_TOOL_ARROW = 32005, ID_TOOL_POLYLINE = 32006,
                   ID_TOOL_RECT = 32007, ID_TOOL_ROUNDRECT = 32008, ID_TOOL_ELLIPSE = 32009,
                   ID_TOOL_TEXT = 32010, ID_TOOL_POINTER = 32011, ID_TOOL_MAGNIFY = 32012,
                   ID_TOOL_FLASH_AREA = 32013, ID_TOOL_FLASH_RECT = 32014,
                   ID_TOOL_FLASH_MARK = 32015, ID_TOOL_PICKCOLOR = 32016;

// Commands.
constexpr unsigned ID_OPEN_DATA = 32775, ID_SAVE_DATA = 32776, ID_UNDO = 32804,
                   ID_CLEAR_ALL = 32806, ID_REPLAY = 32807, ID_BACKGROUND_CYCLE = 32811,
                   ID_SAVE_PICTURE = 32818, ID_START = 32822, ID_FONT_NAME = 32824,
                   ID_FONT_SIZE = 32825, ID_FONT_BOLD = 32826, ID_FONT_ITALIC = 32827,
                   ID_FONT_UNDERLINE = 32828, ID_MENU_POPUP = 32831, ID_TEMP_EXIT = 32832,
                   ID_TRANSPARENT = 32833, ID_LOAD_PICTURE = 32841, ID_REDO = 32842,
                   ID_APP_ABOUT = 57664, ID_APP_EXIT = 57665;
// Sharing the board with the class: on/off, and the address with its QR
// code shown or hidden. Only --command and the sharing mark reach them.
constexpr unsigned ID_SHARE = 32850, ID_SHARE_ADDRESS = 32851;

// Resources.
constexpr unsigned IDR_MAINFRAME = 128, IDB_TOOLBAR = 137, IDR_FONTBAR = 232, IDB_FONTTYPE = 234,
                   IDD_PALETTEBAR = 103, IDD_REPLAY = 217, IDD_ABOUTBOX = 100,
                   IDS_PICTURE_FILTER = 61204, IDM_REPLAY = 249;

// Child windows.
constexpr unsigned AFX_IDW_PANE_FIRST = 0xE900, AFX_IDW_TOOLBAR = 0xE800, IDC_TEXTBOX = 109,
                   IDC_SHARE_MARK = 110;

// Global hot key.
constexpr int HOTKEY_ACTIVATE = 2001;

// Cursors.
constexpr unsigned IDC_POINTER = 166, IDC_LINE = 159, IDC_PEN = 165, IDC_RECT = 242,
                   IDC_MAGNIFY = 171, IDC_PICKCOLOR = 177, IDC_BRUSH = 176, IDC_FILL = 178,
                   IDC_FLASH_MARK = 184, IDC_FORBIDDEN = 191, IDC_TEXT = 239, IDC_ARROW = 240,
                   IDC_POLYLINE = 241, IDC_ROUNDRECT = 243, IDC_ELLIPSE = 244, IDC_FLASH_RECT = 245,
                   IDC_FLASH_AREA = 246, IDC_FULL = 247;
