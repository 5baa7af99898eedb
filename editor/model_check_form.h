// The window of the model check: what would make a run meaningless or
// surprising, one finding a line. It stays open beside the main window, which
// shows it the findings again after every change of the model.
#pragma once

#include <QDialog>

#include <cstdint>
#include <vector>

#include "check/model_check.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace marvolt {

class TModelCheckForm : public QDialog {
    Q_OBJECT

  public:
    explicit TModelCheckForm(QWidget* parent = nullptr);

    void ShowFindings(const std::vector<Finding>& findings);

    // Event handlers, named after their control and event.
    void FindingsListDblClick(QListWidgetItem* item);

    QLabel* SummaryLabel = nullptr;
    QListWidget* FindingsList = nullptr;
    QPushButton* CloseButton = nullptr;

  signals:
    // A finding about a node was double-clicked.
    void NodeChosen(uint8_t node);
};

}  // namespace marvolt
