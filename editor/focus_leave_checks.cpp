#include "editor/focus_leave_checks.h"

#include <QApplication>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

namespace marvolt {

FocusLeaveChecks::FocusLeaveChecks(QObject* parent) : QObject(parent) {
    connect(qApp, &QApplication::focusChanged, this, &FocusLeaveChecks::FocusChanged);
}

void FocusLeaveChecks::Watch(QWidget* field, Check check) {
    watched_.push_back({field, std::move(check), false});
}

void FocusLeaveChecks::Exempt(QWidget* target) {
    exempt_.emplace_back(target);
}

bool FocusLeaveChecks::Inside(const QWidget* w, const QWidget* field) {
    return w && field && (w == field || field->isAncestorOf(w));
}

void FocusLeaveChecks::FocusChanged(QWidget* old, QWidget* now) {
    // The focus going to another window (a box, a popup list, another
    // program) is not the user leaving the field.
    if (running_ || !old || !now || now->window() != old->window())
        return;
    for (const auto& e : exempt_) {
        if (Inside(now, e))
            return;
    }
    bool any = false;
    for (Watched& w : watched_) {
        if (Inside(old, w.field) && !Inside(now, w.field)) {
            w.pending = true;
            any = true;
        }
    }
    // Judged once the event that moved the focus is over: a message box in
    // the middle of a focus change would leave the focus in between.
    if (any && !scheduled_) {
        scheduled_ = true;
        QTimer::singleShot(0, this, [this] {
            scheduled_ = false;
            RunPending();
        });
    }
}

bool FocusLeaveChecks::Run(Watched& w) {
    w.pending = false;
    if (!w.field || !w.field->window()->isVisible())
        return true;
    running_ = true;
    const bool passed = w.check();
    running_ = false;
    if (!passed) {
        DropPending();
        FocusBack(w.field);
    }
    return passed;
}

bool FocusLeaveChecks::RunPending() {
    if (running_)
        return false;
    for (Watched& w : watched_) {
        if (w.pending && !Run(w))
            return false;
    }
    return true;
}

bool FocusLeaveChecks::RunAll() {
    if (running_)
        return false;
    for (Watched& w : watched_) {
        if (!Run(w))
            return false;
    }
    return true;
}

void FocusLeaveChecks::DropPending() {
    for (Watched& w : watched_)
        w.pending = false;
}

void FocusLeaveChecks::FocusBack(QWidget* field) {
    // Walk up through the tab pages so the field can be seen again.
    for (QWidget* w = field; w && !w->isWindow(); w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        if (!stack)
            continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
            tabs->setCurrentWidget(w);
    }
    field->setFocus(Qt::OtherFocusReason);
}

}  // namespace marvolt
