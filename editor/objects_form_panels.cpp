// The properties dialog's panels, one per kind of what it edits.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/field_width.h"
#include "editor/objects_form.h"
#include "editor/probability_cells.h"
#include "kernel/channel.h"
#include "kernel/queue.h"

namespace marvolt {

namespace {

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

QLineEdit* ReadOnlyField(QWidget* parent, const char* name) {
    auto* e = Named(new QLineEdit(parent), name);
    e->setReadOnly(true);
    return e;
}

QPushButton* ChangeButton(QWidget* parent, const char* name) {
    auto* b = Named(new QPushButton(QStringLiteral("Изменить"), parent), name);
    b->setAutoDefault(false);
    return b;
}

// Spin boxes move with their arrows only.
QSpinBox* ArrowsOnly(QSpinBox* spin, int lo, int hi) {
    spin->setRange(lo, hi);
    if (auto* text = spin->findChild<QLineEdit*>())
        text->setReadOnly(true);
    return spin;
}

}  // namespace

void TAccumulatorForm::BuildTypeLists() {
    RequestListsPanel = Named(new QWidget(TabSheet1), "RequestListsPanel");
    auto* strip = new QHBoxLayout(RequestListsPanel);
    strip->setContentsMargins(0, 0, 0, 0);

    auto* admitted = new QGroupBox(QStringLiteral(" Допустимые типы заявок "), RequestListsPanel);
    auto* admittedLayout = new QVBoxLayout(admitted);
    SGRequests = Named(new QTableWidget(0, 3, admitted), "SGRequests");
    SGRequests->setHorizontalHeaderLabels(
        {QStringLiteral("Наименование"), QStringLiteral("Закон распр."), QString()});
    SGRequests->verticalHeader()->hide();
    // The name takes the room the other columns leave, so no scroll bar is needed.
    SGRequests->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    SGRequests->verticalHeader()->setDefaultSectionSize(SGRequests->fontMetrics().height() + 8);
    SGRequests->setSelectionMode(QAbstractItemView::ContiguousSelection);
    SGRequests->setEditTriggers(QAbstractItemView::SelectedClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    admittedLayout->addWidget(SGRequests);
    EqReqPrsButton =
        Named(new QPushButton(QStringLiteral("Установить равные вероятности"), admitted),
              "EqReqPrsButton");
    EqReqPrsButton->setAutoDefault(false);
    admittedLayout->addWidget(EqReqPrsButton, 0, Qt::AlignRight);
    strip->addWidget(admitted, 1);

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    Button12 = Named(new QPushButton(QStringLiteral("<"), RequestListsPanel), "Button12");
    Button15 = Named(new QPushButton(QStringLiteral("<<"), RequestListsPanel), "Button15");
    Button14 = Named(new QPushButton(QStringLiteral(">"), RequestListsPanel), "Button14");
    Button13 = Named(new QPushButton(QStringLiteral(">>"), RequestListsPanel), "Button13");
    for (QPushButton* b : {Button12, Button15, Button14, Button13}) {
        b->setFixedWidth(36);
        b->setAutoDefault(false);
        moves->addWidget(b);
    }
    moves->addStretch();
    strip->addLayout(moves);

    OtherTypesGroup =
        new QGroupBox(QStringLiteral(" Недопустимые типы заявок "), RequestListsPanel);
    OtherTypesGroup->setFixedWidth(222);
    auto* otherLayout = new QVBoxLayout(OtherTypesGroup);
    AllRequestListBox = Named(new QListWidget(OtherTypesGroup), "AllRequestListBox");
    AllRequestListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    otherLayout->addWidget(AllRequestListBox);
    strip->addWidget(OtherTypesGroup);

    // The transform chooser waits behind the grid until a target cell is clicked.
    RequestComboBox = Named(new QComboBox(SGRequests->viewport()), "RequestComboBox");
    RequestComboBox->hide();

    typeCells_ = std::make_unique<ProbabilityCells>(SGRequests, 1, messages_, [this] {
        return node && draft_.kind == kGenerator ? &draft_.typeProbabilities : nullptr;
    });

    connect(SGRequests, &QTableWidget::cellClicked, this, &TAccumulatorForm::SGRequestsClick);
    connect(SGRequests, &QTableWidget::cellDoubleClicked, this,
            &TAccumulatorForm::SGRequestsDblClick);
    connect(Button12, &QPushButton::clicked, this, &TAccumulatorForm::Button12Click);
    connect(Button15, &QPushButton::clicked, this, &TAccumulatorForm::Button15Click);
    connect(Button14, &QPushButton::clicked, this, &TAccumulatorForm::Button14Click);
    connect(Button13, &QPushButton::clicked, this, &TAccumulatorForm::Button13Click);
    connect(EqReqPrsButton, &QPushButton::clicked, this, &TAccumulatorForm::EqReqPrsButtonClick);
    connect(RequestComboBox, &QComboBox::activated, this, &TAccumulatorForm::RequestComboBoxExit);
}

void TAccumulatorForm::BuildGeneratorPanel() {
    GeneratorPanel = new QGroupBox(QStringLiteral(" Поток событий "), TabSheet1);
    GeneratorPanel->setFixedHeight(102);
    auto* grid = new QGridLayout(GeneratorPanel);
    GenDLawEdit = ReadOnlyField(GeneratorPanel, "GenDLawEdit");
    Button1 = ChangeButton(GeneratorPanel, "Button1");
    ReqQtyEdit = ReadOnlyField(GeneratorPanel, "ReqQtyEdit");
    Button4 = ChangeButton(GeneratorPanel, "Button4");
    grid->addWidget(new QLabel(QStringLiteral("Закон распределения интервалов"), GeneratorPanel), 0,
                    0);
    grid->addWidget(GenDLawEdit, 0, 1);
    grid->addWidget(Button1, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Число заявок при одном событии"), GeneratorPanel), 1,
                    0);
    grid->addWidget(ReqQtyEdit, 1, 1);
    grid->addWidget(Button4, 1, 2);
    connect(Button1, &QPushButton::clicked, this, &TAccumulatorForm::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &TAccumulatorForm::Button4Click);
}

void TAccumulatorForm::BuildQueuePanel() {
    QueuePanel = Named(new QWidget(TabSheet1), "QueuePanel");
    QueuePanel->setFixedHeight(178);
    auto* row = new QHBoxLayout(QueuePanel);
    row->setContentsMargins(0, 0, 0, 0);
    auto* left = new QVBoxLayout;

    auto* length = new QGroupBox(QStringLiteral(" Длина очереди "), QueuePanel);
    auto* lengthRow = new QHBoxLayout(length);
    NoLenLimitCheckBox =
        Named(new QCheckBox(QStringLiteral("ограничена"), length), "NoLenLimitCheckBox");
    CSpinEdit1 = ArrowsOnly(Named(new QSpinBox(length), "CSpinEdit1"), 1, 10000000);
    CSpinEdit1->setValue(10);
    lengthRow->addWidget(NoLenLimitCheckBox);
    lengthRow->addWidget(CSpinEdit1, 1);
    left->addWidget(length);

    auto* wait =
        new QGroupBox(QStringLiteral(" Время ожидания заявки в очереди (t ожид.) "), QueuePanel);
    auto* waitLayout = new QVBoxLayout(wait);
    RadioButton5 = Named(new QRadioButton(QStringLiteral("неограничено"), wait), "RadioButton5");
    RadioButton6 = Named(new QRadioButton(QStringLiteral("ограничено случайным значением"), wait),
                         "RadioButton6");
    RadioButton7 = Named(new QRadioButton(QStringLiteral("ограничено предельным значением"), wait),
                         "RadioButton7");
    MaxTimeEdit = Named(new QLineEdit(wait), "MaxTimeEdit");
    // The longest text a limit is shown with; a limit cut short reads as another.
    MaxTimeEdit->setMinimumWidth(FieldWidthFor(MaxTimeEdit, QStringLiteral("1.2345678e+08")));
    waitLayout->addWidget(RadioButton5);
    waitLayout->addWidget(RadioButton6);
    auto* fixed = new QHBoxLayout;
    fixed->addWidget(RadioButton7);
    fixed->addWidget(MaxTimeEdit, 1);
    waitLayout->addLayout(fixed);
    left->addWidget(wait);
    row->addLayout(left, 3);

    auto* discipline = new QGroupBox(QStringLiteral("Дисциплина выбора заявки "), QueuePanel);
    auto* d = new QVBoxLayout(discipline);
    RadioButton1 = Named(new QRadioButton(QStringLiteral("FIFO"), discipline), "RadioButton1");
    RadioButton2 = Named(new QRadioButton(QStringLiteral("LIFO"), discipline), "RadioButton2");
    RadioButton3 = Named(new QRadioButton(QStringLiteral("Случайно"), discipline), "RadioButton3");
    RadioButton4 = Named(new QRadioButton(QStringLiteral("По минимальному времени,\nоставшемуся до "
                                                         "отказа"),
                                          discipline),
                         "RadioButton4");
    RqPriorCheckBox = Named(new QCheckBox(QStringLiteral("С учетом приоритета заявок"), discipline),
                            "RqPriorCheckBox");
    for (QWidget* w : {static_cast<QWidget*>(RadioButton1), static_cast<QWidget*>(RadioButton2),
                       static_cast<QWidget*>(RadioButton3), static_cast<QWidget*>(RadioButton4),
                       static_cast<QWidget*>(RqPriorCheckBox)})
        d->addWidget(w);
    row->addWidget(discipline, 2);

    connect(NoLenLimitCheckBox, &QCheckBox::clicked, this,
            &TAccumulatorForm::NoLenLimitCheckBoxClick);
    connect(RqPriorCheckBox, &QCheckBox::clicked, this, &TAccumulatorForm::RqPriorCheckBoxClick);
    const std::array<QRadioButton*, 3> modes{RadioButton5, RadioButton6, RadioButton7};
    for (uint8_t m = 0; m < modes.size(); ++m)
        connect(modes[m], &QRadioButton::clicked, this, [this, m] { WaitModeClick(m); });
    const std::array<QRadioButton*, 4> disciplines{RadioButton1, RadioButton2, RadioButton3,
                                                   RadioButton4};
    for (uint8_t k = 0; k < disciplines.size(); ++k)
        connect(disciplines[k], &QRadioButton::clicked, this, [this, k] { DisciplineClick(k); });
}

void TAccumulatorForm::BuildChannelPanel() {
    ChannelPanel = Named(new QWidget(TabSheet1), "ChannelPanel");
    auto* row = new QHBoxLayout(ChannelPanel);
    row->setContentsMargins(0, 0, 0, 0);

    auto* left = new QWidget(ChannelPanel);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 10, 0);
    ServiceGroup = new QGroupBox(QStringLiteral(" Параметры обслуживания "), left);
    auto* service = new QGridLayout(ServiceGroup);
    CSpinEdit2 = ArrowsOnly(Named(new QSpinBox(ServiceGroup), "CSpinEdit2"), 1, 255);
    TransformRTCheckBox =
        Named(new QCheckBox(QStringLiteral("Преобразовывать тип заявки"), ServiceGroup),
              "TransformRTCheckBox");
    service->addWidget(new QLabel(QStringLiteral(" Число обслуживающих устройств"), ServiceGroup),
                       0, 0);
    service->addWidget(CSpinEdit2, 0, 1);
    service->addWidget(TransformRTCheckBox, 1, 0, 1, 2);
    leftLayout->addWidget(ServiceGroup);

    FailureRuleGroup = new QGroupBox(QStringLiteral(" В случае отказа канала заявки: "), left);
    auto* rules = new QVBoxLayout(FailureRuleGroup);
    const std::array<const char*, 4> ruleTexts{
        "переходят в сток отказов", "продолжают обслуживаться в резервном канале",
        "обслуживаются заново в резервном канале", "ожидают окончания восстановления канала"};
    const std::array<const char*, 4> ruleNames{"FailToSinkRB", "ContinueInReserveRB",
                                               "RestartInReserveRB", "WaitForRepairRB"};
    for (uint8_t r = 0; r < FailureRuleRB.size(); ++r) {
        FailureRuleRB[r] = Named(
            new QRadioButton(QString::fromUtf8(ruleTexts[r]), FailureRuleGroup), ruleNames[r]);
        rules->addWidget(FailureRuleRB[r]);
        connect(FailureRuleRB[r], &QRadioButton::clicked, this, [this, r] { FailureRuleClick(r); });
    }
    leftLayout->addWidget(FailureRuleGroup);
    leftLayout->addStretch();
    row->addWidget(left);

    FailureGroup = new QGroupBox(QStringLiteral(" Параметры отказа канала "), ChannelPanel);
    auto* failure = new QGridLayout(FailureGroup);
    FailureAvailableCheckBox =
        Named(new QCheckBox(QStringLiteral("Моделировать отказ канала"), FailureGroup),
              "FailureAvailableCheckBox");
    WorkTimeLabel = new QLabel(QStringLiteral("Время наработки до отказа"), FailureGroup);
    WorkTimeEdit = ReadOnlyField(FailureGroup, "WorkTimeEdit");
    ErrorFreeTimeButton = ChangeButton(FailureGroup, "ErrorFreeTimeButton");
    RepairTimeEdit = ReadOnlyField(FailureGroup, "RepairTimeEdit");
    Button11 = ChangeButton(FailureGroup, "Button11");
    ReserveChannelCheckBox =
        Named(new QCheckBox(QStringLiteral("Использовать резервный канал"), FailureGroup),
              "ReserveChannelCheckBox");
    ReserveChannelComboBox = Named(new QComboBox(FailureGroup), "ReserveChannelComboBox");
    failure->addWidget(FailureAvailableCheckBox, 0, 0, 1, 2);
    failure->addWidget(WorkTimeLabel, 1, 0, 1, 2);
    failure->addWidget(WorkTimeEdit, 2, 0);
    failure->addWidget(ErrorFreeTimeButton, 2, 1);
    failure->addWidget(new QLabel(QStringLiteral("Время восстановления канала"), FailureGroup), 3,
                       0, 1, 2);
    failure->addWidget(RepairTimeEdit, 4, 0);
    failure->addWidget(Button11, 4, 1);
    failure->addWidget(ReserveChannelCheckBox, 5, 0, 1, 2);
    failure->addWidget(ReserveChannelComboBox, 6, 0, 1, 2);
    failure->setRowStretch(7, 1);
    row->addWidget(FailureGroup, 1);

    connect(TransformRTCheckBox, &QCheckBox::clicked, this,
            &TAccumulatorForm::TransformRTCheckBoxClick);
    connect(FailureAvailableCheckBox, &QCheckBox::clicked, this,
            &TAccumulatorForm::FailureAvailableCheckBoxClick);
    connect(ReserveChannelCheckBox, &QCheckBox::clicked, this,
            &TAccumulatorForm::ReserveChannelCheckBoxClick);
    connect(ErrorFreeTimeButton, &QPushButton::clicked, this,
            &TAccumulatorForm::ErrorFreeTimeButtonClick);
    connect(Button11, &QPushButton::clicked, this, &TAccumulatorForm::Button11Click);
}

void TAccumulatorForm::BuildSinkAndTypePanels() {
    SinkPanel = Named(new QWidget(TabSheet1), "SinkPanel");
    auto* sink = new QVBoxLayout(SinkPanel);
    RefusalSinkCheckBox =
        Named(new QCheckBox(QStringLiteral("Использовать как сток отказов"), SinkPanel),
              "RefusalSinkCheckBox");
    // It shows which sink the model refuses to; that is chosen in the main window.
    RefusalSinkCheckBox->setEnabled(false);
    sink->addWidget(RefusalSinkCheckBox);

    TypePanel = Named(new QWidget(TabSheet1), "TypePanel");
    auto* type = new QHBoxLayout(TypePanel);
    type->addWidget(new QLabel(QStringLiteral("Приоритет"), TypePanel));
    CSpinEdit5 = ArrowsOnly(Named(new QSpinBox(TypePanel), "CSpinEdit5"), 0, RequestTypeLimit);
    type->addWidget(CSpinEdit5);
    type->addStretch();
}

}  // namespace marvolt
