#include "editor/link_list_tab.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/probability_cells.h"

namespace marvolt {

const LinkListNames kReceiverNames{" Приемники заявок ",
                                   "SGReceivers",
                                   "BitBtn1",
                                   "BitBtn14",
                                   "Button2",
                                   "Дисциплина выбора приемника заявки ",
                                   "ReceiversOrderRB",
                                   "ReceiversCasuallyRB",
                                   "ReceiversRCountRB",
                                   "По минимальному количеству заявок в приемнике"};

const LinkListNames kSourceNames{" Источники заявок ",
                                 "SGSources",
                                 "BitBtn23",
                                 "BitBtn24",
                                 "Button3",
                                 "Дисциплина выбора источника заявок ",
                                 "SourceOrderRB",
                                 "SourcesCasuallyRB",
                                 "SourcesRCountRB",
                                 "По наибольшему количеству заявок в источнике"};

namespace {

constexpr int kNameColumn = 0;
constexpr int kProbabilityColumn = 1;

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(QString::fromUtf8(name));
    return w;
}

}  // namespace

LinkListTab::LinkListTab(const LinkListNames& names, MessageService& messages, QWidget* parent)
    : QWidget(parent) {
    auto* page = new QVBoxLayout(this);

    LinksGroup = new QGroupBox(QString::fromUtf8(names.group), this);
    auto* links = new QVBoxLayout(LinksGroup);
    Grid = Named(new QTableWidget(0, 2, LinksGroup), names.grid);
    Grid->setHorizontalHeaderLabels(
        {QStringLiteral("Наименование"), QStringLiteral("Вероятность")});
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setDefaultSectionSize(Grid->fontMetrics().height() + 8);
    Grid->horizontalHeader()->setStretchLastSection(false);
    Grid->horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    Grid->setColumnWidth(kProbabilityColumn, 80);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    links->addWidget(Grid);

    auto* buttons = new QHBoxLayout;
    UpButton = Named(new QPushButton(LinksGroup), names.up);
    UpButton->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    UpButton->setToolTip(QStringLiteral("Переместить вверх"));
    DownButton = Named(new QPushButton(LinksGroup), names.down);
    DownButton->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    DownButton->setToolTip(QStringLiteral("Переместить вниз"));
    EqualButton = Named(
        new QPushButton(QStringLiteral("Установить равные вероятности"), LinksGroup), names.equal);
    for (QPushButton* b : {UpButton, DownButton, EqualButton})
        b->setAutoDefault(false);
    buttons->addWidget(UpButton);
    buttons->addWidget(DownButton);
    buttons->addStretch();
    buttons->addWidget(EqualButton);
    links->addLayout(buttons);
    page->addWidget(LinksGroup, 1);

    auto* disciplines = new QGroupBox(QString::fromUtf8(names.disciplineGroup), this);
    auto* radios = new QVBoxLayout(disciplines);
    OrderRB = Named(new QRadioButton(QStringLiteral("По порядку следования в списке"), disciplines),
                    names.byOrder);
    CasuallyRB = Named(new QRadioButton(QStringLiteral("Случайно (в соответствии с заданной "
                                                       "вероятностью)"),
                                        disciplines),
                       names.byProbability);
    RCountRB =
        Named(new QRadioButton(QString::fromUtf8(names.byCountText), disciplines), names.byCount);
    for (QRadioButton* r : {OrderRB, CasuallyRB, RCountRB})
        radios->addWidget(r);
    page->addWidget(disciplines);

    cells_ = std::make_unique<ProbabilityCells>(Grid, kProbabilityColumn, messages, [this] {
        return links_ ? &links_->probabilities : nullptr;
    });

    connect(UpButton, &QPushButton::clicked, this, [this] { MoveClick(true); });
    connect(DownButton, &QPushButton::clicked, this, [this] { MoveClick(false); });
    connect(EqualButton, &QPushButton::clicked, this, &LinkListTab::EqualClick);
    connect(OrderRB, &QRadioButton::clicked, this, [this] { DisciplineClick(kRouteInOrder); });
    connect(CasuallyRB, &QRadioButton::clicked, this, [this] { DisciplineClick(kRouteRandom); });
    connect(RCountRB, &QRadioButton::clicked, this, [this] { DisciplineClick(kRouteFewest); });
    // A click on another cell is where an edited cell is judged.
    connect(Grid, &QTableWidget::cellClicked, this, [this](int row) { CheckCells(row); });
}

LinkListTab::~LinkListTab() = default;

void LinkListTab::Fill(LinkCopy& links, const CQueuingSystem& model) {
    links_ = &links;
    model_ = &model;
    Refill(-1);
    ShowDiscipline();
}

void LinkListTab::Refill(int currentRow) {
    const std::vector<LinkRow> rows = LinkRows(*links_, *model_);
    Grid->clearContents();
    Grid->setRowCount(std::max<int>(1, static_cast<int>(rows.size())));
    if (rows.empty()) {
        Grid->setItem(0, kNameColumn, ProbabilityCells::FixedCell({}));
        Grid->setItem(0, kProbabilityColumn, ProbabilityCells::FixedCell({}));
    }
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        Grid->setItem(r, kNameColumn,
                      ProbabilityCells::FixedCell(QString::fromStdString(rows[r].name)));
        Grid->setItem(r, kProbabilityColumn,
                      ProbabilityCells::Cell(QString::fromStdString(rows[r].probability)));
    }
    if (currentRow >= 0)
        Grid->setCurrentCell(currentRow, Grid->currentColumn() < 0 ? 0 : Grid->currentColumn());
}

void LinkListTab::ShowDiscipline() {
    const uint8_t d = links_->discipline;
    for (QRadioButton* r : {OrderRB, CasuallyRB, RCountRB}) {
        const QSignalBlocker quiet(r);
        r->setChecked(false);
    }
    QRadioButton* ticked = d == kRouteRandom ? CasuallyRB : d == kRouteFewest ? RCountRB : OrderRB;
    {
        const QSignalBlocker quiet(ticked);
        ticked->setChecked(true);
    }
    // Probabilities mean something only to the random discipline.
    Grid->setColumnHidden(kProbabilityColumn, d != kRouteRandom);
    EqualButton->setVisible(d == kRouteRandom);
}

bool LinkListTab::CheckCells(int clickedRow) {
    return cells_->Check(clickedRow);
}

bool LinkListTab::Settled() {
    return links_ && (!settle_ || settle_()) && CheckCells();
}

void LinkListTab::MoveClick(bool up) {
    if (!Settled())
        return;
    const int row = Grid->currentRow();
    if (row < 0)
        return;
    if (const std::optional<size_t> to = MoveLink(*links_, static_cast<size_t>(row), up))
        Refill(static_cast<int>(*to));
}

void LinkListTab::EqualClick() {
    if (!Settled())
        return;
    SetEqualProbabilities(links_->probabilities);
    Refill(Grid->currentRow());
}

void LinkListTab::DisciplineClick(uint8_t discipline) {
    if (!links_)
        return;
    // A typed probability is judged before its column may disappear.
    if (Settled())
        links_->discipline = discipline;
    ShowDiscipline();
}

}  // namespace marvolt
