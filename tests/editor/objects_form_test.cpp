// The properties dialog as the user drives it: what it shows per kind, the
// cell and field checks, the checks of OK and what OK writes.
#include "editor/objects_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "editor/link_list_tab.h"
#include "modal_runner.h"
#include "recording_services.h"
#include "tests/kernel/model_builders.h"
#include "tests/support/shows_whole.h"

namespace marvolt {
namespace {

class ObjectsFormTest : public ::testing::Test {
  protected:
    // Generator1 -> Накопитель1 -> Канал1 -> Сток1, and the refusal sink.
    ObjectsFormTest() : form(messages) {
        form.SetLawDialog([this](LawRecord& law, bool serviceTime) {
            lawRequests.push_back({law, serviceTime});
            law = nextLaw;
            return true;
        });
    }
    uint8_t Index(const CQSObject* n) const { return m.NodeIndex(n->name); }

    bool Edit(CQSObject* node, std::function<void(TAccumulatorForm&)> action) {
        return test::RunModal<TAccumulatorForm>([&] { return form.Edit(node, nullptr); },
                                                std::move(action));
    }
    bool EditType(CRequestType* type, std::function<void(TAccumulatorForm&)> action) {
        return test::RunModal<TAccumulatorForm>([&] { return form.Edit(nullptr, type); },
                                                std::move(action));
    }
    static void ClickCell(QTableWidget* grid, int row, int column) {
        const QRect r = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }
    // What an in-place edit leaves in the cell once its editor closes.
    static void TypeIntoCell(QTableWidget* grid, int row, int column, const QString& text) {
        ClickCell(grid, row, column);
        grid->item(row, column)->setText(text);
    }
    // As typed: the test's key clicks know no Cyrillic letters.
    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->setText(text);
        edit->setModified(true);
    }
    QString LastMessage() const {
        return messages.shown.empty() ? QString() : messages.shown.back().text;
    }

    test::RecordingMessages messages;
    testing_models::QueueLine line = testing_models::MakeQueueLine(
        testing_models::Deterministic(1.0f), testing_models::Deterministic(1.0f));
    CQueuingSystem& m = *line.model;
    CGenerator* generator = line.generator;
    CQueue* queue = line.queue;
    CChannel* channel = line.channel;
    CDispose* refusals = line.refusals;
    TAccumulatorForm form;
    struct LawRequest {
        LawRecord law;
        bool serviceTime;
    };
    std::vector<LawRequest> lawRequests;
    LawRecord nextLaw{kLawExponential, 2.0f, 0.0f};
};

TEST_F(ObjectsFormTest, EachKindShowsItsOwnTabsAndCaption) {
    struct Expected {
        CQSObject* node;
        const char* caption;
        bool sources;
        bool receivers;
    };
    for (const Expected& e :
         {Expected{generator, "Генератор заявок", false, true},
          Expected{queue, "Накопитель", false, true}, Expected{channel, "Канал", true, true},
          Expected{refusals, "Сток", false, false}}) {
        QString caption;
        bool sources = false, receivers = false;
        Edit(e.node, [&](TAccumulatorForm& f) {
            caption = f.windowTitle();
            sources = f.PageControl1->isTabVisible(1);
            receivers = f.PageControl1->isTabVisible(2);
            f.reject();
        });
        EXPECT_EQ(caption, QString::fromUtf8(e.caption));
        EXPECT_EQ(sources, e.sources) << e.caption;
        EXPECT_EQ(receivers, e.receivers) << e.caption;
    }
    QString caption;
    EditType(m.RequestType(0), [&](TAccumulatorForm& f) {
        caption = f.windowTitle();
        f.reject();
    });
    EXPECT_EQ(caption, QStringLiteral("Тип заявки"));
}

TEST_F(ObjectsFormTest, GeneratorSumOffByMoreThanPrecisionIsRefused) {
    m.AddRequestType("Тип_заявки2");
    generator->SetGeneratedType(1, true);
    generator->typeProbabilities = {0.5f, 0.498f};
    bool stayedOpen = false;
    int tab = -1;
    const bool ok = Edit(generator, [&](TAccumulatorForm& f) {
        f.PageControl1->setCurrentIndex(2);
        f.BitBtn17->click();
        stayedOpen = f.isVisible();
        tab = f.PageControl1->currentIndex();
        TypeIntoCell(f.SGRequests, 1, 1, QStringLiteral("0.4995"));
        f.BitBtn17->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(tab, 0);
    EXPECT_TRUE(ok);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, kCaptionWarning);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral(
        "Сумма вероятностей генерации заявкок имеет некорректное значение: 0.998.\n")));
    EXPECT_EQ(generator->typeProbabilities, (std::vector<float>{0.5f, 0.4995f}));
}

TEST_F(ObjectsFormTest, BadProbabilityCellsWarnAndTakeTheSelectionBack) {
    m.AddRequestType("Тип_заявки2");
    generator->SetGeneratedType(1, true);
    generator->typeProbabilities = {0.5f, 0.5f};
    std::vector<int> rowsAfter;
    Edit(generator, [&](TAccumulatorForm& f) {
        for (const char* text : {"1.5", "0,5", "abc", "nan"}) {
            // Going back to the refused cell to mend it warns no more.
            TypeIntoCell(f.SGRequests, 0, 1, QString::fromUtf8(text));
            ClickCell(f.SGRequests, 1, 1);
            rowsAfter.push_back(f.SGRequests->currentRow());
        }
        f.reject();
    });
    EXPECT_EQ(rowsAfter, (std::vector<int>{0, 0, 0, 0}));
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("Вероятность не должна")));
    EXPECT_EQ(messages.shown[1].text,
              QStringLiteral("Величина \"0,5\" не соответствует формату десятичной дроби.\n"
                             "Пожалуйста, введите корректное значение."));
    EXPECT_TRUE(messages.shown[2].text.contains(QStringLiteral("\"abc\"")));
    EXPECT_TRUE(messages.shown[3].text.contains(QStringLiteral("\"nan\"")));
    EXPECT_EQ(generator->typeProbabilities, (std::vector<float>{0.5f, 0.5f}));
}

TEST_F(ObjectsFormTest, TypesAddedThroughTheArrowAreSortedThenGetEqualShares) {
    m.AddRequestType("Б");
    m.AddRequestType("А");
    QStringList names, probabilities;
    const bool ok = Edit(generator, [&](TAccumulatorForm& f) {
        f.AllRequestListBox->selectAll();
        f.Button12->click();
        for (int r = 0; r < f.SGRequests->rowCount(); ++r) {
            names << f.SGRequests->item(r, 0)->text();
            probabilities << f.SGRequests->item(r, 1)->text();
        }
        f.EqReqPrsButton->click();
        f.BitBtn17->click();
    });
    EXPECT_EQ(names, (QStringList{"А", "Б", "Тип_заявки1"}));
    EXPECT_EQ(probabilities, (QStringList{"0", "0", "1"}));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(generator->typeProbabilities, (std::vector<float>(3, 1.0f / 3.0f)));
    EXPECT_EQ(generator->generatedTypes, (std::vector<uint8_t>{2, 1, 0}));
}

TEST_F(ObjectsFormTest, SixEqualReceiversClickedThroughAreAccepted) {
    for (int i = 1; i <= 5; ++i)
        m.Link(Index(generator), Index(m.AddSink("Приемник" + std::to_string(i))));
    const bool ok = Edit(generator, [&](TAccumulatorForm& f) {
        f.PageControl1->setCurrentIndex(2);
        f.TabSheet3->CasuallyRB->click();
        f.TabSheet3->EqualButton->click();
        for (int r = 0; r < 6; ++r)
            ClickCell(f.TabSheet3->Grid, r, 1);
        f.BitBtn17->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(messages.shown.empty()) << LastMessage().toStdString();
    EXPECT_EQ(generator->routingDiscipline, kRouteRandom);
    EXPECT_EQ(generator->routingProbabilities, (std::vector<float>(6, 1.0f / 6.0f)));
}

TEST_F(ObjectsFormTest, ListOrderNeitherShowsNorChecksProbabilities) {
    m.Link(Index(queue), Index(line.sink));
    queue->routingProbabilities = {0.2f, 0.2f};
    bool hidden = false;
    const bool ok = Edit(queue, [&](TAccumulatorForm& f) {
        hidden = f.TabSheet3->Grid->isColumnHidden(1);
        f.BitBtn17->click();
    });
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ObjectsFormTest, ReceiversCanBeReordered) {
    CDispose* sink = line.sink;
    m.Link(Index(queue), Index(sink));
    queue->routingDiscipline = kRouteRandom;
    queue->routingProbabilities = {0.25f, 0.75f};
    Edit(queue, [&](TAccumulatorForm& f) {
        f.PageControl1->setCurrentIndex(2);
        f.TabSheet3->Grid->setCurrentCell(1, 0);
        f.TabSheet3->UpButton->click();
        f.BitBtn17->click();
    });
    EXPECT_EQ(queue->receivers, (std::vector<uint8_t>{Index(sink), Index(channel)}));
    EXPECT_EQ(queue->routingProbabilities, (std::vector<float>{0.75f, 0.25f}));
}

TEST_F(ObjectsFormTest, ChannelWithoutOtherChannelsHasNoReserve) {
    channel->failureRule = kFailContinueInReserve;
    bool enabled = true, ticked = true, rulesShown = false;
    int width = 0;
    const bool ok = Edit(channel, [&](TAccumulatorForm& f) {
        enabled = f.ReserveChannelCheckBox->isEnabled();
        ticked = f.ReserveChannelCheckBox->isChecked();
        f.FailureAvailableCheckBox->click();
        rulesShown = f.FailureRuleGroup->isVisibleTo(&f);
        width = f.width();
        f.BitBtn17->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_FALSE(enabled);
    EXPECT_FALSE(ticked);
    EXPECT_TRUE(rulesShown);
    EXPECT_GE(width, 623);
    EXPECT_EQ(channel->failuresOn, 1);
    EXPECT_EQ(channel->reserveChannel, kNoIndex);
    EXPECT_EQ(channel->failureRule, kFailToRefusal);
}

TEST_F(ObjectsFormTest, ReserveBoxTickedWithNothingChosenWritesRuleZero) {
    auto* other = m.AddChannel("Канал2");
    channel->failuresOn = 1;
    const bool ok = Edit(channel, [&](TAccumulatorForm& f) {
        f.ReserveChannelCheckBox->click();
        f.ReserveChannelComboBox->setCurrentIndex(-1);
        f.FailureRuleRB[kFailRestartInReserve]->click();
        f.BitBtn17->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(channel->reserveChannel, kNoIndex);
    EXPECT_EQ(channel->failureRule, kFailToRefusal);

    Edit(channel, [&](TAccumulatorForm& f) {
        f.ReserveChannelCheckBox->click();
        f.ReserveChannelComboBox->setCurrentIndex(0);
        f.FailureRuleRB[kFailContinueInReserve]->click();
        f.BitBtn17->click();
    });
    EXPECT_EQ(channel->reserveChannel, Index(other));
    EXPECT_EQ(channel->failureRule, kFailContinueInReserve);
}

TEST_F(ObjectsFormTest, UnlimitedWaitingSwitchesTheLeastTimeDisciplineToFifo) {
    queue->waitLimitMode = kWaitRandomLimit;
    queue->discipline = kLeastTimeToRefusal;
    bool fifo = false, fourthEnabled = true, lawColumnHidden = false;
    Edit(queue, [&](TAccumulatorForm& f) {
        f.RadioButton5->click();
        fifo = f.RadioButton1->isChecked();
        fourthEnabled = f.RadioButton4->isEnabled();
        lawColumnHidden = f.SGRequests->isColumnHidden(1);
        f.BitBtn17->click();
    });
    EXPECT_TRUE(fifo);
    EXPECT_FALSE(fourthEnabled);
    EXPECT_TRUE(lawColumnHidden);
    EXPECT_EQ(queue->discipline, kFifo);
    EXPECT_EQ(queue->waitLimitMode, kWaitUnlimited);
}

TEST_F(ObjectsFormTest, TransformTableStaysOnlyWhileItMapsSomething) {
    m.AddRequestType("Тип_заявки2");
    Edit(channel, [&](TAccumulatorForm& f) { f.BitBtn17->click(); });
    EXPECT_TRUE(channel->transformTable.empty());

    int width = 0;
    Edit(channel, [&](TAccumulatorForm& f) {
        f.TransformRTCheckBox->click();
        width = f.width();
        ClickCell(f.SGRequests, 0, 2);
        f.RequestComboBox->setCurrentIndex(1);
        emit f.RequestComboBox->activated(1);
        f.TransformRTCheckBox->click();
        f.BitBtn17->click();
    });
    EXPECT_EQ(width, 663);
    EXPECT_EQ(channel->transformOn, 0);
    EXPECT_EQ(channel->transformTable, (std::vector<uint8_t>{1, 1}));
}

TEST_F(ObjectsFormTest, NameOfAnotherNodeIsRefusedWhenTheFieldIsLeft) {
    bool backInName = false;
    Edit(queue, [&](TAccumulatorForm& f) {
        Type(f.NameEdit, QStringLiteral("Канал1"));
        f.SGRequests->setFocus(Qt::TabFocusReason);
        QTest::qWait(20);
        backInName = QApplication::focusWidget() == f.NameEdit;
        Type(f.NameEdit, QStringLiteral("Накопитель1"));
        f.SGRequests->setFocus(Qt::TabFocusReason);
        QTest::qWait(20);
        f.reject();
    });
    EXPECT_TRUE(backInName);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Объект с именем \"Канал1\" уже существует."));
    EXPECT_EQ(messages.shown[0].buttons, kButtonYes | kButtonNo);
}

TEST_F(ObjectsFormTest, RefusedOkThenCancelLeavesTheModelAsItWas) {
    m.AddRequestType("Тип_заявки2");
    generator->SetGeneratedType(1, true);
    generator->typeProbabilities = {0.5f, 0.2f};
    generator->routingDiscipline = kRouteInOrder;
    const bool ok = Edit(generator, [&](TAccumulatorForm& f) {
        Type(f.NameEdit, QStringLiteral("Новое имя"));
        f.PageControl1->setCurrentIndex(2);
        f.TabSheet3->CasuallyRB->click();
        f.BitBtn17->click();
        f.BitBtn18->click();
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(generator->name, "Генератор1");
    EXPECT_EQ(generator->routingDiscipline, kRouteInOrder);
    EXPECT_EQ(m.FindNode("Генератор1"), generator);
}

TEST_F(ObjectsFormTest, FixedWaitingLimitKeepsItsValueAndMayBeZero) {
    queue->waitLimitMode = kWaitFixedLimit;
    queue->waitLimit = 1234.5f;
    QString shown;
    Edit(queue, [&](TAccumulatorForm& f) {
        shown = f.MaxTimeEdit->text();
        f.MaxTimeEdit->setFocus();
        f.BitBtn17->click();
    });
    EXPECT_EQ(shown, QStringLiteral("1235"));
    EXPECT_EQ(queue->waitLimit, 1234.5f);

    const bool ok = Edit(queue, [&](TAccumulatorForm& f) {
        Type(f.MaxTimeEdit, QStringLiteral("0"));
        QTest::keyClick(f.MaxTimeEdit, Qt::Key_Return);
    });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(queue->waitLimit, 0.0f);

    Edit(queue, [&](TAccumulatorForm& f) {
        Type(f.MaxTimeEdit, QStringLiteral("-2"));
        f.BitBtn17->click();
        f.reject();
    });
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("Предельное значение")));
    EXPECT_EQ(queue->waitLimit, 0.0f);
}

TEST_F(ObjectsFormTest, AFixedWaitingLimitShowsWhole) {
    queue->waitLimitMode = kWaitFixedLimit;
    for (float limit : {12345678.0f, 1.2345678e8f}) {
        queue->waitLimit = limit;
        QString shown;
        bool whole = false;
        Edit(queue, [&](TAccumulatorForm& f) {
            QCoreApplication::processEvents();
            shown = f.MaxTimeEdit->text();
            whole = test::ShowsWhole(f.MaxTimeEdit);
            f.reject();
        });
        EXPECT_TRUE(whole) << shown.toStdString();
    }
}

// A law text wider than its field must still read from its start, and whole as a hint.
TEST_F(ObjectsFormTest, ALongLawTextShowsItsStartAndWholeAsAHint) {
    channel->failuresOn = 1;
    channel->workLaw = LawRecord{kLawUniform, 12345.678f, 13456.789f};
    QString shown, hint;
    int cursor = -1;
    Edit(channel, [&](TAccumulatorForm& f) {
        shown = f.WorkTimeEdit->text();
        hint = f.WorkTimeEdit->toolTip();
        cursor = f.WorkTimeEdit->cursorPosition();
        f.reject();
    });
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Pавн."))) << shown.toStdString();
    EXPECT_EQ(hint, shown);
    EXPECT_EQ(cursor, 0);
}

TEST_F(ObjectsFormTest, CancelEscapeAndCloseAlwaysClose) {
    queue->waitLimitMode = kWaitFixedLimit;
    for (int way = 0; way < 3; ++way) {
        const bool ok = Edit(queue, [way](TAccumulatorForm& f) {
            Type(f.MaxTimeEdit, QStringLiteral("abc"));
            if (way == 0)
                QTest::mouseClick(f.BitBtn18, Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(f.MaxTimeEdit, Qt::Key_Escape);
            else
                f.close();
            QTest::qWait(20);
        });
        EXPECT_FALSE(ok);
        EXPECT_FALSE(form.isVisible());
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ObjectsFormTest, SinkDialogShowsTheRefusalSinkAndNeedsNoRefusalSink) {
    bool ticked = false, enabled = true;
    Edit(refusals, [&](TAccumulatorForm& f) {
        ticked = f.RefusalSinkCheckBox->isChecked();
        enabled = f.RefusalSinkCheckBox->isEnabled();
        f.reject();
    });
    EXPECT_TRUE(ticked);
    EXPECT_FALSE(enabled);

    CQueuingSystem bare;
    CDispose* sink = bare.AddSink("Сток1");
    const bool ok = Edit(sink, [&](TAccumulatorForm& f) {
        ticked = f.RefusalSinkCheckBox->isChecked();
        f.BitBtn17->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_FALSE(ticked);
}

TEST_F(ObjectsFormTest, RequestTypePriorityAndName) {
    m.AddRequestType("Тип_заявки2");
    int lowest = -1, highest = -1;
    bool typing = true;
    const bool ok = EditType(m.RequestType(0), [&](TAccumulatorForm& f) {
        lowest = f.CSpinEdit5->minimum();
        highest = f.CSpinEdit5->maximum();
        typing = !f.CSpinEdit5->findChild<QLineEdit*>()->isReadOnly();
        f.CSpinEdit5->stepBy(7);
        Type(f.NameEdit, QStringLiteral("Тип_заявки2"));
        f.BitBtn17->click();
        Type(f.NameEdit, QStringLiteral("Срочные"));
        f.BitBtn17->click();
    });
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 250);
    EXPECT_FALSE(typing);
    EXPECT_TRUE(ok);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Тип заявки с именем \"Тип_заявки2\" уже существует."));
    EXPECT_EQ(m.RequestType(0)->name, "Срочные");
    EXPECT_EQ(m.RequestType(0)->priority, 7);
}

TEST_F(ObjectsFormTest, LawButtonsAndDoubleClicksEditTheRightLaws) {
    QString serviceCell;
    Edit(channel, [&](TAccumulatorForm& f) {
        emit f.SGRequests->cellDoubleClicked(0, 1);
        serviceCell = f.SGRequests->item(0, 1)->text();
        f.Button11->click();
        f.BitBtn17->click();
    });
    ASSERT_EQ(lawRequests.size(), 2u);
    EXPECT_TRUE(lawRequests[0].serviceTime);
    EXPECT_FALSE(lawRequests[1].serviceTime);
    EXPECT_EQ(serviceCell, QStringLiteral("Показ. ly=2"));
    EXPECT_EQ(channel->serviceLaws[0], nextLaw);
    EXPECT_EQ(channel->repairLaw, nextLaw);

    // A queue's per-type law opens only while the limit is random.
    Edit(queue, [&](TAccumulatorForm& f) {
        emit f.SGRequests->cellDoubleClicked(0, 1);
        f.RadioButton6->click();
        emit f.SGRequests->cellDoubleClicked(0, 1);
        f.BitBtn17->click();
    });
    EXPECT_EQ(lawRequests.size(), 3u);
    EXPECT_EQ(queue->waitLimitLaws[0], nextLaw);
    EXPECT_EQ(queue->waitLimitMode, kWaitRandomLimit);

    Edit(generator, [&](TAccumulatorForm& f) {
        emit f.SGRequests->cellDoubleClicked(0, 1);
        f.Button1->click();
        f.BitBtn17->click();
    });
    EXPECT_EQ(lawRequests.size(), 4u);
    EXPECT_EQ(generator->intervalLaw, nextLaw);
}

}  // namespace
}  // namespace marvolt
