#pragma once

#include <QPixmap>

// Pictures of the tools' flat buttons, painted by code.
namespace ToolPictures {

QPixmap closePicture();  // "关闭": an open door with an arrow leaving it
QPixmap newPicture();    // "新建": a blank page with a folded corner
QPixmap openPicture();   // "打开文本": an open folder
QPixmap savePicture();   // "保存文本": a diskette
QPixmap helpPicture();   // "五笔帮助": a book marked 五

}  // namespace ToolPictures
