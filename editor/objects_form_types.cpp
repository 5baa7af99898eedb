// The properties dialog's request-type lists: admitted types in the grid,
// the others in the list beside it, the moves between them, the per-type
// laws and a channel's transform targets.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

#include <set>

#include "editor/objects_form.h"
#include "editor/probability_cells.h"
#include "kernel/queue.h"
#include "results/application_data.h"

namespace marvolt {

namespace {

constexpr int kTypeColumn = 1;
constexpr int kTransformColumn = 2;

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

void TAccumulatorForm::FillRequestTypes() {
    RequestComboBox->hide();
    transformRow_ = -1;
    const std::vector<TypeRow> rows = TypeRows(draft_, *model_);
    SGRequests->clearContents();
    SGRequests->setRowCount(std::max<int>(1, static_cast<int>(rows.size())));
    for (int c = 0; c < SGRequests->columnCount(); ++c)
        SGRequests->setItem(0, c, ProbabilityCells::FixedCell({}));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        SGRequests->setItem(r, 0, ProbabilityCells::FixedCell(Text(rows[r].name)));
        SGRequests->setItem(r, kTypeColumn,
                            draft_.kind == kGenerator
                                ? ProbabilityCells::Cell(Text(rows[r].second))
                                : ProbabilityCells::FixedCell(Text(rows[r].second)));
        SGRequests->setItem(r, kTransformColumn, ProbabilityCells::FixedCell(Text(rows[r].third)));
    }
    AllRequestListBox->clear();
    for (uint8_t t : OtherTypes(draft_, *model_)) {
        auto* item = new QListWidgetItem(Text(model_->RequestType(t)->name), AllRequestListBox);
        item->setData(Qt::UserRole, t);
    }
}

void TAccumulatorForm::SGRequestsClick(int row, int column) {
    if (!node)
        return;
    if (draft_.kind == kGenerator) {
        typeCells_->Check(row);
        return;
    }
    const std::vector<uint8_t> admitted = AdmittedTypes(draft_);
    if (draft_.kind != kChannel || column != kTransformColumn ||
        SGRequests->isColumnHidden(kTransformColumn) || row < 0 ||
        row >= static_cast<int>(admitted.size()))
        return;
    // The chooser lies over the cell, one entry per type in type order.
    const QRect cell = SGRequests->visualRect(SGRequests->model()->index(row, column));
    RequestComboBox->setGeometry(cell.x(), cell.y(), cell.width() + 2, cell.height());
    RequestComboBox->setCurrentIndex(draft_.transform[admitted[static_cast<size_t>(row)]]);
    transformRow_ = row;
    RequestComboBox->show();
    RequestComboBox->raise();
    RequestComboBox->setFocus(Qt::MouseFocusReason);
}

void TAccumulatorForm::RequestComboBoxExit() {
    if (RequestComboBox->isHidden())
        return;
    RequestComboBox->hide();
    const std::vector<uint8_t> admitted = AdmittedTypes(draft_);
    const int chosen = RequestComboBox->currentIndex();
    if (transformRow_ >= 0 && transformRow_ < static_cast<int>(admitted.size()) && chosen >= 0 &&
        chosen < model_->typeCount()) {
        draft_.transform[admitted[static_cast<size_t>(transformRow_)]] =
            static_cast<uint8_t>(chosen);
        SGRequests->item(transformRow_, kTransformColumn)
            ->setText(Text(model_->RequestType(static_cast<uint8_t>(chosen))->name));
    }
    transformRow_ = -1;
}

void TAccumulatorForm::SGRequestsDblClick(int row, int column) {
    const std::vector<uint8_t> admitted = AdmittedTypes(draft_);
    if (!node || column != kTypeColumn || row < 0 || row >= static_cast<int>(admitted.size()))
        return;
    const bool service = draft_.kind == kChannel;
    const bool waitLimit = draft_.kind == kQueue && draft_.waitLimitMode == kWaitRandomLimit;
    if (!service && !waitLimit)
        return;
    LawRecord& law = draft_.typeLaws[admitted[static_cast<size_t>(row)]];
    EditLaw(law, service, nullptr);
    SGRequests->item(row, kTypeColumn)->setText(Text(AppData.LawText(law)));
}

bool TAccumulatorForm::SGRequestsExit() {
    return typeCells_->Check();
}

void TAccumulatorForm::Button12Click() {
    if (!Settled())
        return;
    std::vector<uint8_t> types;
    for (const QListWidgetItem* item : AllRequestListBox->selectedItems())
        types.push_back(static_cast<uint8_t>(item->data(Qt::UserRole).toUInt()));
    if (types.empty())
        return;
    AdmitTypes(draft_, *model_, types);
    FillRequestTypes();
}

void TAccumulatorForm::Button15Click() {
    if (!Settled() || AllRequestListBox->count() == 0)
        return;
    AdmitAllTypes(draft_, *model_);
    FillRequestTypes();
}

void TAccumulatorForm::Button14Click() {
    if (!Settled())
        return;
    const std::vector<uint8_t> admitted = AdmittedTypes(draft_);
    std::set<int> rows;
    for (const QModelIndex& i : SGRequests->selectionModel()->selectedIndexes())
        rows.insert(i.row());
    if (rows.empty() && SGRequests->currentRow() >= 0)
        rows.insert(SGRequests->currentRow());
    std::vector<uint8_t> types;
    for (int r : rows) {
        if (r >= 0 && r < static_cast<int>(admitted.size()))
            types.push_back(admitted[static_cast<size_t>(r)]);
    }
    DismissTypes(draft_, types);
    FillRequestTypes();
}

void TAccumulatorForm::Button13Click() {
    if (!Settled())
        return;
    DismissAllTypes(draft_);
    FillRequestTypes();
}

void TAccumulatorForm::EqReqPrsButtonClick() {
    if (!Settled())
        return;
    SetEqualProbabilities(draft_.typeProbabilities);
    FillRequestTypes();
}

}  // namespace marvolt
