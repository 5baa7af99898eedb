#include "tools/json_stream.h"

#include <ostream>

namespace marvolt {

namespace {
constexpr int kIndent = 2;

// Keys are the program's own words: most need no escaping at all.
bool PlainKey(std::string_view key) {
    for (char c : key) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == '"' || c == '\\')
            return false;
    }
    return true;
}
}  // namespace

void JsonStream::NewLine(size_t depth) {
    out_ << '\n';
    for (size_t i = 0; i < depth * kIndent; ++i)
        out_ << ' ';
}

void JsonStream::BeforeElement() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty())
        return;
    Level& level = levels_.back();
    if (level.compact) {
        if (!level.empty)
            out_ << ", ";
    } else {
        if (!level.empty)
            out_ << ',';
        NewLine(levels_.size());
    }
    level.empty = false;
}

void JsonStream::Begin(bool object, bool compact, char bracket) {
    BeforeElement();
    out_ << bracket;
    levels_.push_back({object, compact || Compact()});
}

void JsonStream::End(char bracket) {
    const Level level = levels_.back();
    levels_.pop_back();
    if (!level.empty && !level.compact)
        NewLine(levels_.size());
    out_ << bracket;
}

void JsonStream::BeginObject(bool compact) {
    Begin(true, compact, '{');
}
void JsonStream::EndObject() {
    End('}');
}
void JsonStream::BeginArray(bool compact) {
    Begin(false, compact, '[');
}
void JsonStream::EndArray() {
    End(']');
}

void JsonStream::Key(std::string_view key) {
    BeforeElement();
    if (PlainKey(key)) {
        out_ << '"' << key << "\": ";
    } else {
        out_ << nlohmann::ordered_json(key).dump() << ": ";
    }
    afterKey_ = true;
}

void JsonStream::Value(const nlohmann::ordered_json& scalar) {
    BeforeElement();
    out_ << scalar.dump();
}

void JsonStream::Tree(const nlohmann::ordered_json& value) {
    if (value.is_object()) {
        BeginObject();
        for (const auto& [key, item] : value.items()) {
            Key(key);
            Tree(item);
        }
        EndObject();
    } else if (value.is_array()) {
        BeginArray();
        for (const auto& item : value)
            Tree(item);
        EndArray();
    } else {
        Value(value);
    }
}

}  // namespace marvolt
