#include "editor/add_object_form.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "editor/logic/model_commands.h"
#include "editor/message_service.h"

namespace marvolt {

TAddObjectForm::TAddObjectForm(MessageService& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setObjectName(QStringLiteral("AddObjectForm"));
    setWindowTitle(QStringLiteral("Добавить объект"));
    setFixedSize(317, 133);

    Label1 = new QLabel(QStringLiteral("Название объекта"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(14, 12, 289, 16);

    NameEdit = new QLineEdit(this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameEdit->setGeometry(14, 32, 289, 24);
    NameEdit->installEventFilter(this);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(60, 84, 90, 30);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TAddObjectForm::accept);

    BitBtn2 = new QPushButton(QStringLiteral("Отмена"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(166, 84, 90, 30);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, &TAddObjectForm::reject);
}

void TAddObjectForm::FormShow() {
    NameEdit->setFocus();
    NameEdit->selectAll();
}

void TAddObjectForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TAddObjectForm::Prepare(const QString& caption, const QString& label, bool typeMode,
                             const CQueuingSystem* names, const QString& proposed) {
    setWindowTitle(caption);
    Label1->setText(label);
    requestTypeMode = typeMode;
    model = names;
    NameEdit->setText(proposed);
}

bool TAddObjectForm::NameEditExit() {
    const std::string refusal =
        edit::NameDialogRefusal(NameEdit->text().toStdString(), requestTypeMode, model);
    if (refusal.empty())
        return true;
    const QString message = QString::fromStdString(refusal);
    // The answer of this box is not used.
    messages_.Show(kCaptionWarning, MessageIcon::kWarning, message, kButtonYes | kButtonNo);
    NameEdit->setFocus();
    return false;
}

bool TAddObjectForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == NameEdit && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // The focus has already moved on: a press on "Отмена" closes the dialog
        // without judging a name that will never be used, and OK judges it itself.
        // Leaving with the keyboard is still checked.
        const QWidget* next = QApplication::focusWidget();
        const bool toOwnButton =
            reason == Qt::MouseFocusReason && (next == BitBtn1 || next == BitBtn2);
        // A box or menu over the dialog does not mean the user left the field.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            !toOwnButton && !checkPending_) {
            // Checked once the press that moved the focus is over: a press on
            // "Отмена" then closes the dialog without a warning about a name
            // that will never be used, and a press on OK checks only once.
            checkPending_ = true;
            QTimer::singleShot(0, this, &TAddObjectForm::CheckAfterLeaving);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAddObjectForm::CheckAfterLeaving() {
    if (!checkPending_)
        return;
    checkPending_ = false;
    if (isVisible())
        NameEditExit();
}

void TAddObjectForm::accept() {
    checkPending_ = false;
    if (!NameEditExit())
        return;
    QDialog::accept();
}

void TAddObjectForm::reject() {
    checkPending_ = false;
    QDialog::reject();
}

}  // namespace marvolt
