// What a node needs to store and restore itself; the model file implements it.
#pragma once

#include <cstdint>
#include <string>

namespace marvolt {

struct LawRecord;
class CFDistribution;
class CIDistribution;

class RecordWriter {
public:
    virtual ~RecordWriter() = default;
    virtual void Bytes(const void* data, size_t size) = 0;
    virtual void Tag(const char tag[4]) = 0;
    virtual void U8(uint8_t v) = 0;
    virtual void I32(int32_t v) = 0;
    virtual void U32(uint32_t v) = 0;
    virtual void F32(float v) = 0;
    virtual void Text(const std::string& utf8) = 0;
    virtual void Law(const LawRecord& law) = 0;
    virtual void Distribution(const CFDistribution& d) = 0;
    virtual void Distribution(const CIDistribution& d) = 0;
};

// Every read answers false once the record is damaged or exhausted.
class RecordReader {
public:
    virtual ~RecordReader() = default;
    virtual bool Bytes(void* data, size_t size) = 0;
    virtual bool Tag(char tag[4]) = 0;
    virtual bool PeekTag(char tag[4]) = 0;
    virtual bool U8(uint8_t& v) = 0;
    virtual bool I32(int32_t& v) = 0;
    virtual bool U32(uint32_t& v) = 0;
    virtual bool F32(float& v) = 0;
    virtual bool Text(std::string& utf8) = 0;
    virtual bool Law(LawRecord& law) = 0;
    virtual bool Distribution(CFDistribution& d) = 0;
    virtual bool Distribution(CIDistribution& d) = 0;
    virtual size_t Remaining() const = 0;
};

}  // namespace marvolt
