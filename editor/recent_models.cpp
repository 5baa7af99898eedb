#include "editor/recent_models.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <string>
#include <vector>

#include "editor/logic/recent_list.h"

namespace marvolt {

namespace {

const QString kRecentKey = QStringLiteral("recentModels");

std::vector<std::string> Plain(const QStringList& paths) {
    std::vector<std::string> list;
    for (const QString& p : paths)
        list.push_back(p.toStdString());
    return list;
}

QStringList Listed(const std::vector<std::string>& list) {
    QStringList paths;
    for (const std::string& p : list)
        paths << QString::fromStdString(p);
    return paths;
}

// One file, one entry, however it was named.
QString Normal(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

void RecentModels::SetSettings(QSettings* settings) {
    settings_ = settings;
    paths_.clear();
    if (!settings_ || settings_->status() != QSettings::NoError)
        return;
    QStringList stored;
    // Only full paths were ever written: anything else is not ours.
    for (const QString& p : settings_->value(kRecentKey).toStringList()) {
        if (QFileInfo(p).isAbsolute())
            stored << p;
    }
    paths_ = Listed(TidyRecent(Plain(stored)));
}

void RecentModels::Add(const QString& path) {
    paths_ = Listed(WithRecent(Plain(paths_), Normal(path).toStdString()));
    Store();
}

void RecentModels::Remove(const QString& path) {
    paths_ = Listed(WithoutRecent(Plain(paths_), Normal(path).toStdString()));
    Store();
}

void RecentModels::Store() {
    if (!settings_)
        return;
    settings_->setValue(kRecentKey, paths_);
    settings_->sync();
}

}  // namespace marvolt
