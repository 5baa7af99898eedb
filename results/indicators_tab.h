// The tab "Показатели": indicator values of the results model for the
// system, a channel, a queue and a sink, each for a chosen request type.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>

#include "kernel/queuing_system.h"
#include "results/logic/indicator_panel.h"

class QComboBox;
class QLineEdit;

namespace marvolt {

class IndicatorsTab : public QWidget {
    Q_OBJECT

  public:
    // The results are asked for each time: they may be replaced at any run.
    explicit IndicatorsTab(std::function<const CQueuingSystem*()> results,
                           QWidget* parent = nullptr);

    // Rebuilds the six lists from the results model, keeping the chosen
    // entries where they still exist, and writes every value.
    void Fill();
    void RefreshGroups();
    void RefreshGroup(IndicatorGroup group);

    // Event handlers.
    void ComboBox1Click();
    void ComboBox2Click();
    void ComboBox3Click();
    void ComboBox4Click();
    void ComboBox5Click();
    void ComboBox6Click();

  private:
    QComboBox* NodeList(IndicatorGroup group) const;

    std::function<const CQueuingSystem*()> results_;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QComboBox* ComboBox5 = nullptr;
    QComboBox* ComboBox6 = nullptr;
    std::vector<std::pair<const IndicatorField*, QLineEdit*>> values_;
};

}  // namespace marvolt
