// The model check window: its findings, kept up to date, and the node a
// double click shows on the scheme.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include "editor/model_check_form.h"
#include "kernel/generator.h"
#include "main_window_driver.h"

namespace marvolt {
namespace {

class ModelCheckFormTest : public ::testing::Test, public test::MainWindowDriver {
  protected:
    TModelCheckForm& Window() { return *form.CheckWindow(); }
    QStringList Lines() {
        QStringList lines;
        for (int i = 0; i < Window().FindingsList->count(); ++i)
            lines << Window().FindingsList->item(i)->text();
        return lines;
    }
};

TEST_F(ModelCheckFormTest, ListsTheFindingsAndFollowsEveryChange) {
    EXPECT_FALSE(Window().isVisible());
    Trigger("CheckModelAction");
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Проверка модели"));
    // The fresh model's generator sends nowhere.
    EXPECT_EQ(Lines(), QStringList({"Генератор \"Генератор1\" не имеет приемников: все его "
                                    "заявки получат отказ."}));
    EXPECT_EQ(Window().SummaryLabel->text(), QStringLiteral("Замечаний: 1."));

    const uint8_t sink = Place("DispToolButton", QPoint(300, 60));
    EXPECT_EQ(Lines(), QStringList({"Генератор \"Генератор1\" не имеет приемников: все его "
                                    "заявки получат отказ.",
                                    "Сток \"Сток1\" недостижим: в него не может попасть ни одна "
                                    "заявка."}));
    Link(0, sink);
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_EQ(Window().SummaryLabel->text(), QStringLiteral("Замечаний нет."));
    // Undo brings the findings back.
    Trigger("UndoAction");
    EXPECT_EQ(Lines().size(), 2);

    // Closed, it is left alone until asked again.
    Window().CloseButton->click();
    EXPECT_FALSE(Window().isVisible());
    Trigger("RedoAction");
    EXPECT_EQ(Lines().size(), 2);
    Trigger("CheckModelAction");
    EXPECT_TRUE(Lines().isEmpty());
}

TEST_F(ModelCheckFormTest, ADoubleClickShowsTheNodeOnTheScheme) {
    const uint8_t channel = Place("ChanToolButton", QPoint(400, 300));
    Trigger("CheckModelAction");
    ASSERT_EQ(Lines().size(), 3);  // the generator, and the channel twice
    QListWidgetItem* item = Window().FindingsList->item(1);
    ASSERT_TRUE(item->text().startsWith(QStringLiteral("Канал \"Канал1\"")));
    Window().FindingsListDblClick(item);
    EXPECT_EQ(form.Scheme().State().SelectedNode, channel);
    EXPECT_EQ(form.Scheme().State().CurrentNode, channel);
    EXPECT_EQ(Selected(), QStringLiteral("Канал1"));

    // A finding about the whole model has no node to show.
    Model().refusalSink = nullptr;
    form.ModelChanged(ModelChange::kNodes);
    ASSERT_TRUE(Lines().front().startsWith(QStringLiteral("В модели нет стока отказов")));
    Window().FindingsListDblClick(Window().FindingsList->item(0));
    EXPECT_EQ(form.Scheme().State().SelectedNode, kNoIndex);
    EXPECT_EQ(Selected(), QStringLiteral("Канал1"));
    Window().close();
}

}  // namespace
}  // namespace marvolt
