#include "editor/law_editor.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "editor/focus_leave_checks.h"
#include "editor/logic/law_logic.h"
#include "editor/logic/properties_logic.h"
#include "editor/message_service.h"

namespace marvolt {

namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

LawEditor::LawEditor(MessageService& messages, QWidget* parent)
    : QGroupBox(QStringLiteral(" Закон распределения "), parent),
      messages_(messages),
      checks_(new FocusLeaveChecks(this)) {
    setObjectName(QStringLiteral("DLawGroupBox"));
    resize(281, 153);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    for (const std::string& name : kLawKindNames)
        ComboBox1->addItem(Text(name));
    ComboBox1->setGeometry(12, 22, 257, 24);
    connect(ComboBox1, &QComboBox::activated, this, &LawEditor::ComboBox1Change);

    auto label = [this](const char* name, int x, int y, int w, Qt::Alignment align) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(x, y, w, 22);
        l->setAlignment(align | Qt::AlignVCenter);
        return l;
    };
    auto edit = [this](const char* name, int y) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(60, y, 209, 22);
        return e;
    };
    Label1 = label("Label1", 12, 52, 257, Qt::AlignLeft);
    Label1v = label("Label1v", 12, 74, 44, Qt::AlignRight);
    Edit1 = edit("Edit1", 74);
    Label2 = label("Label2", 12, 98, 257, Qt::AlignLeft);
    Label2v = label("Label2v", 12, 120, 44, Qt::AlignRight);
    Edit2 = edit("Edit2", 120);
    Label1v->setBuddy(Edit1);
    Label2v->setBuddy(Edit2);

    AutoParamsButton = new QPushButton(QStringLiteral("Вычислить параметры"), this);
    AutoParamsButton->setObjectName(QStringLiteral("AutoParamsButton"));
    AutoParamsButton->setToolTip(QStringLiteral(
        "Вычислить приблизительные значения параметров\nдля выбранного закона распределения."));
    AutoParamsButton->setGeometry(8, 154, 160, 26);
    AutoParamsButton->hide();
    connect(AutoParamsButton, &QPushButton::clicked, this, &LawEditor::AutoParamsButtonClicked);

    checks_->Watch(Edit1, [this] { return Edit1Exit(); });
    checks_->Watch(Edit2, [this] { return Edit2Exit(); });
    RefreshLaw();
}

void LawEditor::RefreshLaw() {
    dialogLaw = CorrectedLaw(dialogLaw);
    const LawLabels labels = LawLabelsOf(dialogLaw.lawKind);
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(dialogLaw.lawKind);
    }
    Label1->setText(Text(labels.label1));
    Label1v->setText(Text(labels.symbol1));
    Label2->setText(Text(labels.label2));
    Label2v->setText(Text(labels.symbol2));
    Label2->setEnabled(labels.secondEnabled);
    Edit2->setEnabled(labels.secondEnabled);
    // setText clears the modified flag: only what the user types later is
    // read back, so a shown rounding never replaces the stored value.
    Edit1->setText(Text(ShownNumber(dialogLaw.param1)));
    Edit2->setText(Text(ShownNumber(dialogLaw.param2)));
}

void LawEditor::FitLaw(const CDistribution& sample) {
    dialogLaw = LawFromSample(sample, dialogLaw.lawKind);
    RefreshLaw();
}

void LawEditor::ComboBox1Change(int index) {
    // A parameter typed before the kind changed is judged under the old kind.
    if (!checks_->RunPending()) {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(dialogLaw.lawKind);
        return;
    }
    if (index < 0 || index > kLawNormal)
        return;
    dialogLaw.lawKind = static_cast<uint8_t>(index);
    RefreshLaw();
}

bool LawEditor::Refuse(const std::string& message, QLineEdit* field) {
    ShowWarning(messages_, Text(message));
    FocusLeaveChecks::FocusBack(field);
    return false;
}

bool LawEditor::Edit1Exit() {
    if (!Edit1->isModified())
        return true;
    const ParamInput in =
        ReadParam1(dialogLaw.lawKind, Edit1->text().toStdString(), allowZeroConstant);
    if (!in.value)
        return Refuse(in.message, Edit1);
    dialogLaw.param1 = *in.value;
    Edit1->setModified(false);
    return true;
}

bool LawEditor::Edit2Exit() {
    if (!Edit2->isEnabled() || !Edit2->isModified())
        return true;
    const ParamInput in = ReadParam2(dialogLaw.lawKind, Edit2->text().toStdString());
    if (!in.value)
        return Refuse(in.message, Edit2);
    dialogLaw.param2 = *in.value;
    Edit2->setModified(false);
    return true;
}

bool LawEditor::AcceptLaw() {
    if (!checks_->RunAll())
        return false;
    const std::optional<LawRefusal> refusal = CheckLaw(dialogLaw, allowZeroConstant);
    if (!refusal)
        return true;
    return Refuse(refusal->message, refusal->field == LawField::kParam1 ? Edit1 : Edit2);
}

void LawEditor::ExemptFromChecks(QWidget* target) {
    checks_->Exempt(target);
}

void LawEditor::DropPendingChecks() {
    checks_->DropPending();
}

}  // namespace marvolt
