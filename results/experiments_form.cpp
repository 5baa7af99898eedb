#include "results/experiments_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "editor/law_editor.h"
#include "results/application_data.h"
#include "results/dependencies_tab.h"
#include "results/distributions_tab.h"
#include "results/indicators_tab.h"
#include "results/logic/confidence_interval.h"
#include "results/logic/report_file.h"
#include "results/logic/stop_limits.h"
#include "results/planning_grid.h"
#include "results/run_progress.h"

namespace marvolt {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QPushButton* BarButton(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->resize(128, 25);
    return b;
}

}  // namespace

TResultsForm::TResultsForm(UiServices services, ModelPlace& place, QWidget* parent)
    : QDialog(parent),
      services_(services),
      place_(place),
      session_(place),
      progress_(new RunProgressDialog(this)) {
    setObjectName(QStringLiteral("ResultsForm"));
    setWindowTitle(kExperimentWindowTitle);
    setModal(true);
    resize(729, 554);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet6 = BuildPlanningTab();
    indicators_ = new IndicatorsTab([this] { return session_.Results(); });
    TabSheet1 = indicators_;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    distributions_ =
        new DistributionsTab(services_, [this] { return session_.Results(); }, TestedLaw);
    TabSheet2 = distributions_;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    dependencies_ = new DependenciesTab(services_, [this] { return Current(); });
    TabSheet3 = dependencies_;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet6, QStringLiteral(" Планирование эксперимента"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Показатели"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Распределения"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Зависимости"));
    PageControl1->setCurrentWidget(TabSheet2);
    shownTab_ = TabSheet2;

    ButtonBar = new QWidget(this);
    ButtonBar->setObjectName(QStringLiteral("ButtonBar"));
    ButtonBar->setFixedHeight(41);
    RunButton =
        BarButton(QStringLiteral("RunButton"), QStringLiteral("Выполнить эксперимент"), ButtonBar);
    // Its caption is the longest; the next button starts at 176.
    RunButton->resize(160, 25);
    ShowTableButton =
        BarButton(QStringLiteral("ShowTableButton"), QStringLiteral("Показать таблицу"), ButtonBar);
    SaveResultsButton =
        BarButton(QStringLiteral("SaveResultsButton"), QStringLiteral("Сохранить"), ButtonBar);
    CopyButton = BarButton(QStringLiteral("CopyButton"), QStringLiteral("Копировать"), ButtonBar);
    CloseButton = BarButton(QStringLiteral("CloseButton"), QStringLiteral("Закрыть"), ButtonBar);
    CloseButton->setToolTip(QStringLiteral("Закрыть окно управления экспериментом"));
    // Closing drops a pending edit of the planning grid unchecked: the button
    // must not take the focus, or leaving the grid would check it first.
    CloseButton->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(0);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(ButtonBar);

    connect(PageControl1, &QTabWidget::currentChanged, this, &TResultsForm::PageControl1Change);
    connect(RunButton, &QPushButton::clicked, this, &TResultsForm::RunButtonClick);
    connect(ShowTableButton, &QPushButton::clicked, this, &TResultsForm::ShowTableButtonClick);
    connect(SaveResultsButton, &QPushButton::clicked, this, &TResultsForm::SaveResultsButtonClick);
    connect(CopyButton, &QPushButton::clicked, this, &TResultsForm::CopyButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TResultsForm::CloseButtonClick);
    connect(RadioButton1, &QRadioButton::clicked, this, &TResultsForm::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &TResultsForm::RadioButton2Click);
    connect(Button9, &QPushButton::clicked, this, &TResultsForm::Button9Click);
    for (QLineEdit* edit : {Edit25, Edit26, Edit27})
        edit->installEventFilter(this);
    connect(distributions_, &DistributionsTab::ButtonsChanged, this, &TResultsForm::ArrangeButtons);
    connect(dependencies_, &DependenciesTab::ButtonsChanged, this, &TResultsForm::ArrangeButtons);
    // Enter in a field commits that field. As a dialog's default button, the
    // run button would start an experiment and the confidence-interval button
    // would replace the number just typed.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    connect(Edit25, &QLineEdit::returnPressed, this, [this] { Edit25Exit(); });
    connect(Edit26, &QLineEdit::returnPressed, this, [this] { Edit26Exit(); });
    connect(Edit27, &QLineEdit::returnPressed, this, [this] { Edit27Exit(); });
    ArrangeButtons();
}

TResultsForm::~TResultsForm() = default;

QWidget* TResultsForm::BuildPlanningTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QStringLiteral("TabSheet6"));

    GroupBox1 = new QGroupBox(QStringLiteral(" Критерий остановки эксперимента "), tab);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    RadioButton1 = new QRadioButton(QStringLiteral("Время моделирования"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    Edit25 = new QLineEdit(QStringLiteral("10000"), GroupBox1);
    Edit25->setObjectName(QStringLiteral("Edit25"));
    RadioButton2 = new QRadioButton(QStringLiteral("Число поступивших заявок"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    Edit26 = new QLineEdit(QStringLiteral("10000"), GroupBox1);
    Edit26->setObjectName(QStringLiteral("Edit26"));
    Label40 = new QLabel(QStringLiteral("t"), GroupBox1);
    Label40->setObjectName(QStringLiteral("Label40"));
    Label41 = new QLabel(QStringLiteral("<sub>α</sub>"), GroupBox1);
    Label41->setObjectName(QStringLiteral("Label41"));
    Label42 = new QLabel(QStringLiteral("="), GroupBox1);
    Label42->setObjectName(QStringLiteral("Label42"));
    ComboBox17 = new QComboBox(GroupBox1);
    ComboBox17->setObjectName(QStringLiteral("ComboBox17"));
    ComboBox17->setEditable(true);
    ComboBox17->addItem(QStringLiteral("1.95"));
    Label43 = new QLabel(QStringLiteral("ε ="), GroupBox1);
    Label43->setObjectName(QStringLiteral("Label43"));
    Edit27 = new QLineEdit(QStringLiteral("0.01"), GroupBox1);
    Edit27->setObjectName(QStringLiteral("Edit27"));
    Button9 =
        new QPushButton(QStringLiteral("Определить по методу доверительных интервалов"), GroupBox1);
    Button9->setObjectName(QStringLiteral("Button9"));
    CheckBox1 = new QCheckBox(QStringLiteral("Сообщать об окончании эксперимента"), GroupBox1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

    auto* quantile = new QHBoxLayout;
    quantile->setSpacing(2);
    quantile->addWidget(Label40);
    quantile->addWidget(Label41);
    quantile->addWidget(Label42);
    quantile->addSpacing(4);
    quantile->addWidget(ComboBox17);
    quantile->addSpacing(16);
    quantile->addWidget(Label43);
    quantile->addWidget(Edit27);
    quantile->addSpacing(16);
    quantile->addWidget(Button9);
    quantile->addStretch();
    auto* stop = new QGridLayout(GroupBox1);
    stop->addWidget(RadioButton1, 0, 0);
    stop->addWidget(Edit25, 0, 1);
    stop->addWidget(RadioButton2, 1, 0);
    stop->addWidget(Edit26, 1, 1);
    stop->addLayout(quantile, 2, 0, 1, 3);
    stop->addWidget(CheckBox1, 3, 0, 1, 3);
    stop->setColumnStretch(2, 1);

    GroupBox2 = new QGroupBox(QStringLiteral(" Планирование распределений "), tab);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    planning_ = new PlanningGrid(
        services_.messages, [this] { return Current(); }, [this] { session_.Snapshot(); },
        GroupBox2);
    auto* plan = new QVBoxLayout(GroupBox2);
    plan->addWidget(planning_);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2, 1);
    return tab;
}

bool TResultsForm::OnTab(const QWidget* tab) const {
    return PageControl1->currentWidget() == tab;
}

void TResultsForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TResultsForm::FormShow() {
    IndicatorsUnfilled = true;
    indicators_->Fill();
    dependencies_->Fill();
    distributions_->RebuildList();
    DistrListStale = true;
    planning_->FillObjects();
    if (CQueuingSystem* m = Current()) {
        Edit25->setText(Q(CAppData::FormatValue(m->timeLimit)));
        Edit26->setText(QString::number(m->arrivalsLimit));
        (m->stopByTime ? RadioButton1 : RadioButton2)->setChecked(true);
        EnableConfidenceControls(!m->stopByTime);
    }
    for (QLineEdit* edit : {Edit25, Edit26, Edit27})
        edit->setModified(false);
    // The tab's law editor edits the theoretical law, kept between showings.
    distributions_->LawBox().dialogLaw = TheoreticalLaw;
    distributions_->LawBox().RefreshLaw();
    shownTab_ = PageControl1->currentWidget();
    ArrangeButtons();
}

void TResultsForm::ArrangeButtons() {
    for (QPushButton* b : {RunButton, ShowTableButton, SaveResultsButton, CopyButton})
        b->hide();
    auto put = [](QPushButton* b, int left) {
        b->move(left, 8);
        b->show();
    };
    if (OnTab(TabSheet6)) {
        put(CloseButton, 8);
    } else if (OnTab(TabSheet1)) {
        put(RunButton, 8);
        put(SaveResultsButton, 176);
        put(CopyButton, 312);
        put(CloseButton, 448);
        SaveResultsButton->setToolTip(
            QStringLiteral("Сохранить значения показателей в текстовый файл."));
        CopyButton->setToolTip(QStringLiteral("Копировать значения показателей в буфер"));
        const bool results = session_.Results() != nullptr;
        SaveResultsButton->setEnabled(results);
        CopyButton->setEnabled(results);
    } else {
        put(RunButton, 8);
        put(ShowTableButton, 176);
        put(SaveResultsButton, 312);
        put(CopyButton, 448);
        put(CloseButton, 584);
        const bool distributions = OnTab(TabSheet2);
        ShowTableButton->setToolTip(distributions
                                        ? QStringLiteral("Показать таблицу значений распределения.")
                                        : QStringLiteral("Показать таблицу точек графиков."));
        SaveResultsButton->setToolTip(distributions
                                          ? QStringLiteral("Сохранить гистограмму распределения.")
                                          : QStringLiteral("Сохранить графики."));
        CopyButton->setToolTip(distributions
                                   ? QStringLiteral("Копировать гистограмму распределения в буфер")
                                   : QStringLiteral("Копировать графики в буфер"));
        if (distributions) {
            ShowTableButton->setEnabled(distributions_->HasItems() &&
                                        distributions_->HasHistogram());
            SaveResultsButton->setEnabled(distributions_->HasItems());
            CopyButton->setEnabled(distributions_->HasItems());
        } else {
            // Only lines with points are worth a table or a picture.
            const bool values = dependencies_->HasItems() && dependencies_->HasValues();
            for (QPushButton* b : {ShowTableButton, SaveResultsButton, CopyButton})
                b->setEnabled(values);
        }
    }
}

void TResultsForm::PageControl1Change() {
    QWidget* now = PageControl1->currentWidget();
    if (shownTab_ == TabSheet1 && now != TabSheet1)
        TabSheet1Hide();
    if (shownTab_ == TabSheet2 && now != TabSheet2)
        TabSheet2Hide();
    const bool entered = shownTab_ != now;
    shownTab_ = now;
    if (entered && now == TabSheet2)
        TabSheet2Show();
    ArrangeButtons();
}

void TResultsForm::TabSheet1Hide() {
    session_.Snapshot();
}

void TResultsForm::TabSheet2Hide() {
    session_.Snapshot();
    DistrListStale = true;
}

void TResultsForm::TabSheet2Show() {
    distributions_->RebuildList();
}

void TResultsForm::EnableConfidenceControls(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{Button9, Label40, Label41, Label42, Label43,
                                                      ComboBox17, Edit27})
        w->setEnabled(on);
}

void TResultsForm::RadioButton1Click() {
    if (CQueuingSystem* m = Current())
        m->stopByTime = RadioButton1->isChecked() ? 1 : 0;
    EnableConfidenceControls(false);
}

void TResultsForm::RadioButton2Click() {
    if (CQueuingSystem* m = Current())
        m->stopByTime = RadioButton1->isChecked() ? 1 : 0;
    EnableConfidenceControls(true);
}

void TResultsForm::Reject(QLineEdit* edit, const std::string& message) {
    ShowWarning(services_.messages, Q(message));
    QTimer::singleShot(0, edit, [edit] {
        edit->setFocus();
        edit->selectAll();
    });
}

template <class T, class Store>
bool TResultsForm::LeaveField(QLineEdit* edit, FieldValue<T> (*check)(std::string_view),
                              Store store) {
    // A text the user did not touch is the model's own value, maybe rounded
    // for display: storing it back would change the value.
    if (!edit->isModified())
        return true;
    const FieldValue<T> v = check(edit->text().toStdString());
    if (!v.value) {
        Reject(edit, v.message);
        return false;
    }
    store(*v.value);
    edit->setModified(false);
    return true;
}

bool TResultsForm::Edit25Exit() {
    return LeaveField(Edit25, &CheckTimeLimit, [this](float v) { Current()->timeLimit = v; });
}

bool TResultsForm::Edit26Exit() {
    return LeaveField(Edit26, &CheckArrivalsLimit,
                      [this](uint32_t v) { Current()->arrivalsLimit = v; });
}

bool TResultsForm::Edit27Exit() {
    // Nothing is stored: the confidence-interval method reads the field itself.
    return LeaveField(Edit27, &CheckConfidenceInput, [](float) {});
}

void TResultsForm::Button9Click() {
    // Both inputs are read again here: a refused text may still stand in its field.
    const FieldValue<float> t = CheckConfidenceInput(ComboBox17->currentText().toStdString());
    if (!t.value) {
        ShowWarning(services_.messages, Q(t.message));
        ComboBox17->setFocus();
        return;
    }
    const FieldValue<float> e = CheckConfidenceInput(Edit27->text().toStdString());
    if (!e.value) {
        Reject(Edit27, e.message);
        return;
    }
    const uint32_t n = ConfidenceArrivals(*Current(), *t.value, *e.value);
    Edit26->setText(QString::number(n));
    Edit26->setModified(false);
    Current()->arrivalsLimit = n;
}

bool TResultsForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* now = QApplication::focusWidget();
        // A message box or another program takes the focus only for a while.
        const bool leaves = reason != Qt::ActiveWindowFocusReason &&
                            reason != Qt::PopupFocusReason && now && now->window() == this;
        if (leaves) {
            if (watched == Edit25)
                Edit25Exit();
            else if (watched == Edit26)
                Edit26Exit();
            else if (watched == Edit27)
                Edit27Exit();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TResultsForm::ShowRunMessages(const RunOutcome& outcome) {
    for (const RunMessage& m : RunMessages(outcome, CheckBox1->isChecked())) {
        switch (m.kind) {
            case MessageKind::kNotice:
                services_.messages.Show(kCaptionNotice, MessageIcon::kInformation, Q(m.text),
                                        kButtonOk);
                break;
            case MessageKind::kWarning:
                ShowWarning(services_.messages, Q(m.text));
                break;
            case MessageKind::kExperimentResult:
                services_.messages.Show(kCaptionExperimentResult, MessageIcon::kInformation,
                                        Q(m.text), kButtonOk);
                break;
        }
    }
}

ProgressCallback TResultsForm::WatchRun() {
    progress_->Start();
    return [this](const RunProgress& p) { return progress_->Report(p.Overall(), p.run, p.runs); };
}

void TResultsForm::RunButtonClick() {
    if (!Current())
        return;
    if (OnTab(TabSheet3)) {
        if (!dependencies_->CheckFields())
            return;
        const RunOutcome outcome = session_.FactorRun(WatchRun());
        progress_->Finish();
        ShowRunMessages(outcome);
        if (outcome.end == RunEnd::kFinished || outcome.end == RunEnd::kStopped ||
            outcome.end == RunEnd::kCancelled)
            dependencies_->DrawCharts();
        return;
    }
    const RunOutcome outcome = session_.SimpleRun(WatchRun());
    progress_->Finish();
    ShowRunMessages(outcome);
    if (outcome.end == RunEnd::kCancelled)
        return;
    planning_->DropPendingEdit();
    // Every tab follows the new results, so that what is shown is what Save
    // and Copy export, whichever tab the run was started from.
    indicators_->Fill();
    IndicatorsUnfilled = false;
    if (!OnTab(TabSheet1)) {
        if (DistrListStale)
            distributions_->RebuildList();
        else
            distributions_->DrawHistogram();
        DistrListStale = false;
    }
    ArrangeButtons();
}

void TResultsForm::ShowTableButtonClick() {
    if (!tableWindow_)
        return;
    if (OnTab(TabSheet2))
        distributions_->ShowTable(*tableWindow_);
    else if (OnTab(TabSheet3))
        dependencies_->ShowTable(*tableWindow_);
}

void TResultsForm::SaveResultsButtonClick() {
    if (OnTab(TabSheet2)) {
        distributions_->SaveChart();
        return;
    }
    if (OnTab(TabSheet3)) {
        dependencies_->SaveChart();
        return;
    }
    if (!OnTab(TabSheet1))
        return;
    const CQueuingSystem* results = session_.Results();
    if (!results) {
        ShowError(services_.messages, QStringLiteral("Эксперимент не был проведен."));
        return;
    }
    const QString path =
        services_.fileDialogs.SaveFileName({kReportFileFilter, QStringLiteral("txt")});
    if (path.isEmpty())
        return;
    const SafeSaveResult saved = SaveReportFile(QFile::encodeName(path).toStdString(), *results);
    if (saved != SafeSaveResult::kOk)
        ShowError(services_.messages, Q(ReportSaveMessage(saved, path.toStdString())));
}

void TResultsForm::CopyButtonClick() {
    if (OnTab(TabSheet2)) {
        distributions_->CopyChart();
        return;
    }
    if (OnTab(TabSheet3)) {
        dependencies_->CopyChart();
        return;
    }
    if (!OnTab(TabSheet1))
        return;
    if (const CQueuingSystem* results = session_.Results())
        services_.clipboard.SetText(Q(CAppData::ReportText(results)));
}

void TResultsForm::CloseButtonClick() {
    planning_->DropPendingEdit();
    close();
}

void TResultsForm::done(int result) {
    if (!closing_) {
        closing_ = true;
        FormClose();
        closing_ = false;
    }
    QDialog::done(result);
}

void TResultsForm::FormClose() {
    // A valid limit typed but not yet left is kept; a refused one is not.
    if (Edit25->isModified() && CheckTimeLimit(Edit25->text().toStdString()).value)
        Edit25Exit();
    if (Edit26->isModified() && CheckArrivalsLimit(Edit26->text().toStdString()).value)
        Edit26Exit();
    session_.Close();
    // The theoretical law stays for the next showing; fields left a moment
    // ago are not judged once the window is gone.
    TheoreticalLaw = distributions_->LawBox().dialogLaw;
    distributions_->LawBox().DropPendingChecks();
    dependencies_->DropPendingChecks();
}

}  // namespace marvolt
