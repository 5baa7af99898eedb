// What a node needs to store and restore itself; the model file implements it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kernel/random_stat.h"

namespace marvolt {

// Writes the items of a record in order. Something that cannot be stored
// faithfully (a text the file's code page lacks, a name too long, a list too
// long for its count byte) is remembered, and the whole save is refused.
class RecordWriter {
  public:
    virtual ~RecordWriter() = default;
    virtual void Tag(const char* tag) = 0;  // four letters
    virtual void U8(uint8_t v) = 0;
    virtual void I32(int32_t v) = 0;
    virtual void U32(uint32_t v) = 0;
    virtual void F32(float v) = 0;
    virtual void ShortText(const std::string& utf8) = 0;  // at most 255 characters
    virtual void LongText(const std::string& utf8) = 0;
    virtual void Law(const LawRecord& law) = 0;
    virtual void Distribution(const CFDistribution& d) = 0;
    virtual void Distribution(const CIDistribution& d) = 0;
    virtual void CannotStore() = 0;

    // A count byte; a larger count cannot be stored.
    void Count(size_t n) {
        if (n > 255)
            CannotStore();
        U8(static_cast<uint8_t>(n));
    }

    // Exactly n elements: missing ones are written as pad, extra ones dropped,
    // so an array that went out of step with the type count still gives a
    // record the reader can follow.
    template <class T>
    void Array(const std::vector<T>& v, size_t n, const T& pad) {
        for (size_t i = 0; i < n; ++i)
            Put(i < v.size() ? v[i] : pad);
    }

  private:
    void Put(uint8_t v) { U8(v); }
    void Put(uint32_t v) { U32(v); }
    void Put(float v) { F32(v); }
    void Put(const LawRecord& v) { Law(v); }
};

// Every read answers false once the record is damaged or exhausted. Nothing is
// allocated for a count before the bytes it implies are known to be there.
class RecordReader {
  public:
    virtual ~RecordReader() = default;
    virtual size_t Remaining() const = 0;
    virtual bool Skip(size_t n) = 0;
    // Reads four bytes; true when they are the tag.
    virtual bool Expect(const char* tag) = 0;
    // Consumes the tag only when it comes next; false leaves the reader as it was.
    virtual bool Optional(const char* tag) = 0;
    virtual bool U8(uint8_t& v) = 0;
    virtual bool I32(int32_t& v) = 0;
    virtual bool U32(uint32_t& v) = 0;
    virtual bool F32(float& v) = 0;
    virtual bool ShortText(std::string& utf8) = 0;
    virtual bool LongText(std::string& utf8) = 0;
    virtual bool Law(LawRecord& law) = 0;  // false for an unknown law kind
    virtual bool Distribution(CFDistribution& d) = 0;
    virtual bool Distribution(CIDistribution& d) = 0;

    // Reads exactly n elements into a fresh array.
    template <class T>
    bool Array(std::vector<T>& v, size_t n) {
        v.clear();
        if (n > Remaining() / EncodedSize(T{}))
            return false;
        v.resize(n);
        for (T& e : v) {
            if (!Get(e))
                return false;
        }
        return true;
    }

    // A model time stored as float32.
    bool Time(SimTime& t) {
        float f = 0.0f;
        if (!F32(f))
            return false;
        t = f;
        return true;
    }

  private:
    static constexpr size_t EncodedSize(uint8_t) { return 1; }
    static constexpr size_t EncodedSize(uint32_t) { return 4; }
    static constexpr size_t EncodedSize(float) { return 4; }
    static constexpr size_t EncodedSize(const LawRecord&) { return 12; }
    bool Get(uint8_t& v) { return U8(v); }
    bool Get(uint32_t& v) { return U32(v); }
    bool Get(float& v) { return F32(v); }
    bool Get(LawRecord& v) { return Law(v); }
};

}  // namespace marvolt
