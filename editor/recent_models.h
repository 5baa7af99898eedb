// The recent models of the "Файл" menu, kept between sessions in the
// platform's settings: the only setting the program keeps, and nothing of a
// model or an experiment is ever stored there.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace marvolt {

class RecentModels {
  public:
    // Without settings the list lasts only while the program runs.
    explicit RecentModels(QSettings* settings = nullptr) { SetSettings(settings); }

    // Takes the list the settings hold; a missing or unreadable settings file
    // gives an empty one.
    void SetSettings(QSettings* settings);
    const QStringList& Paths() const { return paths_; }
    // The file was opened or saved: it comes first.
    void Add(const QString& path);
    void Remove(const QString& path);

  private:
    void Store();

    QSettings* settings_ = nullptr;
    QStringList paths_;
};

}  // namespace marvolt
