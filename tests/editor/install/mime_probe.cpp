// Tells the file type the toolkit's MIME database gives a file, judged by its
// name alone or by its content alone; the install check points the database
// at the installed description with XDG_DATA_DIRS.
//   marvolt_mime_probe name|content <file>
#include <QCoreApplication>
#include <QMimeDatabase>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "name") != 0 && std::strcmp(argv[1], "content") != 0)) {
        std::fprintf(stderr, "usage: %s name|content <file>\n", argv[0]);
        return 2;
    }
    QCoreApplication application(argc, argv);
    const auto mode = std::strcmp(argv[1], "name") == 0 ? QMimeDatabase::MatchExtension
                                                        : QMimeDatabase::MatchContent;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromLocal8Bit(argv[2]), mode);
    std::printf("%s\n", qPrintable(type.name()));
    return 0;
}
