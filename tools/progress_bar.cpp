#include "tools/progress_bar.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace marvolt {

namespace {

constexpr int kBarWidth = 30;

// Terminal columns of a UTF-8 text: continuation bytes take none.
size_t Columns(const std::string& s) {
    return static_cast<size_t>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

std::string ProgressBarText(const RunProgress& p) {
    const float overall = std::clamp(p.Overall(), 0.0f, 1.0f);
    const int filled = static_cast<int>(std::floor(overall * kBarWidth));
    const int percent = static_cast<int>(std::floor(overall * 100.0f));
    std::string text = "[" + std::string(static_cast<size_t>(filled), '#') +
                       std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] ";
    const std::string number = std::to_string(percent);
    text += std::string(3 - std::min<size_t>(3, number.size()), ' ') + number + "%";
    if (p.runs > 1)
        text += "  прогон " + std::to_string(p.run + 1) + " из " + std::to_string(p.runs);
    return text;
}

bool ProgressBar::Show(const RunProgress& p) {
    const std::string text = ProgressBarText(p);
    if (text != shown_) {
        // The old line may have been longer: blanks cover its end.
        const size_t was = Columns(shown_), now = Columns(text);
        const size_t cover = was > now ? was - now : 0;
        to_ << '\r' << text << std::string(cover, ' ') << std::flush;
        shown_ = text;
    }
    return true;
}

void ProgressBar::Clear() {
    if (shown_.empty())
        return;
    to_ << '\r' << std::string(Columns(shown_), ' ') << '\r' << std::flush;
    shown_.clear();
}

}  // namespace marvolt
