// The law editor: the kind of a distribution law and its parameters, over a
// plain law record. The law dialog shows it; the distributions tab of the
// experiment window hosts one of its own, with its button that fits the law
// to a sample.
#pragma once

#include <QGroupBox>

#include "kernel/random_stat.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace marvolt {

class FocusLeaveChecks;
class MessageService;

class LawEditor : public QGroupBox {
    Q_OBJECT

  public:
    explicit LawEditor(MessageService& messages, QWidget* parent = nullptr);

    // The law being edited; a caller sets it and then calls RefreshLaw.
    LawRecord dialogLaw;
    // The deterministic constant may be 0 (a channel's service time).
    bool allowZeroConstant = false;

    QComboBox* ComboBox1;
    QLabel* Label1;
    QLabel* Label1v;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLabel* Label2v;
    QLineEdit* Edit2;
    QPushButton* AutoParamsButton;

    // Shows the law, after correcting what its kind cannot use.
    void RefreshLaw();
    // The law of the current kind fitted to a sample distribution.
    void FitLaw(const CDistribution& sample);
    // Reads the parameter texts the user changed and then checks the whole
    // law, as closing with OK requires. False on a refusal: its message has
    // been shown and the focus is back on the field to correct.
    bool AcceptLaw();
    // The host's own buttons: moving the focus there is not leaving a field.
    void ExemptFromChecks(QWidget* target);
    // The window closes: fields left a moment ago are not judged any more.
    void DropPendingChecks();

    void ComboBox1Change(int index);
    bool Edit1Exit();
    bool Edit2Exit();

  signals:
    void AutoParamsButtonClicked();

  private:
    bool Refuse(const std::string& message, QLineEdit* field);

    MessageService& messages_;
    FocusLeaveChecks* checks_;
};

}  // namespace marvolt
