// The probability column of a grid: cells the user may edit in place, read
// back into a working list only when their text was changed, so a rounded
// display never replaces a stored value.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QTableWidget;
class QTableWidgetItem;

namespace marvolt {

class MessageService;

class ProbabilityCells {
  public:
    using List = std::function<std::vector<float>*()>;

    ProbabilityCells(QTableWidget* grid, int column, MessageService& messages, List list);

    // A cell showing a probability as the dialog wrote it, editable in place.
    static QTableWidgetItem* Cell(const QString& shown);
    // A cell the user cannot edit.
    static QTableWidgetItem* FixedCell(const QString& text);

    // Reads every changed cell into the list, but the one the user has just
    // clicked to work in. On a refusal its message has been shown, the
    // selection is back on that cell, which keeps the typed text, and the
    // answer is false.
    bool Check(int clickedRow = -1);

  private:
    QTableWidget* grid_;
    int column_;
    MessageService& messages_;
    List list_;
};

}  // namespace marvolt
