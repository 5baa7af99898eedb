#include "results/distributions_tab.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

#include "editor/law_editor.h"
#include "results/application_data.h"
#include "results/chart_view.h"
#include "results/choice_box.h"
#include "results/logic/report_file.h"
#include "results/table_form.h"

namespace marvolt {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const QColor kExpectedColor(128, 128, 255);
const QColor kExpectedOutline(0, 0, 160);

// The law editor with its button below, as the tab hosts it.
constexpr int kLawBoxHeight = 185;
constexpr int kLawBoxWidth = 281;

}  // namespace

void SaveChartPicture(UiServices& services, ChartView& chart) {
    const QString path =
        services.fileDialogs.SaveFileName({kChartFileFilter, QStringLiteral("bmp")});
    if (path.isEmpty())
        return;
    const SafeSaveResult saved = SaveBmpFile(path, chart.Picture());
    if (saved != SafeSaveResult::kOk)
        ShowError(services.messages, Q(ReportSaveMessage(saved, path.toStdString())));
}

DistributionsTab::DistributionsTab(UiServices services,
                                   std::function<const CQueuingSystem*()> results,
                                   LawRecord& testedLaw, QWidget* parent)
    : QWidget(parent), services_(services), results_(std::move(results)), testedLaw_(testedLaw) {
    auto* left = new QWidget;
    left->setObjectName(QStringLiteral("DistrPanel"));
    DistrListBox = new QListWidget(left);
    DistrListBox->setObjectName(QStringLiteral("DistrListBox"));
    DistrListBox->setToolTip(
        QStringLiteral("Для вывода гистограммы \nпроизведите двойной щелчок мыши."));
    NullRequestCheckBox = new QCheckBox(QStringLiteral("С учетом \"нулевых\" заявок"), left);
    NullRequestCheckBox->setObjectName(QStringLiteral("NullRequestCheckBox"));
    NullRequestCheckBox->setToolTip(
        QStringLiteral("Заявки, время ожидания которых в накопителе равно 0"));
    NullRequestCheckBox->setEnabled(false);
    Label25 = new QLabel(QStringLiteral("Объем выборки"), left);
    Label25->setObjectName(QStringLiteral("Label25"));
    Edit22 = new QLineEdit(left);
    Edit22->setObjectName(QStringLiteral("Edit22"));
    Edit22->setReadOnly(true);

    // The tab's own law editor, with the button that fits the law to the sample.
    lawEditor_ = new LawEditor(services_.messages, left);
    lawEditor_->setFixedSize(kLawBoxWidth, kLawBoxHeight);
    lawEditor_->AutoParamsButton->show();
    Button11 = new QPushButton(QStringLiteral("Проверить гипотезу"), left);
    Button11->setObjectName(QStringLiteral("Button11"));
    Button11->setToolTip(
        QStringLiteral("Проверить с помощью критерия хи-квадрат,\nподходит ли выбранный закон "
                       "распределения для описания экспериментального распределения."));

    auto* size = new QHBoxLayout;
    size->addWidget(Label25);
    size->addWidget(Edit22, 1);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->addWidget(DistrListBox, 1);
    leftLayout->addWidget(NullRequestCheckBox);
    leftLayout->addLayout(size);
    leftLayout->addWidget(lawEditor_);
    leftLayout->addWidget(Button11);
    left->setMinimumWidth(kLawBoxWidth + 20);

    Chart1 = new QChart;
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->legend()->hide();
    Series1 = new QBarSet(QString());
    Series1->setObjectName(QStringLiteral("Series1"));
    Series1->setColor(Qt::red);
    Series5 = new QBarSet(QString(), this);
    Series5->setObjectName(QStringLiteral("Series5"));
    Series5->setColor(kExpectedColor);
    Series5->setBorderColor(kExpectedOutline);
    // The expected bars carry no labels; the series labels all its sets.
    Series5->setLabelColor(Qt::transparent);
    bars_ = new QBarSeries;
    bars_->append(Series1);
    bars_->setLabelsVisible(true);
    bars_->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    Series1->setLabelColor(Qt::black);
    Chart1->addSeries(bars_);
    axisX_ = new QBarCategoryAxis;
    axisY_ = new QValueAxis;
    axisY_->setLabelFormat(QStringLiteral("%g"));
    axisX_->setTruncateLabels(false);
    Chart1->addAxis(axisX_, Qt::AlignBottom);
    Chart1->addAxis(axisY_, Qt::AlignLeft);
    bars_->attachAxis(axisX_);
    bars_->attachAxis(axisY_);
    chartView_ = new ChartView(Chart1);
    chartView_->setObjectName(QStringLiteral("Chart1View"));
    DistrHelpMemo = new QPlainTextEdit(QStringLiteral(
        "Для добавления распределений нужно перейти на вкладку \"Планирование эксперимента\" и в "
        "таблице \"Планирование распределений\" выбрать необходимые показатели."));
    DistrHelpMemo->setObjectName(QStringLiteral("DistrHelpMemo"));
    DistrHelpMemo->setReadOnly(true);
    DistrHelpMemo->setFrameShape(QFrame::NoFrame);
    DistrHelpMemo->setFixedHeight(56);
    DistrHelpMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette window = DistrHelpMemo->palette();
    window.setColor(QPalette::Base, window.color(QPalette::Window));
    DistrHelpMemo->setPalette(window);

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(chartView_, 1);
    rightLayout->addWidget(DistrHelpMemo);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(splitter);

    connect(DistrListBox, &QListWidget::itemDoubleClicked, this,
            &DistributionsTab::DistrListBoxDblClick);
    connect(NullRequestCheckBox, &QCheckBox::clicked, this,
            &DistributionsTab::NullRequestCheckBoxClick);
    connect(lawEditor_, &LawEditor::AutoParamsButtonClicked, this,
            &DistributionsTab::AutoParamsButtonClick);
    connect(Button11, &QPushButton::clicked, this, &DistributionsTab::Button11Click);
    for (QBarSet* set : {Series1, Series5}) {
        connect(set, &QBarSet::pressed, chartView_, &ChartView::SeriesTook);
        connect(set, &QBarSet::clicked, this, [this, set] {
            chartView_->SeriesTook();
            Chart1ClickSeries(set);
        });
    }
    connect(chartView_, &ChartView::backgroundClicked, this,
            &DistributionsTab::Chart1ClickBackground);
}

bool DistributionsTab::HasItems() const {
    return DistrListBox->count() > 0;
}

const CDistribution* DistributionsTab::Distribution(const DistrInfo& info) const {
    const CQueuingSystem* m = results_();
    return m ? m->DistributionIndicator(info.id, info.object, info.type) : nullptr;
}

std::optional<DistrInfo> DistributionsTab::Selected() const {
    const QListWidgetItem* item = DistrListBox->currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    return UnpackedKey(item->data(Qt::UserRole).toInt());
}

uint32_t DistributionsTab::ZeroWaits(const CDistribution& d, const DistrInfo& info) const {
    return ZeroWaitCount(*results_(), info, d, NullRequestCheckBox->isChecked());
}

void DistributionsTab::RebuildList() {
    const CQueuingSystem* m = results_();
    if (!m) {
        // The chart keeps what it shows.
        DistrListBox->clear();
        shownDistr_.reset();
        emit ButtonsChanged();
        return;
    }
    std::optional<std::string> remembered;
    if (const QListWidgetItem* item = DistrListBox->currentItem(); item && item->isSelected())
        remembered = item->text().toStdString();
    DistrListBox->clear();
    const std::vector<DistrEntry> entries = DistributionEntries(m);
    for (const DistrEntry& e : entries) {
        auto* item = new QListWidgetItem(Q(e.title), DistrListBox);
        item->setData(Qt::UserRole, PackedKey(e.info));
    }
    const int at = ReselectEntry(entries, remembered);
    if (at >= 0)
        DistrListBox->setCurrentRow(at);
    DrawHistogram();
}

void DistributionsTab::ShowExpected(bool on) {
    if (on == expectedShown_)
        return;
    if (on) {
        bars_->append(Series5);
    } else {
        bars_->take(Series5);
        // Taken back from the series, the set belongs to the tab again.
        Series5->setParent(this);
    }
    expectedShown_ = on;
}

void DistributionsTab::SetBars(const std::vector<HistogramBar>& observed,
                               const std::vector<HistogramBar>* expected) {
    QStringList categories;
    float top = 0.0f;
    for (const HistogramBar& b : observed) {
        QString text = Q(BarAxisText(b));
        // The axis needs distinct texts; positions rounded alike stay apart.
        while (categories.contains(text))
            text += QChar(0x200B);
        categories << text;
        top = std::max(top, b.height);
    }
    if (expected) {
        for (const HistogramBar& b : *expected)
            top = std::max(top, b.height);
    }
    axisX_->clear();
    axisX_->append(categories);
    // Many narrow bars keep their texts readable upright.
    const bool crowded = categories.size() > 8;
    axisX_->setLabelsAngle(crowded ? -90 : 0);
    // The heights are written as the chart writes them: a text wider than its
    // bar would run into the next one or out of the picture.
    const QFontMetricsF metrics(Series1->labelFont());
    double widest = 0.0;
    for (const HistogramBar& b : observed) {
        const QString text = QString::number(b.height, 'g', bars_->labelsPrecision());
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    const QRectF plot = Chart1->plotArea();
    const BarLabelLayout labels = LayOutBarLabels(top, observed.size(), widest, metrics.height(),
                                                  plot.width(), plot.height());
    bars_->setLabelsAngle(labels.upright ? 0 : -90);
    axisY_->setRange(0.0, labels.axisTop);
    axisY_->applyNiceNumbers();
}

void DistributionsTab::DrawHistogram() {
    ShowExpected(false);
    Series1->remove(0, Series1->count());
    Series5->remove(0, Series5->count());
    const std::optional<DistrInfo> selected = Selected();
    const CDistribution* d = selected ? Distribution(*selected) : nullptr;
    if (!d) {
        shownDistr_.reset();
        emit ButtonsChanged();
        return;
    }
    shownDistr_ = selected;
    const uint32_t z = ZeroWaits(*d, *selected);
    NullRequestCheckBox->setEnabled(selected->id == indWaitDistr);
    const std::vector<HistogramBar> observed = HistogramBars(*d, selected->id, z);
    for (const HistogramBar& b : observed)
        Series1->append(b.height);
    SetBars(observed, nullptr);
    Chart1->setTitle(DistrListBox->currentItem()->text());
    const SampleSizeText size = SampleSize(*d, selected->id, z);
    Label25->setText(Q(size.label));
    Edit22->setText(Q(size.value));
    emit ButtonsChanged();
}

void DistributionsTab::DistrListBoxDblClick() {
    DrawHistogram();
}

void DistributionsTab::NullRequestCheckBoxClick() {
    DrawHistogram();
}

void DistributionsTab::AutoParamsButtonClick() {
    const std::optional<DistrInfo> selected = Selected();
    if (!selected)
        return;
    if (const CDistribution* d = Distribution(*selected))
        lawEditor_->FitLaw(*d);
}

void DistributionsTab::Button11Click() {
    const std::optional<DistrInfo> selected = Selected();
    if (!selected)
        return;
    if (!lawEditor_->AcceptLaw())
        return;
    const CDistribution* d = Distribution(*selected);
    if (!d)
        return;
    // The bars tested are the ones on display.
    if (shownDistr_ != selected)
        DrawHistogram();
    const LawRecord law = lawEditor_->dialogLaw;
    const ChiSquareOutcome out = ChiSquareTest(*d, law);
    if (out.tested) {
        testedLaw_ = law;
        const std::vector<HistogramBar> expected =
            ExpectedBars(*d, selected->id, out.expected);
        Series5->remove(0, Series5->count());
        for (const HistogramBar& b : expected)
            Series5->append(b.height);
        ShowExpected(true);
        SetBars(HistogramBars(*d, selected->id, ZeroWaits(*d, *selected)), &expected);
    }
    services_.messages.Show(kCaptionResult, MessageIcon::kInformation, Q(out.text), kButtonOk);
}

void DistributionsTab::ShowTable(TTableForm& table) {
    if (!HasItems() || !shownDistr_)
        return;
    const CDistribution* d = Distribution(*shownDistr_);
    if (!d)
        return;
    const std::optional<LawRecord> tested =
        expectedShown_ ? std::optional<LawRecord>(testedLaw_) : std::nullopt;
    TextTable t =
        DistributionTable(*d, shownDistr_->id, ZeroWaits(*d, *shownDistr_), tested);
    const std::string title = CAppData::DistributionTitle(*results_(), shownDistr_->id,
                                                          shownDistr_->object, shownDistr_->type);
    table.ShowTable(QStringLiteral("Распределение - ") + Q(title), QString(), std::move(t));
}

void DistributionsTab::SaveChart() {
    SaveChartPicture(services_, *chartView_);
}

void DistributionsTab::CopyChart() {
    services_.clipboard.SetImage(chartView_->Picture());
}

void DistributionsTab::Chart1ClickSeries(QBarSet* set) {
    if (const std::optional<QColor> c = services_.colors.PickColor(set->color()))
        set->setColor(*c);
}

void DistributionsTab::Chart1ClickBackground() {
    if (const std::optional<QColor> c =
            services_.colors.PickColor(Chart1->backgroundBrush().color())) {
        Chart1->setBackgroundBrush(*c);
        Chart1->setPlotAreaBackgroundBrush(*c);
        Chart1->setPlotAreaBackgroundVisible(true);
    }
}

}  // namespace marvolt
