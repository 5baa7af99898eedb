// The about box: the program's name, its version and a picture.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace marvolt {

class TAboutForm : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Memo1;
    QPushButton* Button1;
};

// The lines of the about text.
extern const char* const kAboutLines[];
extern const int kAboutLineCount;

}  // namespace marvolt
