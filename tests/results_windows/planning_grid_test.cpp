// The planning grid as the user works it: selecting, typing, leaving.
#include "results/planning_grid.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "kernel/channel.h"
#include "tests/editor/recording_services.h"
#include "tests/kernel/model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

class PlanningGridWindowTest : public ::testing::Test {
  protected:
    test::RecordingServices io;
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    int edits = 0;
    QWidget window;
    QLineEdit* elsewhere = new QLineEdit(&window);
    PlanningGrid* grid = new PlanningGrid(
        io.messages, [this] { return line.model.get(); }, [this] { ++edits; }, &window);

    PlanningGridWindowTest() {
        grid->move(0, 30);
        grid->resize(600, 300);
        window.resize(600, 340);
        window.show();
        grid->FillObjects();
    }
    PlanTable* Table() { return grid->Grid(); }
    void Choose(const QString& object) {
        auto* box = grid->findChild<QComboBox*>(QStringLiteral("ComboBox7"));
        box->setCurrentIndex(box->findText(object));
        grid->ComboBox7Click();
    }
    void Select(int row, int col) { Table()->setCurrentCell(row, col); }
    void TypeInto(int row, int col, const QString& text) {
        Select(row, col);
        Table()->item(row, col)->setText(text);
    }
    QString Cell(int row, int col) { return Table()->item(row, col)->text(); }
    void ClickCell(int row, int col) {
        const QRect r = Table()->visualItemRect(Table()->item(row, col));
        QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, r.center());
    }
};

TEST_F(PlanningGridWindowTest, ObjectsAndTheSystemGrid) {
    auto* box = grid->findChild<QComboBox*>(QStringLiteral("ComboBox7"));
    ASSERT_EQ(box->count(), 5);
    EXPECT_EQ(box->currentText(), "СМО");
    EXPECT_EQ(Table()->rowCount(), 5);
    EXPECT_EQ(Cell(0, 1), "Все типы заявок");
    EXPECT_EQ(Cell(3, 1), "7");
    EXPECT_GE(Table()->columnWidth(0), 165);
    EXPECT_GE(Table()->columnWidth(1), 100);
}

TEST_F(PlanningGridWindowTest, ACheckMarkReachesTheModelWhenTheSelectionLeaves) {
    Choose(QStringLiteral("Канал1"));
    Select(5, 1);
    EXPECT_EQ(Cell(5, 1), "√");
    EXPECT_EQ(line.channel->serviceDistFlag, 0) << "not before the selection leaves";
    Select(6, 1);
    EXPECT_EQ(line.channel->serviceDistFlag, 1);
    // Clicking the same check-mark cell twice toggles it on and off.
    ClickCell(1, 1);
    EXPECT_EQ(Cell(1, 1), "√");
    ClickCell(1, 1);
    EXPECT_EQ(Cell(1, 1), "");
    ClickCell(1, 1);
    EXPECT_EQ(Cell(1, 1), "√");
    Select(2, 1);
    EXPECT_EQ(line.channel->idleDistFlag, 1);
    EXPECT_GT(edits, 0) << "the results are kept apart before the model changes";
}

TEST_F(PlanningGridWindowTest, OnlyTypedTextIsCommitted) {
    Choose(QStringLiteral("Канал1"));
    TypeInto(3, 1, QStringLiteral("12.345"));
    Select(4, 1);
    EXPECT_EQ(line.channel->idleDistribution.upperBound, 12.345f);
    grid->FillObjects();
    EXPECT_EQ(Cell(3, 1), "12.3");
    // Moving through the cell shown rounded does not round the bound.
    Select(3, 1);
    Select(2, 1);
    EXPECT_EQ(line.channel->idleDistribution.upperBound, 12.345f);
    // Nor does a left bound of 12.3 run into the rounded right bound.
    TypeInto(2, 1, QStringLiteral("12.3"));
    Select(3, 1);
    Select(4, 1);
    EXPECT_TRUE(io.messages.shown.empty());
    EXPECT_EQ(line.channel->idleDistribution.lowerBound, 12.3f);
}

TEST_F(PlanningGridWindowTest, ARejectedCellKeepsTheSelectionAndTheModel) {
    Choose(QStringLiteral("Сток1"));
    TypeInto(2, 1, QStringLiteral("1,5"));
    Select(3, 1);
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].text,
              "Введено некорректное значение.\nПравильным значением является вещественное "
              "неотрицательное число.");
    EXPECT_EQ(io.messages.shown[0].caption, kCaptionWarning);
    EXPECT_EQ(Table()->currentRow(), 2) << "back on the rejected cell";
    EXPECT_EQ(Cell(2, 1), "1,5");
    EXPECT_TRUE(grid->PlanCellDirty());
    EXPECT_EQ(line.sink->lifetimeDistributions[0]->lowerBound, 0.0f);

    // Leaving the grid checks it too.
    elsewhere->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(io.messages.shown.size(), 1u) << "the grid did not have the focus";
    Table()->setFocus();
    QCoreApplication::processEvents();
    elsewhere->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(io.messages.shown.size(), 2u);

    // Choosing another object drops the pending edit unchecked.
    Choose(QStringLiteral("СМО"));
    EXPECT_FALSE(grid->PlanCellDirty());
    TypeInto(4, 1, QStringLiteral("10"));
    Select(3, 1);
    EXPECT_EQ(Cell(4, 1), "8") << "narrowed to the 8 values from 0 to 7 without a message";
    EXPECT_EQ(io.messages.shown.size(), 2u);
}

TEST_F(PlanningGridWindowTest, AQueueGridShowsTheAdmittedTypes) {
    line.model->AddRequestType("Тип2");
    line.model->AddRequestType("Тип3");
    line.queue->acceptedTypes = {1, 0, 1};
    grid->FillObjects();
    Choose(QStringLiteral("Накопитель1"));
    ASSERT_EQ(Table()->columnCount(), 4);
    EXPECT_EQ(Cell(0, 3), "Тип3");
    Select(5, 3);
    Select(6, 3);
    EXPECT_EQ(line.queue->lengthDistFlags[3], 1);
    EXPECT_EQ(line.queue->lengthDistFlags[1], 0);
}

}  // namespace
}  // namespace marvolt
