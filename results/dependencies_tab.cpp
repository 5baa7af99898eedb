#include "results/dependencies_tab.h"

#include <QChart>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <span>

#include "editor/focus_leave_checks.h"
#include "results/application_data.h"
#include "results/chart_view.h"
#include "results/choice_box.h"
#include "results/distributions_tab.h"
#include "results/logic/planning_grid.h"
#include "results/table_form.h"

namespace marvolt {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

enum class Mark { kSquare, kCircle, kTriangle };

// A point marker of the line's colour; the series scales it to its marker size.
QImage Marker(Mark mark, const QColor& color) {
    constexpr int kSize = 24;
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    switch (mark) {
        case Mark::kSquare:
            p.drawRect(2, 2, kSize - 4, kSize - 4);
            break;
        case Mark::kCircle:
            p.drawEllipse(2, 2, kSize - 4, kSize - 4);
            break;
        case Mark::kTriangle: {
            QPainterPath path;
            path.moveTo(kSize / 2.0, 1);
            path.lineTo(kSize - 1, kSize - 2);
            path.lineTo(1, kSize - 2);
            path.closeSubpath();
            p.drawPath(path);
            break;
        }
    }
    return image;
}

constexpr Mark kMarks[kDependLineCount] = {Mark::kSquare, Mark::kCircle, Mark::kTriangle};

void StyleLine(QLineSeries* s, const QColor& color, Qt::PenStyle style, Mark mark) {
    QPen pen(color);
    pen.setWidthF(1.5);
    pen.setStyle(style);
    s->setPen(pen);
    s->setPointsVisible(true);
    s->setMarkerSize(7);
    s->setLightMarker(Marker(mark, color));
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QComboBox* List(const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(14);
    return box;
}

// Room around the points, so no point sits on the frame.
std::pair<double, double> Padded(double lo, double hi) {
    if (hi <= lo) {
        const double d = std::max(std::abs(lo) * 0.1, 0.5);
        return {lo - d, hi + d};
    }
    const double d = (hi - lo) * 0.05;
    return {lo - d, hi + d};
}

}  // namespace

DependenciesTab::DependenciesTab(UiServices services, std::function<CQueuingSystem*()> current,
                                 QWidget* parent)
    : QWidget(parent),
      services_(services),
      current_(std::move(current)),
      checks_(new FocusLeaveChecks(this)) {
    // The dependency list and what a new dependency is made of.
    auto* choice = new QGroupBox(QStringLiteral(" Выбор зависимостей"), this);
    choice->setObjectName(QStringLiteral("GroupBox4"));
    DependListBox = new QListWidget(choice);
    DependListBox->setObjectName(QStringLiteral("DependListBox"));
    DependListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DependListBox->setSortingEnabled(true);
    // The chart below gets the room; five captions are seen at once.
    DependListBox->setMaximumHeight(92);
    DependListBox->setToolTip(QStringLiteral(
        "Для вывода графика зависимости\nпроизведите двойной щелчок мыши\nили нажмите кнопку "
        "\"Показать графики\"."));
    auto button = [choice](const char* name, const QString& text, const QString& hint) {
        auto* b = new QToolButton(choice);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        b->setFixedSize(26, 24);
        return b;
    };
    SpeedButton1 = button("SpeedButton1", QStringLiteral("+"),
                          QStringLiteral("Добавить зависимость в список."));
    SpeedButton2 = button("SpeedButton2", QStringLiteral("−"),
                          QStringLiteral("Удалить выделенные зависимости из списка."));
    SpeedButton3 = button("SpeedButton3", QStringLiteral("▶"), QStringLiteral("Показать графики."));
    ComboBox16 = List("ComboBox16", choice);
    ComboBox15 = List("ComboBox15", choice);
    ComboBox14 = List("ComboBox14", choice);
    // Names such as "Среднее время простоя" and "Среднее время обслуживания"
    // differ only past their first words: the list shows the longest whole.
    int longest = 0;
    for (const auto& set : {std::span<const uint8_t>(CAppData::DependSystemSet),
                            std::span<const uint8_t>(CAppData::DependChannelSet),
                            std::span<const uint8_t>(CAppData::DependQueueSet),
                            std::span<const uint8_t>(CAppData::DependSinkSet)})
        for (uint8_t id : set)
            longest = std::max<int>(longest, Q(CAppData::IndicatorName(id)).size());
    ComboBox14->setMinimumContentsLength(longest);
    Label38 = Caption(QStringLiteral("Тип заявки"), ComboBox15, choice);
    Label38->setObjectName(QStringLiteral("Label38"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton2);
    buttons->addWidget(SpeedButton3);
    buttons->addStretch();
    auto* fields = new QGridLayout;
    fields->addWidget(Caption(QStringLiteral("Объект"), ComboBox16, choice), 0, 0);
    fields->addWidget(ComboBox16, 0, 1);
    fields->addWidget(Label38, 1, 0);
    fields->addWidget(ComboBox15, 1, 1);
    fields->addWidget(Caption(QStringLiteral("Показатель"), ComboBox14, choice), 2, 0);
    fields->addWidget(ComboBox14, 2, 1);
    fields->setRowStretch(3, 1);
    auto* choiceLayout = new QHBoxLayout(choice);
    choiceLayout->addWidget(DependListBox, 1);
    choiceLayout->addLayout(buttons);
    choiceLayout->addLayout(fields);

    // The chart.
    auto* charts = new QGroupBox(QStringLiteral(" Графики зависимостей "), this);
    charts->setObjectName(QStringLiteral("GroupBox5"));
    DependChart = new QChart;
    DependChart->setObjectName(QStringLiteral("DependChart"));
    QLegend* legend = DependChart->legend();
    legend->setAlignment(Qt::AlignTop);
    legend->setBackgroundVisible(true);
    legend->setPen(Qt::NoPen);
    legend->setBrush(DependChart->backgroundBrush());
    axisX_ = new QValueAxis;
    axisY_ = new QValueAxis;
    QFont arial(QStringLiteral("Arial"));
    axisX_->setTitleFont(arial);
    axisX_->setTitleBrush(Qt::blue);
    DependChart->addAxis(axisX_, Qt::AlignBottom);
    DependChart->addAxis(axisY_, Qt::AlignLeft);
    const QColor colors[kDependLineCount] = {Qt::red, QColor(0, 128, 0), Qt::blue};
    const Qt::PenStyle styles[kDependLineCount] = {Qt::SolidLine, Qt::DotLine, Qt::DashLine};
    for (size_t i = 0; i < kDependLineCount; ++i) {
        auto* s = new QLineSeries;
        s->setObjectName(QStringLiteral("Series%1").arg(i + 2));
        StyleLine(s, colors[i], styles[i], kMarks[i]);
        DependChart->addSeries(s);
        s->attachAxis(axisX_);
        s->attachAxis(axisY_);
        series_[i] = s;
    }
    chartView_ = new ChartView(DependChart, charts);
    chartView_->setObjectName(QStringLiteral("DependChartView"));
    chartView_->setMinimumHeight(220);
    auto* chartLayout = new QVBoxLayout(charts);
    chartLayout->setContentsMargins(2, 2, 2, 2);
    chartLayout->addWidget(chartView_);
    DependChart->setMargins(QMargins(4, 4, 4, 4));
    axisX_->setLabelFormat(QStringLiteral("%g"));
    axisY_->setLabelFormat(QStringLiteral("%g"));

    // The factor.
    auto* factor = new QGroupBox(QStringLiteral(" Выбор изменяемого параметра "), this);
    factor->setObjectName(QStringLiteral("GroupBox6"));
    ComboBox18 = List("ComboBox18", factor);
    ComboBox18->setToolTip(
        QStringLiteral("Наименование объекта, которому принадлежит параметр\n(параметром какого "
                       "объекта является)"));
    ComboBox19 = List("ComboBox19", factor);
    ComboBox19->setToolTip(QStringLiteral("Наименование типа заявки, с которым связан параметр"));
    ComboBox20 = List("ComboBox20", factor);
    ComboBox20->setToolTip(QStringLiteral(
        "Один из параметров модели, который изменяет\nсвое значение в течение эксперимента"));
    ComboBox20->setMinimumContentsLength(24);
    Edit28 = new QLineEdit(factor);
    Edit28->setObjectName(QStringLiteral("Edit28"));
    Edit29 = new QLineEdit(factor);
    Edit29->setObjectName(QStringLiteral("Edit29"));
    Edit29->setToolTip(QStringLiteral("Величина приращения значения параметра при эксперименте"));
    CSpinEdit2 = new QSpinBox(factor);
    CSpinEdit2->setObjectName(QStringLiteral("CSpinEdit2"));
    CSpinEdit2->setRange(1, 100);
    CSpinEdit2->setValue(5);
    auto* factorLayout = new QGridLayout(factor);
    factorLayout->addWidget(Caption(QStringLiteral("Объект"), ComboBox18, factor), 0, 0);
    factorLayout->addWidget(ComboBox18, 1, 0);
    factorLayout->addWidget(Caption(QStringLiteral("Тип заявки"), ComboBox19, factor), 0, 1);
    factorLayout->addWidget(ComboBox19, 1, 1);
    factorLayout->addWidget(Caption(QStringLiteral("Параметр"), ComboBox20, factor), 0, 2);
    factorLayout->addWidget(ComboBox20, 1, 2);
    factorLayout->addWidget(Caption(QStringLiteral("Начальное значение"), Edit28, factor), 2, 0);
    factorLayout->addWidget(Edit28, 3, 0);
    factorLayout->addWidget(Caption(QStringLiteral("Шаг изменения значения"), Edit29, factor), 2,
                            1);
    factorLayout->addWidget(Edit29, 3, 1);
    factorLayout->addWidget(Caption(QStringLiteral("Количество значений"), CSpinEdit2, factor), 2,
                            2);
    factorLayout->addWidget(CSpinEdit2, 3, 2);
    factorLayout->setColumnStretch(2, 1);

    factorLayout->setVerticalSpacing(2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(choice);
    layout->addWidget(charts, 1);
    layout->addWidget(factor);

    connect(SpeedButton1, &QToolButton::clicked, this, &DependenciesTab::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &DependenciesTab::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &DependenciesTab::SpeedButton3Click);
    connect(DependListBox, &QListWidget::itemDoubleClicked, this,
            &DependenciesTab::DependListBoxDblClick);
    connect(ComboBox16, &QComboBox::activated, this, &DependenciesTab::ComboBox16Click);
    connect(ComboBox18, &QComboBox::activated, this, &DependenciesTab::ComboBox18Click);
    connect(ComboBox19, &QComboBox::activated, this, &DependenciesTab::ComboBox19Click);
    connect(ComboBox20, &QComboBox::activated, this, &DependenciesTab::ComboBox20Click);
    connect(CSpinEdit2, &QSpinBox::valueChanged, this, &DependenciesTab::CSpinEdit2Change);
    for (QLineSeries* s : series_) {
        connect(s, &QLineSeries::pressed, chartView_, &ChartView::SeriesTook);
        connect(s, &QLineSeries::clicked, this, [this, s] {
            chartView_->SeriesTook();
            DependChartClickSeries(s);
        });
    }
    connect(chartView_, &ChartView::backgroundClicked, this,
            &DependenciesTab::DependChartClickBackground);
    checks_->Watch(Edit28, [this] { return Edit28Exit(); });
    checks_->Watch(Edit29, [this] { return Edit29Exit(); });
}

bool DependenciesTab::HasItems() const {
    return DependListBox->count() > 0;
}

std::vector<DependKey> DependenciesTab::SelectedKeys() const {
    std::vector<DependKey> keys;
    for (int i = 0; i < DependListBox->count(); ++i) {
        const QListWidgetItem* item = DependListBox->item(i);
        if (item->isSelected())
            keys.push_back(UnpackedKey(item->data(Qt::UserRole).toInt()));
    }
    return keys;
}

void DependenciesTab::AddListItem(const DependEntry& entry) {
    auto* item = new QListWidgetItem(Q(entry.caption));
    item->setData(Qt::UserRole, PackedKey(entry.key));
    DependListBox->addItem(item);
}

void DependenciesTab::Fill() {
    CQueuingSystem* m = Model();
    filling_ = true;
    DependListBox->clear();
    if (m) {
        for (const DependEntry& e : DependencyEntries(*m))
            AddListItem(e);
        SetChoiceItems(ComboBox16, PlanObjectChoices(*m), ChosenItem(ComboBox16));
    } else {
        SetChoiceItems(ComboBox16, {}, std::nullopt);
    }
    const bool types = m && m->typeCount() > 1;
    Label38->setEnabled(types);
    ComboBox15->setEnabled(types);
    if (HasItems())
        DependListBox->item(0)->setSelected(true);
    DrawCharts();
    FillIndicatorAndTypeLists();

    if (m) {
        const FactorSettings f = m->plannedFactor;
        ChoiceList objects = FactorObjects(*m);
        std::optional<ChoiceItem> chosen;
        for (const ChoiceItem& o : objects) {
            if (o.index == f.factorObject)
                chosen = o;
        }
        SetChoiceItems(ComboBox18, objects, std::nullopt);
        if (!chosen)
            ComboBox18->setCurrentIndex(-1);
        else
            ComboBox18->setCurrentIndex(Reselect(objects, chosen));
        StoreChoices(ChooseFactorObject(*m, f, ChosenIndex(ComboBox18)), false);
        {
            const QSignalBlocker quiet(CSpinEdit2);
            CSpinEdit2->setMaximum(std::max<int>(100, m->plannedFactor.valueCount));
            CSpinEdit2->setValue(m->plannedFactor.valueCount);
        }
    }
    // The fields show what is stored, normalised or not.
    ShowFactorFields();
    filling_ = false;
}

void DependenciesTab::FillIndicatorAndTypeLists() {
    const std::optional<ChoiceItem> indicator = ChosenItem(ComboBox14);
    const std::optional<ChoiceItem> type = ChosenItem(ComboBox15);
    const CQueuingSystem* m = Model();
    if (!m || ComboBox16->currentIndex() < 0) {
        SetChoiceItems(ComboBox14, {}, std::nullopt);
        SetChoiceItems(ComboBox15, {}, std::nullopt);
        return;
    }
    const uint8_t object = ChosenIndex(ComboBox16);
    SetChoiceItems(ComboBox14, DependencyIndicators(*m, object), indicator);
    SetChoiceItems(ComboBox15, DependencyTypes(*m, object), type);
}

void DependenciesTab::ComboBox16Click() {
    FillIndicatorAndTypeLists();
}

void DependenciesTab::SpeedButton1Click() {
    CQueuingSystem* m = Model();
    if (!m)
        return;
    if (ComboBox16->currentIndex() < 0) {
        services_.messages.Show(
            kCaptionNotice, MessageIcon::kInformation,
            QStringLiteral("Невозможно добавить зависимость,\nт.к. не выбран объект модели."),
            kButtonOk);
        return;
    }
    const uint8_t object = ChosenIndex(ComboBox16);
    const uint8_t type = ChosenIndex(ComboBox15);
    const uint8_t indicator =
        ComboBox14->currentIndex() < 0 ? uint8_t{indInSystemDistr} : ChosenIndex(ComboBox14);
    if (CDependInfo* d = m->AddDependency(object, type, indicator))
        AddListItem({CAppData::DependencyCaption(*m, *d), {object, type, indicator}});
    emit ButtonsChanged();
}

void DependenciesTab::SpeedButton2Click() {
    CQueuingSystem* m = Model();
    if (!m || DependListBox->selectedItems().isEmpty())
        return;
    for (int i = DependListBox->count() - 1; i >= 0; --i) {
        QListWidgetItem* item = DependListBox->item(i);
        if (!item->isSelected())
            continue;
        const DependKey k = UnpackedKey(item->data(Qt::UserRole).toInt());
        m->RemoveDependency(k.object, k.type, k.id);
        delete item;
    }
    DrawCharts();
}

void DependenciesTab::SpeedButton3Click() {
    DrawCharts();
}

void DependenciesTab::DependListBoxDblClick() {
    DrawCharts();
}

void DependenciesTab::DrawCharts() {
    for (QLineSeries* s : series_) {
        s->clear();
        s->setName(QString());
        for (QLegendMarker* marker : DependChart->legend()->markers(s))
            marker->setVisible(false);
    }
    if (HasItems() && DependListBox->selectedItems().isEmpty())
        DependListBox->item(0)->setSelected(true);
    const CQueuingSystem* m = Model();
    const DependChartLines chart = m ? DependencyLines(*m, SelectedKeys()) : DependChartLines{};
    double xLo = 0, xHi = 1, yLo = 0, yHi = 1;
    bool first = true;
    for (size_t i = 0; i < chart.lines.size(); ++i) {
        QLineSeries* s = series_[i];
        for (QLegendMarker* marker : DependChart->legend()->markers(s))
            marker->setVisible(true);
        s->setName(Q(chart.lines[i].title));
        for (const auto& [x, y] : chart.lines[i].points) {
            s->append(x, y);
            if (first) {
                xLo = xHi = x;
                yLo = yHi = y;
                first = false;
            }
            xLo = std::min<double>(xLo, x);
            xHi = std::max<double>(xHi, x);
            yLo = std::min<double>(yLo, y);
            yHi = std::max<double>(yHi, y);
        }
    }
    const auto [x0, x1] = Padded(xLo, xHi);
    const auto [y0, y1] = Padded(yLo, yHi);
    axisX_->setRange(x0, x1);
    axisY_->setRange(y0, y1);
    axisX_->applyNiceNumbers();
    axisY_->applyNiceNumbers();
    DependChart->setTitle(QString());
    axisX_->setTitleText(Q(chart.axisTitle));
    hasValues_ = chart.anyValues;
    emit ButtonsChanged();
}

void DependenciesTab::ShowTable(TTableForm& table) {
    const CQueuingSystem* m = Model();
    if (!m)
        return;
    std::optional<TextTable> t = DependencyTable(*m, SelectedKeys());
    if (!t)
        return;
    table.ShowTable(QStringLiteral("Таблица зависимостей"),
                    QStringLiteral("Первая строка таблицы содержит значения фактора"),
                    std::move(*t));
}

void DependenciesTab::SaveChart() {
    SaveChartPicture(services_, *chartView_);
}

void DependenciesTab::CopyChart() {
    services_.clipboard.SetImage(chartView_->Picture());
}

void DependenciesTab::DependChartClickSeries(QLineSeries* series) {
    const auto at = std::find(series_.begin(), series_.end(), series);
    if (at == series_.end())
        return;
    if (const std::optional<QColor> c = services_.colors.PickColor(series->color())) {
        const QPen style = series->pen();
        StyleLine(series, *c, style.style(), kMarks[at - series_.begin()]);
    }
}

void DependenciesTab::DependChartClickBackground() {
    if (const std::optional<QColor> c =
            services_.colors.PickColor(DependChart->backgroundBrush().color())) {
        DependChart->setBackgroundBrush(*c);
        DependChart->setPlotAreaBackgroundBrush(*c);
        DependChart->setPlotAreaBackgroundVisible(true);
        DependChart->legend()->setBrush(*c);
    }
}

// ---- the factor ----

void DependenciesTab::StoreChoices(const FactorChoices& choices, bool showFields) {
    SetChoiceItems(ComboBox19, choices.types, std::nullopt);
    ComboBox19->setCurrentIndex(choices.typeSelected);
    ComboBox19->setEnabled(choices.typesEnabled);
    SetChoiceItems(ComboBox20, choices.parameters, std::nullopt);
    ComboBox20->setCurrentIndex(choices.parameterSelected);
    CQueuingSystem* m = Model();
    if (!m || choices.parameters.empty())
        return;
    m->SetFactor(choices.factor, kFactorMaskObject | kFactorMaskType | kFactorMaskParameter);
    NormaliseStartAndStep(showFields);
}

void DependenciesTab::NormaliseStartAndStep(bool showFields) {
    CQueuingSystem* m = Model();
    if (!IsIntegerParameter(m->plannedFactor.factorParameter))
        return;
    m->SetFactor(NormaliseFactor(m->plannedFactor), kFactorMaskStart | kFactorMaskStep);
    if (showFields)
        ShowFactorFields();
}

void DependenciesTab::ShowFactorFields() {
    const CQueuingSystem* m = Model();
    if (!m)
        return;
    const FactorSettings& f = m->plannedFactor;
    Edit28->setText(Q(FactorFieldText(f.factorParameter, f.startValue)));
    ShowStep();
}

void DependenciesTab::ShowStep() {
    const FactorSettings& f = Model()->plannedFactor;
    Edit29->setText(Q(FactorFieldText(f.factorParameter, f.step)));
}

void DependenciesTab::ComboBox18Click() {
    if (CQueuingSystem* m = Model())
        StoreChoices(ChooseFactorObject(*m, m->plannedFactor, ChosenIndex(ComboBox18)), true);
}

void DependenciesTab::ComboBox19Click() {
    CQueuingSystem* m = Model();
    if (!m || ComboBox19->currentIndex() < 0)
        return;
    // The parameters are those of the newly chosen type's law.
    StoreChoices(ChooseFactorType(*m, m->plannedFactor, ChosenIndex(ComboBox19)), true);
}

void DependenciesTab::ComboBox20Click() {
    CQueuingSystem* m = Model();
    if (!m || ComboBox20->currentIndex() < 0)
        return;
    FactorSettings f = m->plannedFactor;
    f.factorParameter = static_cast<int8_t>(ChosenIndex(ComboBox20));
    m->SetFactor(f, kFactorMaskParameter);
    NormaliseStartAndStep(true);
}

bool DependenciesTab::Refuse(QWidget* field, const std::string& message) {
    ShowWarning(services_.messages, Q(message));
    FocusLeaveChecks::FocusBack(field);
    return false;
}

bool DependenciesTab::Edit28Exit() {
    CQueuingSystem* m = Model();
    // A text the user did not touch is the stored value as shown.
    if (!m || !Edit28->isModified())
        return true;
    const FactorInput in = ReadFactorStart(m->plannedFactor, Edit28->text().toStdString());
    if (!in.value)
        return Refuse(Edit28, in.message);
    FactorSettings f = m->plannedFactor;
    f.startValue = *in.value;
    uint8_t mask = kFactorMaskStart;
    if (in.newStep) {
        f.step = *in.newStep;
        mask |= kFactorMaskStep;
    }
    m->SetFactor(f, mask);
    Edit28->setModified(false);
    if (in.newStep)
        ShowStep();
    return true;
}

bool DependenciesTab::Edit29Exit() {
    CQueuingSystem* m = Model();
    if (!m || !Edit29->isModified())
        return true;
    const FactorInput in = ReadFactorStep(m->plannedFactor, Edit29->text().toStdString());
    if (!in.value)
        return Refuse(Edit29, in.message);
    FactorSettings f = m->plannedFactor;
    f.step = *in.value;
    m->SetFactor(f, kFactorMaskStep);
    if (in.changed)
        ShowStep();
    Edit29->setModified(false);
    return true;
}

void DependenciesTab::CSpinEdit2Change(int value) {
    CQueuingSystem* m = Model();
    if (filling_ || !m)
        return;
    const FactorInput in = ReadFactorCount(m->plannedFactor, value);
    if (!in.value) {
        Refuse(CSpinEdit2, in.message);
        return;
    }
    FactorSettings f = m->plannedFactor;
    f.valueCount = static_cast<uint8_t>(value);
    uint8_t mask = kFactorMaskCount;
    if (in.newStep) {
        f.step = *in.newStep;
        mask |= kFactorMaskStep;
    }
    m->SetFactor(f, mask);
    if (in.newStep)
        ShowStep();
}

bool DependenciesTab::CheckFields() {
    return checks_->RunAll();
}

void DependenciesTab::DropPendingChecks() {
    checks_->DropPending();
}

}  // namespace marvolt
