// The planning of sample distributions on the planning tab: an object list
// and the grid of its quantities, request-type slices, bounds and interval
// counts. A selected cell is checked and stored when the selection leaves it
// or the grid loses the focus, and only when the user changed its text.
#pragma once

#include <QTableWidget>
#include <QWidget>

#include <functional>

#include "editor/message_service.h"
#include "kernel/queuing_system.h"
#include "results/logic/planning_grid.h"

class QComboBox;

namespace marvolt {

// The grid itself: tells a click on the cell already selected from one that
// moves the selection, since both count as a selection.
class PlanTable : public QTableWidget {
    Q_OBJECT

  public:
    using QTableWidget::QTableWidget;
    std::function<void()> onSameCellPressed;
    bool moved = false;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class PlanningGrid : public QWidget {
    Q_OBJECT

  public:
    // beforeEdit runs before anything is stored into the current model.
    PlanningGrid(MessageService& messages, std::function<CQueuingSystem*()> current,
                 std::function<void()> beforeEdit, QWidget* parent = nullptr);
    ~PlanningGrid() override;

    // On showing the window: the object list afresh, then the grid.
    void FillObjects();
    // A pending edit is forgotten without a check.
    void DropPendingEdit();
    bool PlanCellDirty() const { return planCellDirty_; }

    // Event handlers.
    void ComboBox7Click();
    void DistrSGClick();
    void DistrSGExit();

    PlanTable* Grid() const { return DistrSG; }

  private:
    void BuildGrid();
    // True when the pending cell is stored or needs nothing.
    bool ValidateAndCommit();
    void FocusChanged(QWidget* old, QWidget* now);
    void CellChanged(QTableWidgetItem* item);
    void SetCellText(int row, int col, const QString& text);

    MessageService& messages_;
    std::function<CQueuingSystem*()> current_;
    std::function<void()> beforeEdit_;
    PlanLayout layout_;

    uint8_t planObject_ = kNoIndex;
    bool planCellDirty_ = false;
    int planRow_ = 1;
    int planCol_ = 1;
    bool planRefocus_ = false;
    // The user changed the pending cell's text.
    bool edited_ = false;
    bool filling_ = false;

    QComboBox* ComboBox7 = nullptr;
    PlanTable* DistrSG = nullptr;
};

}  // namespace marvolt
