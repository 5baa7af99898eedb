#include "results/choice_box.h"

#include <QSignalBlocker>

namespace marvolt {

void SetChoiceItems(QComboBox* box, const ChoiceList& items,
                    const std::optional<ChoiceItem>& remembered) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const ChoiceItem& item : items)
        box->addItem(QString::fromStdString(item.text), static_cast<int>(item.index));
    box->setCurrentIndex(Reselect(items, remembered));
}

std::optional<ChoiceItem> ChosenItem(const QComboBox* box) {
    if (box->currentIndex() < 0)
        return std::nullopt;
    return ChoiceItem{box->currentText().toStdString(),
                      static_cast<uint8_t>(box->currentData().toInt())};
}

uint8_t ChosenIndex(const QComboBox* box) {
    return box->currentIndex() < 0 ? kNoIndex : static_cast<uint8_t>(box->currentData().toInt());
}

int PackedKey(const IndicatorKey& key) {
    return key.object | (key.type << 8) | (key.id << 16);
}

IndicatorKey UnpackedKey(int packed) {
    return {static_cast<uint8_t>(packed & 0xff), static_cast<uint8_t>((packed >> 8) & 0xff),
            static_cast<uint8_t>((packed >> 16) & 0xff)};
}

}  // namespace marvolt
