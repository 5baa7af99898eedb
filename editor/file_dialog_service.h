// Open and save dialogs pass through here, so tests can answer them.
#pragma once

#include <QString>

namespace marvolt {

struct FileDialogRequest {
    // Pairs of a description and its pattern, all separated by '|':
    // "Файл модели (*.qsf)|*.qsf|Все файлы (*.*)|*.*".
    QString filter;
    // Added to a typed name that has no extension.
    QString defaultExtension;
};

class FileDialogService {
  public:
    virtual ~FileDialogService() = default;
    // The chosen path, or an empty string when the user cancelled.
    virtual QString OpenFileName(const FileDialogRequest& request) = 0;
    virtual QString SaveFileName(const FileDialogRequest& request) = 0;
};

// The filter in the toolkit's own notation: "Файл модели (*.qsf);;Все файлы (*.*)".
QString ToolkitFilter(const QString& filter);

class QtFileDialogService final : public FileDialogService {
  public:
    QString OpenFileName(const FileDialogRequest& request) override;
    QString SaveFileName(const FileDialogRequest& request) override;
};

}  // namespace marvolt
