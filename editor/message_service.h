// Every message box of the program passes through here, so tests can answer
// the boxes and read what they said.
#pragma once

#include <QString>

#include "editor/logic/model_commands.h"

class QWidget;

namespace marvolt {

enum class MessageIcon { kNone, kInformation, kWarning, kQuestion, kError };

// Buttons of a box; Show answers the one pressed.
enum MessageButton : int {
    kButtonOk = 1,
    kButtonYes = 2,
    kButtonNo = 4,
    kButtonCancel = 8,
};

// The captions that name each class of message.
inline const QString kCaptionWarning = QStringLiteral("Предупреждение");
inline const QString kCaptionError = QStringLiteral("Ошибка");
inline const QString kCaptionNotice = QStringLiteral("Сообщение");
inline const QString kCaptionConfirmDelete = QStringLiteral("Подтверждение удаления");
inline const QString kCaptionResult = QStringLiteral("Результат");
inline const QString kCaptionExperimentResult = QStringLiteral("Результат эксперимента");

class MessageService {
  public:
    virtual ~MessageService() = default;
    // A modal box; buttons is a combination of MessageButton values.
    virtual MessageButton Show(const QString& caption, MessageIcon icon, const QString& text,
                               int buttons) = 0;
};

// The rejected-input and refused-action box: "Предупреждение", warning icon, OK.
void ShowWarning(MessageService& messages, const QString& text);
// The failed file or clipboard operation box: "Ошибка", warning icon, OK.
void ShowError(MessageService& messages, const QString& text);
// A refusal of the model commands in its box, with one OK button; nothing
// for no refusal.
void ShowRefusal(MessageService& messages, const Refusal& refusal);

class QtMessageService final : public MessageService {
  public:
    MessageButton Show(const QString& caption, MessageIcon icon, const QString& text,
                       int buttons) override;
};

}  // namespace marvolt
