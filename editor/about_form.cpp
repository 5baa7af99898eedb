#include "editor/about_form.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>

#include <iterator>

#include "editor/editor_resources.h"
#include "editor/jpeg_image.h"

namespace marvolt {

const char* const kAboutLines[] = {
    "Marvolt v1.04",
    "Среда имитационного ",
    "моделирования  систем  ",
    "массового обслуживания.",
    "",
    "Генераторы, накопители,",
    "каналы и стоки; заявки",
    "с приоритетами; законы",
    "распределения; факторный",
    "эксперимент.",
};
const int kAboutLineCount = static_cast<int>(std::size(kAboutLines));

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(370, 161);

    // The frame lies around the picture, so the picture keeps its 165x116.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image1->setLineWidth(2);
    Image1->setGeometry(6, 6, 169, 120);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(QPixmap::fromImage(DecodeJpeg(EditorResource(kAboutPicture))));

    QStringList lines;
    for (const char* line : kAboutLines)
        lines << QString::fromUtf8(line);
    Memo1 = new QLabel(lines.join(QLatin1Char('\n')), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(186, 6, 178, 150);
    Memo1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(6, 131, 169, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace marvolt
