// Stand-ins for the boxes, file dialogs, the clipboard and the colour dialog: they record what a
// window showed and answer as the test told them.
#pragma once

#include <QImage>
#include <QString>

#include <deque>
#include <vector>

#include "editor/ui_services.h"

namespace marvolt::test {

struct ShownMessage {
    QString caption;
    MessageIcon icon;
    QString text;
    int buttons;
};

class RecordingMessages final : public MessageService {
  public:
    // Answered in order; an unanswered box gets No when it offers No, else OK.
    std::deque<MessageButton> answers;
    std::vector<ShownMessage> shown;

    MessageButton Show(const QString& caption, MessageIcon icon, const QString& text,
                       int buttons) override {
        shown.push_back({caption, icon, text, buttons});
        if (!answers.empty()) {
            const MessageButton a = answers.front();
            answers.pop_front();
            return a;
        }
        return (buttons & kButtonNo) ? kButtonNo : kButtonOk;
    }
};

class RecordingFileDialogs final : public FileDialogService {
  public:
    // Answered in order; an unanswered dialog is cancelled.
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    int opened = 0;
    int saved = 0;
    std::vector<FileDialogRequest> requests;

    QString OpenFileName(const FileDialogRequest& request) override {
        ++opened;
        return Next(request, openAnswers);
    }
    QString SaveFileName(const FileDialogRequest& request) override {
        ++saved;
        return Next(request, saveAnswers);
    }

  private:
    QString Next(const FileDialogRequest& request, std::deque<QString>& answers) {
        requests.push_back(request);
        if (answers.empty())
            return {};
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct FormattedContent {
    QString html;
    QByteArray rtf;
    QString text;
};

class RecordingClipboard final : public ClipboardService {
  public:
    std::vector<QImage> images;
    std::vector<QString> texts;
    std::vector<FormattedContent> formatted;
    // A clipboard that will not take formatted content.
    bool refuseFormatted = false;

    void SetImage(const QImage& image) override { images.push_back(image); }
    void SetText(const QString& text) override { texts.push_back(text); }
    bool SetFormatted(const QString& html, const QByteArray& rtf, const QString& text) override {
        if (refuseFormatted)
            return false;
        formatted.push_back({html, rtf, text});
        return true;
    }
};

class RecordingColors final : public ColorDialogService {
  public:
    // Answered in order; an unanswered dialog is cancelled.
    std::deque<QColor> answers;
    std::vector<QColor> initial;

    std::optional<QColor> PickColor(const QColor& start) override {
        initial.push_back(start);
        if (answers.empty())
            return std::nullopt;
        const QColor a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct RecordingServices {
    RecordingMessages messages;
    RecordingFileDialogs fileDialogs;
    RecordingClipboard clipboard;
    RecordingColors colors;

    UiServices services() { return {messages, fileDialogs, clipboard, colors}; }
};

}  // namespace marvolt::test
