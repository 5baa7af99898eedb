#include "editor/file_dialog_service.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

namespace marvolt {

QString ToolkitFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // "*.*" means every file, but the toolkit would match only names with a dot.
        QString description = parts[i];
        description.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
        const QString pattern = parts[i + 1] == QStringLiteral("*.*") ? QStringLiteral("*") : parts[i + 1];
        // The toolkit reads the patterns from the parentheses of the description.
        if (description.contains(QLatin1Char('(')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

namespace {

QString Ask(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(save ? QStringLiteral("Сохранить как") : QStringLiteral("Открыть"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(ToolkitFilter(request.filter).split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(request.defaultExtension);
    // The program speaks Russian whatever translations the machine has.
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Папка:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Имя файла:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Тип файлов:"));
    dialog.setLabelText(QFileDialog::Accept,
                        save ? QStringLiteral("Сохранить") : QStringLiteral("Открыть"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

}  // namespace

QString QtFileDialogService::OpenFileName(const FileDialogRequest& request) {
    return Ask(request, false);
}

QString QtFileDialogService::SaveFileName(const FileDialogRequest& request) {
    return Ask(request, true);
}

}  // namespace marvolt
