// A JSON writer that sends every piece out as soon as it is known, so that
// memory does not grow with the document. Its indented form is the one of
// nlohmann::json's dump(2), byte for byte; scalars are written by that library.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

namespace marvolt {

class JsonStream {
  public:
    explicit JsonStream(std::ostream& out) : out_(out) {}

    // A compact container keeps its elements on one line, and so does all
    // that it holds.
    void BeginObject(bool compact = false);
    void EndObject();
    void BeginArray(bool compact = false);
    void EndArray();
    // Inside an object: the key of the value or container that follows.
    void Key(std::string_view key);

    void Value(const nlohmann::ordered_json& scalar);
    // A whole small value written at once, in the form of its place.
    void Tree(const nlohmann::ordered_json& value);

    template <class T>
    void Field(std::string_view key, const T& value) {
        Key(key);
        Value(nlohmann::ordered_json(value));
    }

    // True when every container begun has ended.
    bool Closed() const { return levels_.empty(); }

  private:
    struct Level {
        bool object;
        bool compact;
        bool empty = true;
    };
    std::ostream& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;

    bool Compact() const { return !levels_.empty() && levels_.back().compact; }
    void BeforeElement();
    void Begin(bool object, bool compact, char bracket);
    void End(char bracket);
    void NewLine(size_t depth);
};

}  // namespace marvolt
