// A tab of the properties dialog over a node's receivers or a channel's
// sources: their order, probabilities and discipline. Links themselves are
// made and removed on the scheme.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>

#include "editor/logic/properties_logic.h"

class QGroupBox;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace marvolt {

class MessageService;
class ProbabilityCells;

// Captions and control names of one of the two tabs.
struct LinkListNames {
    const char* group;
    const char* grid;
    const char* up;
    const char* down;
    const char* equal;
    const char* disciplineGroup;
    const char* byOrder;
    const char* byProbability;
    const char* byCount;
    const char* byCountText;
};

extern const LinkListNames kReceiverNames;
extern const LinkListNames kSourceNames;

class LinkListTab : public QWidget {
    Q_OBJECT

  public:
    LinkListTab(const LinkListNames& names, MessageService& messages, QWidget* parent = nullptr);
    ~LinkListTab() override;

    QGroupBox* LinksGroup;
    QTableWidget* Grid;
    QPushButton* UpButton;
    QPushButton* DownButton;
    QPushButton* EqualButton;
    QRadioButton* OrderRB;
    QRadioButton* CasuallyRB;
    QRadioButton* RCountRB;

    // Shows the links of a working copy; the tab edits that copy from now on.
    void Fill(LinkCopy& links, const CQueuingSystem& model);
    // Reads changed probability cells; false (message shown) on a refusal.
    bool CheckCells(int clickedRow = -1);

    // Run before a button acts: checks of fields just left must pass first.
    void SetSettle(std::function<bool()> settle) { settle_ = std::move(settle); }

    // The two move buttons and the equal-probabilities button.
    void MoveClick(bool up);
    void EqualClick();
    void DisciplineClick(uint8_t discipline);

  private:
    void Refill(int currentRow);
    void ShowDiscipline();
    bool Settled();

    LinkCopy* links_ = nullptr;
    const CQueuingSystem* model_ = nullptr;
    std::unique_ptr<ProbabilityCells> cells_;
    std::function<bool()> settle_;
};

}  // namespace marvolt
