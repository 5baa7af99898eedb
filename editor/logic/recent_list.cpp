#include "editor/logic/recent_list.h"

#include <algorithm>

namespace marvolt {

std::vector<std::string> WithRecent(std::vector<std::string> list, const std::string& path) {
    if (path.empty())
        return TidyRecent(std::move(list));
    list.insert(list.begin(), path);
    return TidyRecent(std::move(list));
}

std::vector<std::string> WithoutRecent(std::vector<std::string> list, const std::string& path) {
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    return list;
}

std::vector<std::string> TidyRecent(std::vector<std::string> list) {
    std::vector<std::string> tidy;
    for (std::string& path : list) {
        if (tidy.size() == kRecentLimit)
            break;
        if (!path.empty() && std::find(tidy.begin(), tidy.end(), path) == tidy.end())
            tidy.push_back(std::move(path));
    }
    return tidy;
}

std::string RecentCaption(size_t position, const std::string& path) {
    std::string caption = '&' + std::to_string(position + 1) + ' ';
    for (char c : path) {
        if (c == '&')
            caption += '&';
        caption += c;
    }
    return caption;
}

}  // namespace marvolt
