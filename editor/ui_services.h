// What a window needs of the outside world; the program hands in the real
// ones, tests their recording stand-ins.
#pragma once

#include "editor/clipboard_service.h"
#include "editor/color_dialog_service.h"
#include "editor/file_dialog_service.h"
#include "editor/message_service.h"

namespace marvolt {

struct UiServices {
    MessageService& messages;
    FileDialogService& fileDialogs;
    ClipboardService& clipboard;
    ColorDialogService& colors;
};

}  // namespace marvolt
