// The list of recent models of the "Файл" menu: the files last opened or
// saved, newest first. Paths are compared as they are given.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace marvolt {

inline constexpr size_t kRecentLimit = 8;

// After path was opened or saved: it comes first, once, and the oldest past
// eight drop off.
std::vector<std::string> WithRecent(std::vector<std::string> list, const std::string& path);
std::vector<std::string> WithoutRecent(std::vector<std::string> list, const std::string& path);
// A list as it was stored, made usable: no empty or repeated entries, at most eight.
std::vector<std::string> TidyRecent(std::vector<std::string> list);
// The menu item of the entry at position (0 first): its number, underlined
// for the keyboard, then the path, whose own ampersands stay text.
std::string RecentCaption(size_t position, const std::string& path);

}  // namespace marvolt
