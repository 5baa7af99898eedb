// The colour dialog passes through here, so tests can answer it.
#pragma once

#include <QColor>

#include <optional>

namespace marvolt {

class ColorDialogService {
  public:
    virtual ~ColorDialogService() = default;
    // The colour chosen, starting from initial; none when the user cancelled.
    virtual std::optional<QColor> PickColor(const QColor& initial) = 0;
};

class QtColorDialogService final : public ColorDialogService {
  public:
    std::optional<QColor> PickColor(const QColor& initial) override;
};

}  // namespace marvolt
