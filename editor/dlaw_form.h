// The distribution-law dialog: edits one law record modally.
#pragma once

#include <QDialog>

#include "kernel/random_stat.h"

class QPushButton;

namespace marvolt {

class LawEditor;
class MessageService;

class TDLawForm : public QDialog {
    Q_OBJECT

  public:
    explicit TDLawForm(MessageService& messages, QWidget* parent = nullptr);

    LawEditor* DLawGroupBox;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    // The law being edited and whether its constant may be 0; the caller sets
    // both before showing the dialog and reads the law after OK.
    LawRecord& dialogLaw();
    void SetAllowZeroConstant(bool allow);
    bool allowZeroConstant() const;
    // OK was pressed during this showing.
    bool okPressed = false;

    // Shows the law modally; on OK the law is replaced by the edited one.
    // A service time may be 0 (instant service).
    bool EditLaw(LawRecord& law, bool serviceTime);

    void RefreshLaw();
    void FitLaw(const CDistribution& sample);

    void FormShow();
    void BitBtn1Click();
    // OK closes only with a law the kernel can use.
    void accept() override;
    // Every way of closing ends here, and only a real close forgets the
    // permission for a zero constant: a refused OK keeps the dialog open.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace marvolt
