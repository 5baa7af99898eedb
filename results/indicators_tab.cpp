#include "results/indicators_tab.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

#include "editor/field_width.h"
#include "results/choice_box.h"

namespace marvolt {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Wide enough for every text FormatValue writes below 10^8.
constexpr int kValueWidth = 66;

QLabel* Bold(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLineEdit* ReadOnly(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    return edit;
}

QComboBox* List(const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMinimumWidth(180);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

}  // namespace

IndicatorsTab::IndicatorsTab(std::function<const CQueuingSystem*()> results, QWidget* parent)
    : QWidget(parent), results_(std::move(results)) {
    setObjectName(QStringLiteral("IndicatorsTab"));
    ComboBox1 = List("ComboBox1", this);
    ComboBox2 = List("ComboBox2", this);
    ComboBox3 = List("ComboBox3", this);
    ComboBox4 = List("ComboBox4", this);
    ComboBox5 = List("ComboBox5", this);
    ComboBox6 = List("ComboBox6", this);

    auto* layout = new QVBoxLayout(this);
    auto heading = [&](IndicatorGroup group) {
        auto* row = new QHBoxLayout;
        switch (group) {
            case IndicatorGroup::kSystem:
                row->addWidget(Bold(QStringLiteral("Показатели СМО по типу заявки"), this));
                row->addWidget(ComboBox1);
                break;
            case IndicatorGroup::kChannel:
                row->addWidget(Bold(QStringLiteral("Показатели канала"), this));
                row->addWidget(ComboBox2);
                break;
            case IndicatorGroup::kQueue:
                row->addWidget(Bold(QStringLiteral("Показатели накопителя"), this));
                row->addWidget(ComboBox3);
                row->addWidget(Bold(QStringLiteral("по типу заявки"), this));
                row->addWidget(ComboBox4);
                break;
            case IndicatorGroup::kSink:
                row->addWidget(Bold(QStringLiteral("Показатели стока"), this));
                row->addWidget(ComboBox5);
                row->addWidget(Bold(QStringLiteral("по типу заявки"), this));
                row->addWidget(ComboBox6);
                break;
        }
        row->addStretch();
        layout->addLayout(row);
    };
    // Three pairs of a caption field and its value field per line.
    QGridLayout* grid = nullptr;
    int pair = 0;
    std::optional<IndicatorGroup> current;
    auto place = [&](QLineEdit* caption, QLineEdit* value) {
        grid->addWidget(caption, pair / 3, (pair % 3) * 2);
        grid->addWidget(value, pair / 3, (pair % 3) * 2 + 1);
        ++pair;
    };
    for (const IndicatorField& f : IndicatorFields()) {
        if (f.group != current) {
            current = f.group;
            heading(f.group);
            grid = new QGridLayout;
            grid->setHorizontalSpacing(3);
            for (int c = 0; c < 6; c += 2)
                grid->setColumnStretch(c, 1);
            layout->addLayout(grid);
            pair = 0;
        }
        QLineEdit* caption = ReadOnly(QString::fromLatin1(f.captionField), this);
        caption->setText(QString::fromUtf8(f.caption));
        caption->setToolTip(QString::fromUtf8(f.hint));
        // Three pairs a line leave little room: the captions are set smaller
        // and without a frame, their hints tell the rest.
        caption->setFrame(false);
        QFont small = caption->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        caption->setFont(small);
        caption->setCursorPosition(0);
        // A caption cut short reads as another indicator: the window widens instead.
        caption->setMinimumWidth(QFontMetrics(small).horizontalAdvance(caption->text()) + 8);
        QLineEdit* value = ReadOnly(QString::fromLatin1(f.valueField), this);
        value->setFixedWidth(kValueWidth);
        place(caption, value);
        values_.emplace_back(&f, value);
        // The sink group has five values: the place below the mean lifetime stays empty.
        if (std::string(f.valueField) == "Edit16") {
            QLineEdit* none = ReadOnly(QStringLiteral("Edit52"), this);
            none->setFixedWidth(kValueWidth);
            QLineEdit* noCaption = ReadOnly(QStringLiteral("Edit54"), this);
            noCaption->setFrame(false);
            place(noCaption, none);
        }
    }
    layout->addStretch();

    auto on = [this](QComboBox* box, void (IndicatorsTab::*handler)()) {
        connect(box, &QComboBox::activated, this, handler);
    };
    on(ComboBox1, &IndicatorsTab::ComboBox1Click);
    on(ComboBox2, &IndicatorsTab::ComboBox2Click);
    on(ComboBox3, &IndicatorsTab::ComboBox3Click);
    on(ComboBox4, &IndicatorsTab::ComboBox4Click);
    on(ComboBox5, &IndicatorsTab::ComboBox5Click);
    on(ComboBox6, &IndicatorsTab::ComboBox6Click);
}

void IndicatorsTab::Fill() {
    const std::vector<std::optional<ChoiceItem>> was{ChosenItem(ComboBox1), ChosenItem(ComboBox2),
                                                     ChosenItem(ComboBox3), ChosenItem(ComboBox4),
                                                     ChosenItem(ComboBox5), ChosenItem(ComboBox6)};
    const CQueuingSystem* m = results_();
    if (!m) {
        for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6})
            SetChoiceItems(box, {}, std::nullopt);
    } else {
        SetChoiceItems(ComboBox1, TypeChoices(*m), was[0]);
        SetChoiceItems(ComboBox2, NodeChoices(*m, kChannel), was[1]);
        SetChoiceItems(ComboBox3, NodeChoices(*m, kQueue), was[2]);
        SetChoiceItems(ComboBox4,
                 ComboBox3->currentIndex() < 0 ? ChoiceList{}
                                               : QueueTypeChoices(*m, ChosenIndex(ComboBox3)),
                 was[3]);
        SetChoiceItems(ComboBox5, NodeChoices(*m, kSink), was[4]);
        SetChoiceItems(ComboBox6, ComboBox5->currentIndex() < 0 ? ChoiceList{} : TypeChoices(*m), was[5]);
    }
    RefreshGroups();
}

void IndicatorsTab::RefreshGroups() {
    for (IndicatorGroup g : {IndicatorGroup::kSystem, IndicatorGroup::kChannel,
                             IndicatorGroup::kQueue, IndicatorGroup::kSink})
        RefreshGroup(g);
}

QComboBox* IndicatorsTab::NodeList(IndicatorGroup group) const {
    switch (group) {
        case IndicatorGroup::kSystem:
            return ComboBox1;
        case IndicatorGroup::kChannel:
            return ComboBox2;
        case IndicatorGroup::kQueue:
            return ComboBox3;
        case IndicatorGroup::kSink:
            return ComboBox5;
    }
    return nullptr;
}

void IndicatorsTab::RefreshGroup(IndicatorGroup group) {
    const CQueuingSystem* m = results_();
    const bool empty = !m || NodeList(group)->currentIndex() < 0;
    uint8_t node = kNoIndex, type = kNoIndex;
    switch (group) {
        case IndicatorGroup::kSystem:
            type = ChosenIndex(ComboBox1);
            break;
        case IndicatorGroup::kChannel:
            node = ChosenIndex(ComboBox2);
            break;
        case IndicatorGroup::kQueue:
            node = ChosenIndex(ComboBox3);
            type = ChosenIndex(ComboBox4);
            break;
        case IndicatorGroup::kSink:
            node = ChosenIndex(ComboBox5);
            type = ChosenIndex(ComboBox6);
            break;
    }
    for (auto& [field, edit] : values_) {
        if (field->group != group)
            continue;
        const QString text = empty ? QString() : Q(FieldText(*m, *field, node, type));
        // A value field grows for a longer text: a count past 10^8 or a value
        // in exponent form cut short reads as another number.
        edit->setFixedWidth(std::max(kValueWidth, FieldWidthFor(edit, text)));
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

void IndicatorsTab::ComboBox1Click() {
    RefreshGroup(IndicatorGroup::kSystem);
}

void IndicatorsTab::ComboBox2Click() {
    RefreshGroup(IndicatorGroup::kChannel);
}

void IndicatorsTab::ComboBox3Click() {
    const std::optional<ChoiceItem> was = ChosenItem(ComboBox4);
    const CQueuingSystem* m = results_();
    SetChoiceItems(ComboBox4,
             m && ComboBox3->currentIndex() >= 0 ? QueueTypeChoices(*m, ChosenIndex(ComboBox3))
                                                 : ChoiceList{},
             was);
    RefreshGroup(IndicatorGroup::kQueue);
}

void IndicatorsTab::ComboBox4Click() {
    RefreshGroup(IndicatorGroup::kQueue);
}

void IndicatorsTab::ComboBox5Click() {
    RefreshGroup(IndicatorGroup::kSink);
}

void IndicatorsTab::ComboBox6Click() {
    RefreshGroup(IndicatorGroup::kSink);
}

}  // namespace marvolt
