// How wide a line edit must be to show a text whole.
#pragma once

#include <QString>

class QLineEdit;

namespace marvolt {

// The width that shows text inside the edit's frame, margins and cursor.
int FieldWidthFor(const QLineEdit* edit, const QString& text);

}  // namespace marvolt
