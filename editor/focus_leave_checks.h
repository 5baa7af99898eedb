// Checks of input fields made when the focus leaves them. A refused value has
// shown its message; the focus then goes back to the field (and to its tab).
// Moving the focus to a window's own buttons is not leaving: OK checks every
// field itself and Cancel closes without judging input it will throw away.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QWidget;

namespace marvolt {

class FocusLeaveChecks : public QObject {
    Q_OBJECT

  public:
    // A check shows its own message and answers false on a refusal.
    using Check = std::function<bool()>;

    explicit FocusLeaveChecks(QObject* parent = nullptr);

    // Focus anywhere inside field counts as being in it (a grid and its cell editor).
    void Watch(QWidget* field, Check check);
    void Exempt(QWidget* target);

    // Runs the checks of the fields just left, at once. False when one
    // refused; the focus is then back on its field.
    bool RunPending();
    // Runs every check, as OK does before it writes anything.
    bool RunAll();
    // The window closes: what was left is not judged any more.
    void DropPending();

    // Puts the focus on a widget, first showing the tab page it sits on.
    static void FocusBack(QWidget* field);

  private:
    struct Watched {
        QPointer<QWidget> field;
        Check check;
        bool pending = false;
    };

    void FocusChanged(QWidget* old, QWidget* now);
    bool Run(Watched& w);
    static bool Inside(const QWidget* w, const QWidget* field);

    std::vector<Watched> watched_;
    std::vector<QPointer<QWidget>> exempt_;
    bool scheduled_ = false;
    bool running_ = false;
};

}  // namespace marvolt
