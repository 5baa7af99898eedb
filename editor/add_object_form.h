// The name dialog: asks for the name of a node or request type being added.
#pragma once

#include <QDialog>
#include <QString>

#include "kernel/queuing_system.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace marvolt {

class MessageService;

class TAddObjectForm : public QDialog {
    Q_OBJECT

  public:
    explicit TAddObjectForm(MessageService& messages, QWidget* parent = nullptr);

    // Set by the caller before each showing (Prepare does it all), with the
    // caption, the label text and the proposed name in NameEdit.
    bool requestTypeMode = false;
    const CQueuingSystem* model = nullptr;
    void Prepare(const QString& caption, const QString& label, bool typeMode,
                 const CQueuingSystem* names, const QString& proposed);

    QLabel* Label1;
    QLineEdit* NameEdit;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    void FormShow();
    // The name check; true when the name passes. A refused name is reported
    // and the focus goes back to the field.
    bool NameEditExit();

    // OK checks the name too: Enter in the field presses OK without the focus
    // ever leaving it, and an unchecked name must not reach the model.
    void accept() override;
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CheckAfterLeaving();

    MessageService& messages_;
    bool checkPending_ = false;
};

}  // namespace marvolt
