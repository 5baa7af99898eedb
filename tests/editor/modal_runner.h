// Driving modal dialogs from a test: the action runs once the dialog's own
// event loop is up, and whatever it leaves open is closed so no test hangs.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <functional>

namespace marvolt::test {

// Runs action once a modal dialog of type D is up (the one start opens, or
// one a click inside another dialog opens), then closes it if still open.
template <class D>
void WhenModal(std::function<void(D&)> action, int triesLeft = 200) {
    QTimer::singleShot(triesLeft == 200 ? 0 : 10, [action, triesLeft] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (triesLeft > 0)
                WhenModal<D>(action, triesLeft - 1);
            return;
        }
        // Focus moves only within the active window.
        if (!QTest::qWaitForWindowActive(dialog))
            qWarning("a modal dialog did not become active");
        action(*dialog);
        // Closed at once: a later timer could close the next showing instead.
        if (dialog->isVisible())
            dialog->done(-1);
    });
}

// Starts a modal dialog (start blocks in its exec) with action run inside it.
template <class D, class Start>
auto RunModal(Start start, std::function<void(D&)> action) {
    WhenModal<D>(std::move(action));
    return start();
}

}  // namespace marvolt::test
