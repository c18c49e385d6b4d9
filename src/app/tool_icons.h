// The tool bar's icons, the program icon and the About picture, drawn
// here with QPainter: nothing to install, and they look the same under
// every desktop theme.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace modra {

enum class ToolIcon { kNew, kOpen, kSave, kCut, kCopy, kPaste, kResetView, kHelp };

QIcon MakeToolIcon(ToolIcon which);
QIcon ProgramIcon();
QPixmap AboutPicture();

}  // namespace modra
