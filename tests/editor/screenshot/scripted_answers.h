// What the screenshot drivers answer: the open dialog with the model, every
// box with No (or OK), and each box is reported on stderr.
#pragma once

#include <cstdio>

#include "editor/file_dialog_service.h"
#include "editor/message_service.h"

namespace marvolt::screenshot {

class ScriptedAnswers final : public MessageService, public FileDialogService {
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

    bool failed = false;

  private:
    QString model_;
};

}  // namespace marvolt::screenshot
