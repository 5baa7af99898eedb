#include "editor/message_service.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace marvolt {

void ShowWarning(MessageService& messages, const QString& text) {
    messages.Show(kCaptionWarning, MessageIcon::kWarning, text, kButtonOk);
}

void ShowError(MessageService& messages, const QString& text) {
    messages.Show(kCaptionError, MessageIcon::kWarning, text, kButtonOk);
}

void ShowRefusal(MessageService& messages, const Refusal& refusal) {
    const QString text = QString::fromStdString(refusal.text);
    switch (refusal.box) {
        case RefusalBox::kNone:
            break;
        case RefusalBox::kWarning:
            ShowWarning(messages, text);
            break;
        case RefusalBox::kNotice:
            messages.Show(kCaptionNotice, MessageIcon::kInformation, text, kButtonOk);
            break;
        case RefusalBox::kNoticeWarning:
            messages.Show(kCaptionNotice, MessageIcon::kWarning, text, kButtonOk);
            break;
        case RefusalBox::kError:
            ShowError(messages, text);
            break;
    }
}

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kInformation:
            return QMessageBox::Information;
        case MessageIcon::kWarning:
            return QMessageBox::Warning;
        case MessageIcon::kError:
            return QMessageBox::Critical;
        case MessageIcon::kQuestion:
            return QMessageBox::Question;
        case MessageIcon::kNone:
            break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonText {
    MessageButton ours;
    QMessageBox::StandardButton qt;
    const char* text;
};

// The program speaks Russian whatever translations the machine has.
constexpr ButtonText kButtons[] = {
    {kButtonOk, QMessageBox::Ok, "OK"},
    {kButtonYes, QMessageBox::Yes, "Да"},
    {kButtonNo, QMessageBox::No, "Нет"},
    {kButtonCancel, QMessageBox::Cancel, "Отмена"},
};

}  // namespace

MessageButton QtMessageService::Show(const QString& caption, MessageIcon icon, const QString& text,
                                     int buttons) {
    QMessageBox box(BoxIcon(icon), caption, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    for (const ButtonText& b : kButtons) {
        if (buttons & b.ours)
            box.addButton(b.qt)->setText(QString::fromUtf8(b.text));
    }
    if (buttons & kButtonCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    const int pressed = box.exec();
    for (const ButtonText& b : kButtons) {
        if (pressed == b.qt)
            return b.ours;
    }
    // Closed without a button: the mildest answer the box offers.
    if (buttons & kButtonCancel)
        return kButtonCancel;
    if (buttons & kButtonNo)
        return kButtonNo;
    return kButtonOk;
}

}  // namespace marvolt
