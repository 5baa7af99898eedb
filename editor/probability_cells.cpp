#include "editor/probability_cells.h"

#include <QTableWidget>

#include "editor/logic/properties_logic.h"
#include "editor/message_service.h"

namespace marvolt {

namespace {

// The text the dialog wrote into a cell, kept beside what the cell shows now.
constexpr int kShownRole = Qt::UserRole + 1;

}  // namespace

ProbabilityCells::ProbabilityCells(QTableWidget* grid, int column, MessageService& messages,
                                   List list)
    : grid_(grid), column_(column), messages_(messages), list_(std::move(list)) {}

QTableWidgetItem* ProbabilityCells::Cell(const QString& shown) {
    auto* item = new QTableWidgetItem(shown);
    item->setData(kShownRole, shown);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    return item;
}

QTableWidgetItem* ProbabilityCells::FixedCell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

bool ProbabilityCells::Check(int clickedRow) {
    std::vector<float>* list = list_();
    if (!list)
        return true;
    const int rows = std::min<int>(grid_->rowCount(), static_cast<int>(list->size()));
    for (int row = 0; row < rows; ++row) {
        if (row == clickedRow)
            continue;
        QTableWidgetItem* item = grid_->item(row, column_);
        if (!item || !item->data(kShownRole).isValid())
            continue;
        const QString text = item->text();
        const NumberInput in =
            ReadProbabilityCell(text.toStdString(), item->data(kShownRole).toString().toStdString(),
                                (*list)[static_cast<size_t>(row)]);
        if (!in.value) {
            ShowWarning(messages_, QString::fromStdString(in.message));
            grid_->setCurrentCell(row, column_);
            return false;
        }
        (*list)[static_cast<size_t>(row)] = *in.value;
        // Read once: the text now stands for the value just stored.
        item->setData(kShownRole, text);
    }
    return true;
}

}  // namespace marvolt
