// The pictures the editor ships: tool and tree icons, node pictures, the
// about box's picture.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>

namespace marvolt {

inline constexpr const char* kAboutPicture = ":/marvolt/about.jpg";

// The bytes of one resource file; empty when there is none.
QByteArray EditorResource(const char* path);

// Icons of the tool bar and the tree, 16x16: 0 new file, 1 open folder,
// 2 diskette, 3 arrow pointer, 4 link, 5 generator, 6 queue, 7 channel,
// 8 sink, 9 request type, 10 tree entry, 12 experiment, 13 undo, 14 redo. A
// null image for any other slot.
QImage ToolImage(int slot);
QIcon ToolIcon(int slot);

// Node pictures, 48x48: 0 generator, 1 queue, 2 channel, 3 sink.
QImage NodePicture(int slot);

// The program's own icon, for its windows; the desktop entry installs the
// same picture in more sizes.
QIcon ProgramIcon();

}  // namespace marvolt
