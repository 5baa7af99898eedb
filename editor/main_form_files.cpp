// The main window's file commands: new, open, save, the save question, the
// recent models and files dropped on the window.
#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>

#include "editor/dropped_file.h"
#include "editor/logic/file_messages.h"
#include "editor/logic/recent_list.h"
#include "editor/main_form.h"
#include "persistence/model_file.h"

namespace marvolt {

namespace {

const QString kSaveQuestion = QStringLiteral("Сохранить текущую модель?");

std::string FilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

FileDialogRequest TMainForm::ModelFileDialog() const {
    return {kModelFileFilter, QStringLiteral("qsf")};
}

void TMainForm::SaveWithDialog() {
    const QString path = services_.fileDialogs.SaveFileName(ModelFileDialog());
    if (!path.isEmpty())
        SaveModel(path);
}

bool TMainForm::SaveCurrent() {
    if (!fileName_.isEmpty())
        return SaveModel(fileName_);
    const QString path = services_.fileDialogs.SaveFileName(ModelFileDialog());
    return path.isEmpty() || SaveModel(path);
}

bool TMainForm::AskToSave() {
    if (!HasUnsavedChanges())
        return true;
    if (services_.messages.Show(QStringLiteral("Новая модель"), MessageIcon::kQuestion,
                                kSaveQuestion, kButtonYes | kButtonNo) != kButtonYes)
        return true;
    return SaveCurrent();
}

bool TMainForm::SaveModel(const QString& path) {
    FlushDescription();
    const SaveResult saved = SaveModelFile(FilePath(path), *model_, results_.get());
    if (Refusal failure = SaveFailure(saved, path.toStdString())) {
        ShowRefusal(services_.messages, failure);
        return false;
    }
    fileName_ = path;
    SetTitle();
    history_->MarkSaved();
    resultsUnsaved_ = false;
    recent_.Add(path);
    RebuildRecentMenu();
    return true;
}

void TMainForm::OpenModel() {
    const QString path = services_.fileDialogs.OpenFileName(ModelFileDialog());
    if (path.isEmpty() || !AskToSave())
        return;
    OpenFile(path);
}

bool TMainForm::OpenFile(const QString& path) {
    OpenedModels opened = OpenModelFile(FilePath(path));
    if (Refusal failure = OpenFailure(opened, path.toStdString())) {
        ShowRefusal(services_.messages, failure);
        // A file that has gone is no longer offered.
        if (!QFileInfo::exists(path)) {
            recent_.Remove(path);
            RebuildRecentMenu();
        }
        return false;
    }
    results_ = std::move(opened.results);
    fileName_ = path;
    SetTitle();
    // Every category open and the last request type selected, as if each
    // entry had been chosen in turn.
    TreeSelection last;
    if (opened.current->typeCount() > 0)
        last.type = opened.current->RequestType(opened.current->typeCount() - 1);
    InstallModel(std::move(opened.current), last);
    recent_.Add(path);
    RebuildRecentMenu();
    return true;
}

void TMainForm::SetRecentSettings(QSettings* settings) {
    recent_.SetSettings(settings);
    RebuildRecentMenu();
}

void TMainForm::RebuildRecentMenu() {
    for (QAction* action : recentActions_)
        delete action;
    recentActions_.clear();
    const QStringList& paths = recent_.Paths();
    for (int i = 0; i < paths.size(); ++i) {
        const auto position = static_cast<size_t>(i);
        auto* action = new QAction(
            QString::fromStdString(RecentCaption(position, paths[i].toStdString())), FileMenu);
        action->setObjectName(QStringLiteral("RecentModel%1").arg(i + 1));
        action->setShortcut(QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + i)));
        action->setStatusTip(paths[i]);
        connect(action, &QAction::triggered, this, [this, i] { RecentModelClick(i); });
        FileMenu->insertAction(RecentSeparator, action);
        recentActions_.push_back(action);
    }
    // Without recent models one separator is enough.
    RecentSeparator->setVisible(!paths.isEmpty());
}

void TMainForm::RecentModelClick(int position) {
    if (position < 0 || position >= recent_.Paths().size())
        return;
    // The list changes as the file opens.
    const QString path = recent_.Paths()[position];
    if (!AskToSave())
        return;
    OpenFile(path);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFilePath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QString path = DroppedFilePath(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    OpenDropped(path);
}

void TMainForm::OpenDropped(const QString& path) {
    // Asked once the drop is over, so the desktop's drag does not wait on a question.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            if (AskToSave())
                OpenFile(path);
        },
        Qt::QueuedConnection);
}

void TMainForm::N14Click() {
    if (!AskToSave())
        return;
    results_.reset();
    NewModel();
}

void TMainForm::N11Click() {
    OpenModel();
}

void TMainForm::N12Click() {
    SaveCurrent();
}

void TMainForm::N13Click() {
    SaveWithDialog();
}

void TMainForm::N2Click() {
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!HasUnsavedChanges()) {
        event->accept();
        return;
    }
    const MessageButton answer =
        services_.messages.Show(QStringLiteral("Выход из программы"), MessageIcon::kQuestion,
                                kSaveQuestion, kButtonYes | kButtonNo | kButtonCancel);
    if (answer == kButtonCancel || (answer == kButtonYes && !SaveCurrent())) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace marvolt
