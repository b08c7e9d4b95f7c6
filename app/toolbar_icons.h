#pragma once
#include <QImage>

// The small pictures of the main window's toolbar buttons, painted as
// vectors at the requested size.
namespace pictures {

enum class ToolIcon { Segment, Dictation, Records, Numbers, Settings, NewMaterials, Help, Quit };

QImage ToolbarIcon(ToolIcon which, int sizePixels);

}  // namespace pictures
