#include "editor/editor_resources.h"

#include <QFile>
#include <QPixmap>
#include <QString>

#include <iterator>

// Resources compiled into a static library stay out of the program unless
// something refers to them.
static void InitEditorResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(editor);
        return true;
    }();
    (void)done;
}

namespace marvolt {

namespace {

const char* const kToolFiles[] = {
    "new",     "open", "save",         "pointer",    "link",  "generator",  "queue",
    "channel", "sink", "request_type", "tree_entry", nullptr, "experiment", "undo", "redo",
};

const char* const kNodeFiles[] = {"generator", "queue", "channel", "sink"};

}  // namespace

QByteArray EditorResource(const char* path) {
    InitEditorResources();
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QImage ToolImage(int slot) {
    if (slot < 0 || slot >= static_cast<int>(std::size(kToolFiles)) || !kToolFiles[slot])
        return {};
    InitEditorResources();
    return QImage(QStringLiteral(":/marvolt/icons/%1.png").arg(QLatin1String(kToolFiles[slot])));
}

QIcon ToolIcon(int slot) {
    return QIcon(QPixmap::fromImage(ToolImage(slot)));
}

QImage NodePicture(int slot) {
    if (slot < 0 || slot >= static_cast<int>(std::size(kNodeFiles)))
        return {};
    InitEditorResources();
    return QImage(QStringLiteral(":/marvolt/nodes/%1.png").arg(QLatin1String(kNodeFiles[slot])));
}

QIcon ProgramIcon() {
    InitEditorResources();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/marvolt/program/marvolt_%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace marvolt
