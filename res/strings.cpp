// The string table. A tool bar command's entry is "status text\ntool tip";
// where no separate status text was written the tip serves as both.
#include <cstddef>

#include "res/res.h"
#include "res/tables.h"

namespace res {
namespace {

const StringEntry kStrings[] = {
    {128, "Corvale_Tavix"},
    {32831, "相关菜单命令\n相关菜单命令"},
    {32833, "透明显示\n透明显示"},
    {32832, "临时退出 [ALT+1]\n临时退出 [ALT+1]"},
    {32011, "标准指针\n标准指针"},
    {32811, "白屏->黑屏->末图->首图\n白屏->黑屏->末图->首图"},
    {32013, "闪烁不规则块\n闪烁不规则块"},
    {32014, "闪烁矩形块\n闪烁矩形块"},
    {32012, "放大[左点击]\n放大/缩小[左/右键]"},
    {32001, "以当前背景色填充\n以当前背景色填充"},
    {32002, "面状画笔\n面状画笔"},
    {32003, "画笔\n画笔"},
    {32004, "线段\n线段"},
    {32005, "尾部带箭头的线段\n尾部带箭头的线段"},
    {32006, "折线\n折线"},
    {32007, "矩形\n矩形"},
    {32008, "圆角矩形\n圆角矩形"},
    {32009, "椭圆\n椭圆"},
    {32015, "闪烁标记\n闪烁标记"},
    {32016, "取鼠标左/右点击处颜色为前/背景色\n取鼠标左/右点击处颜色为前/背景色"},
    {32010, "输入文字\n输入文字"},
    {32804, "撤销最后一步作图操作\n撤销最后一步作图操作"},
    {32842, "恢复刚才所作的撤销\n恢复刚才所作的撤销"},
    {32806, "清除全部作图记录\n清除全部作图记录"},
    {32807, "回放作图记录\n回放作图记录"},
    // The file dialogs' filter, kept byte for byte as written, blanks included.
    {61204,
     "JPEG 格式图片文件 (*.jpg;*.jpeg)|*.jpg;* .jpeg|BMP 格式图片文件(*.bmp;*.dib)|*.bmp; "
     "*.dib||"},
};

}  // namespace

std::span<const StringEntry> Strings() { return kStrings; }

const char* String(unsigned id) {
  for (const StringEntry& e : kStrings) {
    if (e.id == id) return e.text;
  }
  return nullptr;
}

}  // namespace res
