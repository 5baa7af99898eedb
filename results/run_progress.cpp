#include "results/run_progress.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace marvolt {

RunProgressDialog::RunProgressDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RunProgressDialog"));
    setWindowTitle(QStringLiteral("Выполнение эксперимента"));
    setModal(true);
    ProgressLabel = new QLabel(this);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 1000);
    ProgressBar->setFormat(QStringLiteral("%p%"));
    ProgressBar->setMinimumWidth(320);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgressLabel);
    layout->addWidget(ProgressBar);
    layout->addLayout(buttons);
    connect(CancelButton, &QPushButton::clicked, this, &RunProgressDialog::reject);
}

void RunProgressDialog::Start() {
    cancelled_ = false;
    CancelButton->setEnabled(true);
    ProgressBar->setValue(0);
    ProgressLabel->setText(QStringLiteral("Выполняется эксперимент..."));
    clock_.start();
}

bool RunProgressDialog::Report(float share, int run, int runs) {
    if (!isVisible() && clock_.elapsed() >= delay_)
        show();
    if (isVisible()) {
        ProgressBar->setValue(static_cast<int>(std::lround(std::clamp(share, 0.0f, 1.0f) * 1000)));
        ProgressLabel->setText(runs > 1 ? QStringLiteral("Прогон %1 из %2").arg(run + 1).arg(runs)
                                        : QStringLiteral("Выполняется эксперимент..."));
    }
    // Until the dialog stands in front, nothing may reach the windows behind
    // it: a second click on the run button would start a run inside this one.
    QCoreApplication::processEvents(isVisible() ? QEventLoop::AllEvents
                                                : QEventLoop::ExcludeUserInputEvents);
    return !cancelled_;
}

void RunProgressDialog::Finish() {
    hide();
}

void RunProgressDialog::reject() {
    // The window's close box cancels as the button does; the dialog stays
    // until the run has stopped.
    cancelled_ = true;
    CancelButton->setEnabled(false);
}

}  // namespace marvolt
