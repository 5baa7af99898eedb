// The progress of a long run: a modal dialog with the share done, the run of
// a factor experiment and a Cancel button. It appears only once a run has
// lasted a moment, so short runs show nothing.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace marvolt {

class RunProgressDialog : public QDialog {
    Q_OBJECT

  public:
    explicit RunProgressDialog(QWidget* parent = nullptr);

    // How long a run goes before the dialog shows; tests make it 0.
    void SetDelay(int milliseconds) { delay_ = milliseconds; }

    // A run starts; the clock runs from here.
    void Start();
    // Where the run stands: the share of the whole experiment and, for a
    // factor experiment (runs > 1), which run it is (from 0). Keeps the window
    // painted and answers false once the user asked to stop.
    bool Report(float share, int run, int runs);
    // The run is over: the dialog goes.
    void Finish();

    bool Cancelled() const { return cancelled_; }
    // Cancel, the close box and Escape all ask the run to stop.
    void reject() override;

  private:
    QElapsedTimer clock_;
    int delay_ = 500;
    bool cancelled_ = false;
    QLabel* ProgressLabel = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* CancelButton = nullptr;
};

}  // namespace marvolt
