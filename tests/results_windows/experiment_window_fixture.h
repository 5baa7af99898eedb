// The experiment window over a queue line with exponential laws: the
// recording seams, a table window whose shown table is read back, and the
// helpers that act as a user would.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

#include "results/experiments_form.h"
#include "results/table_form.h"
#include "tests/editor/modal_runner.h"
#include "tests/editor/recording_services.h"
#include "tests/kernel/model_builders.h"
#include "tests/results_logic/owned_models.h"

namespace marvolt::test {

class ExperimentWindowFixture : public ::testing::Test {
  protected:
    RecordingServices io;
    testing_models::QueueLine line;
    OwnedModels place;
    std::unique_ptr<TResultsForm> form;
    std::unique_ptr<TTableForm> table;

    // Arrivals at rate 1, service at the given rate.
    ExperimentWindowFixture(float serviceRate, uint32_t arrivals)
        : line(testing_models::MakeQueueLine(testing_models::Exponential(1.0f),
                                             testing_models::Exponential(serviceRate))) {
        RestoreRandomStartState();
        place.current = std::move(line.model);
        place.current->arrivalsLimit = arrivals;
        form = std::make_unique<TResultsForm>(io.services(), place);
        table = std::make_unique<TTableForm>(io.services());
        form->SetTableWindow(table.get());
    }
    ~ExperimentWindowFixture() override { form->hide(); }

    CQueuingSystem& Model() { return *place.current; }
    template <class W>
    W* Find(const char* name) {
        W* w = form->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString Text(const char* edit) { return Find<QLineEdit>(edit)->text(); }
    void Show() {
        form->show();
        QCoreApplication::processEvents();
    }
    void Tab(const char* name) {
        Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>(name));
    }
    void Run() { form->RunButtonClick(); }
    // Types into a field as a user would: the field then counts as edited.
    void Type(const char* edit, const QString& text) {
        QLineEdit* e = Find<QLineEdit>(edit);
        e->setText(text);
        e->setModified(true);
    }
    // Chooses the item of a list that stands for index, as a click would.
    bool Choose(const char* box, int index) {
        QComboBox* b = Find<QComboBox>(box);
        const int at = b->findData(index);
        b->setCurrentIndex(at);
        return at >= 0;
    }
    const ShownMessage& LastMessage() {
        EXPECT_FALSE(io.messages.shown.empty());
        static const ShownMessage none{};
        return io.messages.shown.empty() ? none : io.messages.shown.back();
    }

    // The table the Show table button puts in the table window, with the
    // window's caption and label; empty when no window opened.
    struct ShownTable {
        QString caption;
        QString label;
        TextTable cells;
    };
    ShownTable ShowTable() {
        ShownTable shown;
        RunModal<QDialog>(
            [&] {
                form->ShowTableButtonClick();
                return 0;
            },
            [&](QDialog& t) {
                shown.caption = t.windowTitle();
                shown.label = t.findChild<QLabel*>(QStringLiteral("LabelName"))->text();
                auto* grid = t.findChild<QTableWidget*>(QStringLiteral("ResultsSG"));
                for (int r = 0; r < grid->rowCount(); ++r) {
                    shown.cells.emplace_back();
                    for (int c = 0; c < grid->columnCount(); ++c) {
                        const QTableWidgetItem* item = grid->item(r, c);
                        shown.cells.back().push_back(item ? item->text().toStdString() : "");
                    }
                }
            });
        return shown;
    }
};

}  // namespace marvolt::test
