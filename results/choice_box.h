// Drop-down lists whose items carry what they stand for: a node, a request
// type, an indicator or a parameter, by index rather than by name.
#pragma once

#include <QComboBox>

#include <optional>

#include "results/logic/indicator_panel.h"

namespace marvolt {

// Replaces the items without signalling, selecting the entry Reselect finds.
void SetChoiceItems(QComboBox* box, const ChoiceList& items,
                    const std::optional<ChoiceItem>& remembered);
// The chosen item, or none when nothing is chosen.
std::optional<ChoiceItem> ChosenItem(const QComboBox* box);
// The index of the chosen item; 255 when nothing is chosen.
uint8_t ChosenIndex(const QComboBox* box);

// The three indices of a list entry in one number, as a list item keeps it.
int PackedKey(const IndicatorKey& key);
IndicatorKey UnpackedKey(int packed);

}  // namespace marvolt
