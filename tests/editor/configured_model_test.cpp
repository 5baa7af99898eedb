// A whole model made in the program alone: placed and linked on the scheme,
// every setting made in the properties and law dialogs, saved, opened again
// and run by the batch runner, which gives what the same model built with
// the container's operations gives.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "app/program.h"
#include "editor/law_editor.h"
#include "editor/link_list_tab.h"
#include "editor/scheme_picture.h"
#include "modal_runner.h"
#include "persistence/model_file.h"
#include "recording_services.h"
#include "tests/kernel/model_builders.h"

namespace marvolt {
namespace {

using testing_models::Uniform;
LawRecord Exp(float rate) {
    return testing_models::Exponential(rate);
}
LawRecord Normal(float mean, float sigma) {
    return {kLawNormal, mean, sigma};
}
LawRecord Constant(float c) {
    return testing_models::Deterministic(c);
}

// The model of this test as the container's operations build it.
std::unique_ptr<CQueuingSystem> ReferenceModel() {
    auto m = std::make_unique<CQueuingSystem>();
    m->modelDescription = "Новая модель";
    m->AddRequestType("Тип_заявки1")->priority = 2;
    m->AddRequestType("Тип_заявки2")->priority = 1;
    auto place = [](CQSObject* n, int x, int y) {
        n->x = x;
        n->y = y;
    };
    CGenerator* g = m->AddGenerator("Генератор1");
    place(g, 15, 15);
    CDispose* refusals = m->AddSink("Сток отказов");
    place(refusals, 15, 83);
    m->SetRefusalSink("Сток отказов");
    CQueue* q = m->AddQueue("Накопитель1");
    place(q, 126, 16);
    CChannel* k1 = m->AddChannel("Канал1");
    place(k1, 236, 16);
    CChannel* k2 = m->AddChannel("Канал2");
    place(k2, 236, 136);
    CDispose* s1 = m->AddSink("Сток1");
    place(s1, 346, 16);
    CDispose* s2 = m->AddSink("Сток2");
    place(s2, 346, 136);
    auto at = [&](const CQSObject* n) { return m->NodeIndex(n->name); };
    m->Link(at(g), at(q));
    m->Link(at(q), at(k1));
    m->Link(at(k1), at(s1));
    m->Link(at(k1), at(s2));
    m->Link(at(k2), at(s1));

    g->SetGeneratedType(0, true);
    g->SetGeneratedType(1, true);
    g->typeProbabilities = {0.7f, 0.3f};
    g->intervalLaw = Exp(1.2f);

    q->waitLimitMode = kWaitRandomLimit;
    q->waitLimitLaws = {Exp(0.5f), Uniform(1.0f, 3.0f)};
    q->usePriority = 1;
    q->lengthLimited = 1;
    q->lengthLimit = 20;

    k1->deviceCount = 2;
    k1->serviceLaws = {Exp(1.0f), Normal(0.8f, 0.2f)};
    k1->failuresOn = 1;
    k1->workLaw = Exp(0.05f);
    k1->repairLaw = Uniform(1.0f, 2.0f);
    k1->reserveChannel = at(k2);
    k1->failureRule = kFailContinueInReserve;
    k1->routingDiscipline = kRouteRandom;
    k1->routingProbabilities = {0.6f, 0.4f};

    k2->serviceLaws = {Constant(0.5f), Constant(0.5f)};
    return m;
}

class ConfiguredModelTest : public ::testing::Test {
  protected:
    ConfiguredModelTest() : program(io.services()), form(program.MainForm()) {
        RestoreRandomStartState();
        form.resize(1000, 700);
        form.show();
        QCoreApplication::processEvents();
    }

    CQueuingSystem& Model() { return *form.Model(); }
    uint8_t Node(const char* name) { return Model().NodeIndex(name); }
    QToolButton* Button(const char* name) {
        return form.findChild<QToolButton*>(QString::fromUtf8(name));
    }
    void Click(QPoint at) { QTest::mouseClick(&form.Scheme().Picture(), Qt::LeftButton, {}, at); }
    QPoint Centre(const char* name) {
        const CQSObject* n = Model().FindNode(name);
        return {n->x + 24, n->y + 24};
    }
    void Link(const char* from, const char* to) {
        Click(Centre(from));
        Click(Centre(to));
    }

    // The next law dialog gets this law typed in and OK.
    static void AnswerLaw(LawRecord law) {
        test::WhenModal<TDLawForm>([law](TDLawForm& d) {
            LawEditor* e = d.DLawGroupBox;
            e->ComboBox1->setCurrentIndex(law.lawKind);
            emit e->ComboBox1->activated(law.lawKind);
            auto type = [](QLineEdit* edit, float v) {
                edit->setFocus();
                edit->selectAll();
                QTest::keyClicks(edit, QString::number(v));
            };
            type(e->Edit1, law.param1);
            if (e->Edit2->isEnabled())
                type(e->Edit2, law.param2);
            d.BitBtn1->click();
        });
    }
    static void DoubleClickCell(QTableWidget* grid, int row, int column) {
        // A real double click starts with a press on the same cell.
        const QRect r = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, r.center());
    }
    // A probability typed into a cell as its in-place editor leaves it.
    static void TypeProbability(QTableWidget* grid, int row, const QString& text) {
        const QRect r = grid->visualRect(grid->model()->index(row, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        grid->item(row, 1)->setText(text);
    }
    bool EditNode(const char* name, std::function<void(TAccumulatorForm&)> action) {
        bool accepted = false;
        test::WhenModal<TAccumulatorForm>([&](TAccumulatorForm& f) {
            action(f);
            f.BitBtn17->click();
            accepted = !f.isVisible();
        });
        form.EditObject(Node(name));
        return accepted;
    }
    bool EditType(const char* name, int priority) {
        auto* tree = form.findChild<QTreeWidget*>(QStringLiteral("ObjectTree"));
        QTreeWidgetItem* types = form.TreePanel().Category(kRequestTypesCategory);
        for (int i = 0; i < types->childCount(); ++i) {
            if (types->child(i)->text(0) == QString::fromUtf8(name))
                tree->setCurrentItem(types->child(i));
        }
        bool accepted = false;
        test::WhenModal<TAccumulatorForm>([&](TAccumulatorForm& f) {
            f.CSpinEdit5->setValue(priority);
            f.BitBtn17->click();
            accepted = !f.isVisible();
        });
        form.EditRequestType();
        return accepted;
    }

    QByteArray RunBatch(const QString& path) {
        QProcess run;
        run.start(QStringLiteral(MARVOLT_RUN), {QStringLiteral("--json"), path});
        EXPECT_TRUE(run.waitForFinished(120000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
        return run.readAllStandardOutput();
    }

    test::RecordingServices io;
    Program program;
    TMainForm& form;
};

TEST_F(ConfiguredModelTest, ModelMadeInTheDialogsRunsLikeTheKernelBuiltOne) {
    // Structure: a second request type, the nodes and the links, on the scheme.
    test::WhenModal<TAddObjectForm>([](TAddObjectForm& d) { d.BitBtn1->click(); });
    form.ReqToolButtonClick();
    ASSERT_EQ(Model().typeCount(), 2);
    for (auto [mode, x, y] : {std::tuple{"QueToolButton", 150, 40},
                              {"ChanToolButton", 260, 40},
                              {"ChanToolButton", 260, 160},
                              {"DispToolButton", 370, 40},
                              {"DispToolButton", 370, 160}}) {
        Button(mode)->click();
        Click({x, y});
    }
    Button("LinkToolButton")->click();
    Link("Генератор1", "Накопитель1");
    Link("Накопитель1", "Канал1");
    Link("Канал1", "Сток1");
    Link("Канал1", "Сток2");
    Link("Канал2", "Сток1");
    Button("CursorToolButton")->click();
    ASSERT_TRUE(io.messages.shown.empty());

    // Every setting in the dialogs.
    EXPECT_TRUE(EditType("Тип_заявки1", 2));
    EXPECT_TRUE(EditType("Тип_заявки2", 1));
    EXPECT_TRUE(EditNode("Генератор1", [](TAccumulatorForm& f) {
        f.Button15->click();
        TypeProbability(f.SGRequests, 0, QStringLiteral("0.7"));
        TypeProbability(f.SGRequests, 1, QStringLiteral("0.3"));
        AnswerLaw(Exp(1.2f));
        f.Button1->click();
    }));
    EXPECT_TRUE(EditNode("Накопитель1", [](TAccumulatorForm& f) {
        f.RadioButton6->click();
        AnswerLaw(Exp(0.5f));
        DoubleClickCell(f.SGRequests, 0, 1);
        AnswerLaw(Uniform(1.0f, 3.0f));
        DoubleClickCell(f.SGRequests, 1, 1);
        f.RqPriorCheckBox->click();
        f.NoLenLimitCheckBox->click();
        f.CSpinEdit1->setValue(20);
    }));
    EXPECT_TRUE(EditNode("Канал1", [](TAccumulatorForm& f) {
        f.CSpinEdit2->setValue(2);
        AnswerLaw(Exp(1.0f));
        DoubleClickCell(f.SGRequests, 0, 1);
        AnswerLaw(Normal(0.8f, 0.2f));
        DoubleClickCell(f.SGRequests, 1, 1);
        f.FailureAvailableCheckBox->click();
        AnswerLaw(Exp(0.05f));
        f.ErrorFreeTimeButton->click();
        AnswerLaw(Uniform(1.0f, 2.0f));
        f.Button11->click();
        f.ReserveChannelCheckBox->click();
        f.ReserveChannelComboBox->setCurrentIndex(f.ReserveChannelComboBox->findText("Канал2"));
        f.FailureRuleRB[kFailContinueInReserve]->click();
        f.PageControl1->setCurrentIndex(2);
        f.TabSheet3->CasuallyRB->click();
        TypeProbability(f.TabSheet3->Grid, 0, QStringLiteral("0.6"));
        TypeProbability(f.TabSheet3->Grid, 1, QStringLiteral("0.4"));
    }));
    EXPECT_TRUE(EditNode("Канал2", [](TAccumulatorForm& f) {
        for (int row = 0; row < 2; ++row) {
            AnswerLaw(Constant(0.5f));
            DoubleClickCell(f.SGRequests, row, 1);
        }
    }));
    EXPECT_TRUE(io.messages.shown.empty()) << io.messages.shown.back().text.toStdString();

    QTemporaryDir dir;
    const QString made = dir.filePath(QStringLiteral("made.qsf"));
    ASSERT_TRUE(form.SaveModel(made));

    // Opened again in the program, it still holds every setting.
    io.fileDialogs.openAnswers.push_back(made);
    form.findChild<QAction*>(QStringLiteral("N11"))->trigger();
    ASSERT_EQ(form.FileName(), made);
    std::vector<uint8_t> reopened, reference;
    ASSERT_TRUE(WriteModelBytes(Model(), nullptr, reopened));
    const auto kernelBuilt = ReferenceModel();
    ASSERT_TRUE(WriteModelBytes(*kernelBuilt, nullptr, reference));
    EXPECT_EQ(reopened, reference);

    const QString built = dir.filePath(QStringLiteral("built.qsf"));
    ASSERT_EQ(SaveModelFile(built.toStdString(), *kernelBuilt, nullptr), SaveResult::kOk);
    const QByteArray fromDialogs = RunBatch(made);
    EXPECT_TRUE(fromDialogs.contains("\"arrived\""));
    EXPECT_EQ(fromDialogs, RunBatch(built));
}

}  // namespace
}  // namespace marvolt
