// The model file's encodings: little-endian numbers, Windows-1251 texts,
// law records and sample distributions, over a byte buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "kernel/record_io.h"
#include "persistence/text_codec.h"

namespace marvolt {

class ByteWriter final : public RecordWriter {
  public:
    ByteWriter(std::vector<uint8_t>& out, TextCodec& codec) : out_(out), codec_(codec) {}

    void Tag(const char* tag) override;
    void U8(uint8_t v) override { out_.push_back(v); }
    void I32(int32_t v) override { U32(static_cast<uint32_t>(v)); }
    void U32(uint32_t v) override;
    void F32(float v) override;
    void ShortText(const std::string& utf8) override;
    void LongText(const std::string& utf8) override;
    void Law(const LawRecord& law) override;
    void Distribution(const CFDistribution& d) override;
    void Distribution(const CIDistribution& d) override;
    void CannotStore() override { faithful_ = false; }

    // False once something could not be stored as it is.
    bool faithful() const { return faithful_; }

  private:
    std::vector<uint8_t>& out_;
    TextCodec& codec_;
    std::string text_;
    bool faithful_ = true;
};

class ByteReader final : public RecordReader {
  public:
    ByteReader(const uint8_t* data, size_t size, TextCodec& codec)
        : at_(data), end_(data + size), codec_(codec) {}

    size_t Remaining() const override { return static_cast<size_t>(end_ - at_); }
    bool Skip(size_t n) override;
    bool Expect(const char* tag) override;
    bool Optional(const char* tag) override;
    bool U8(uint8_t& v) override;
    bool I32(int32_t& v) override;
    bool U32(uint32_t& v) override;
    bool F32(float& v) override;
    bool ShortText(std::string& utf8) override;
    bool LongText(std::string& utf8) override;
    bool Law(LawRecord& law) override;
    bool Distribution(CFDistribution& d) override;
    bool Distribution(CIDistribution& d) override;

    size_t Offset(const uint8_t* start) const { return static_cast<size_t>(at_ - start); }

  private:
    bool Text(size_t n, std::string& utf8);

    const uint8_t* at_;
    const uint8_t* end_;
    TextCodec& codec_;
};

}  // namespace marvolt
