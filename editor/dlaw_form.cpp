#include "editor/dlaw_form.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "editor/law_editor.h"

namespace marvolt {

TDLawForm::TDLawForm(MessageService& messages, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DLawForm"));
    setWindowTitle(QStringLiteral("Закон распределения"));
    setFixedSize(297, 212);

    DLawGroupBox = new LawEditor(messages, this);
    DLawGroupBox->setGeometry(8, 8, 281, 153);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(52, 172, 90, 30);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TDLawForm::BitBtn1Click);

    BitBtn2 = new QPushButton(QStringLiteral("Отмена"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(156, 172, 90, 30);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, &TDLawForm::reject);

    DLawGroupBox->ExemptFromChecks(BitBtn1);
    DLawGroupBox->ExemptFromChecks(BitBtn2);
}

LawRecord& TDLawForm::dialogLaw() {
    return DLawGroupBox->dialogLaw;
}

void TDLawForm::SetAllowZeroConstant(bool allow) {
    DLawGroupBox->allowZeroConstant = allow;
}

bool TDLawForm::allowZeroConstant() const {
    return DLawGroupBox->allowZeroConstant;
}

bool TDLawForm::EditLaw(LawRecord& law, bool serviceTime) {
    dialogLaw() = law;
    SetAllowZeroConstant(serviceTime);
    if (exec() != QDialog::Accepted)
        return false;
    law = dialogLaw();
    return true;
}

void TDLawForm::RefreshLaw() {
    DLawGroupBox->RefreshLaw();
}

void TDLawForm::FitLaw(const CDistribution& sample) {
    DLawGroupBox->FitLaw(sample);
}

void TDLawForm::FormShow() {
    DLawGroupBox->RefreshLaw();
    okPressed = false;
    DLawGroupBox->ComboBox1->setFocus();
}

void TDLawForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TDLawForm::BitBtn1Click() {
    okPressed = true;
    accept();
}

void TDLawForm::accept() {
    okPressed = true;
    const bool passed = DLawGroupBox->AcceptLaw();
    okPressed = false;
    if (passed)
        QDialog::accept();
}

void TDLawForm::done(int result) {
    okPressed = false;
    SetAllowZeroConstant(false);
    DLawGroupBox->DropPendingChecks();
    QDialog::done(result);
}

}  // namespace marvolt
