// What the screenshot drivers answer: the open dialog with the model, every
// box with No (or OK), the colour dialog with cancel; each box is reported on stderr.
#pragma once

#include <cstdio>

#include "editor/color_dialog_service.h"
#include "editor/file_dialog_service.h"
#include "editor/message_service.h"

namespace marvolt::screenshot {

class ScriptedAnswers final : public MessageService,
                              public FileDialogService,
                              public ColorDialogService {
  public:
    explicit ScriptedAnswers(QString model) : model_(std::move(model)) {}

    MessageButton Show(const QString& caption, MessageIcon, const QString& text, int) override {
        std::fprintf(stderr, "box \"%s\": %s\n", qPrintable(caption), qPrintable(text));
        if (caption == kCaptionError)
            failed = true;
        return kButtonNo;
    }
    QString OpenFileName(const FileDialogRequest&) override { return model_; }
    QString SaveFileName(const FileDialogRequest&) override { return {}; }
    std::optional<QColor> PickColor(const QColor&) override { return std::nullopt; }

    bool failed = false;

  private:
    QString model_;
};

}  // namespace marvolt::screenshot
