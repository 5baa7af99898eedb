#include "persistence/byte_record.h"

#include <cstring>

namespace marvolt {

// ---- writing ----

void ByteWriter::Tag(const char* tag) {
    out_.insert(out_.end(), tag, tag + 4);
}

void ByteWriter::U32(uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void ByteWriter::F32(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
}

void ByteWriter::ShortText(const std::string& utf8) {
    if (!codec_.Encode(utf8, text_) || text_.size() > 255) {
        CannotStore();
        text_.clear();
    }
    U8(static_cast<uint8_t>(text_.size()));
    out_.insert(out_.end(), text_.begin(), text_.end());
}

void ByteWriter::LongText(const std::string& utf8) {
    if (!codec_.Encode(utf8, text_) || text_.size() > INT32_MAX) {
        CannotStore();
        text_.clear();
    }
    I32(static_cast<int32_t>(text_.size()));
    out_.insert(out_.end(), text_.begin(), text_.end());
}

void ByteWriter::Law(const LawRecord& law) {
    U8(law.lawKind);
    U8(0);
    U8(0);
    U8(0);
    F32(law.param1);
    F32(law.param2);
}

void ByteWriter::Distribution(const CFDistribution& d) {
    F32(d.lowerBound);
    F32(d.upperBound);
    U8(d.binCount);
    U32(d.sampleCount);
    F32(d.binWidth);
    const bool hasCounts = !d.binCounts.empty();
    U8(hasCounts ? 1 : 0);
    if (hasCounts)
        Array(d.binCounts, d.binCount, 0u);
}

void ByteWriter::Distribution(const CIDistribution& d) {
    I32(d.lowerBound);
    I32(d.upperBound);
    U8(d.binCount);
    U32(d.sampleCount);
    I32(d.binWidth);
    const bool hasWeights = !d.binWeights.empty();
    U8(hasWeights ? 1 : 0);
    if (hasWeights)
        Array(d.binWeights, d.binCount, 0.0f);
}

// ---- reading ----

bool ByteReader::Skip(size_t n) {
    if (n > Remaining())
        return false;
    at_ += n;
    return true;
}

bool ByteReader::Expect(const char* tag) {
    if (Remaining() < 4)
        return false;
    const bool match = std::memcmp(at_, tag, 4) == 0;
    at_ += 4;
    return match;
}

bool ByteReader::Optional(const char* tag) {
    if (Remaining() < 4 || std::memcmp(at_, tag, 4) != 0)
        return false;
    at_ += 4;
    return true;
}

bool ByteReader::U8(uint8_t& v) {
    if (Remaining() < 1)
        return false;
    v = *at_++;
    return true;
}

bool ByteReader::U32(uint32_t& v) {
    if (Remaining() < 4)
        return false;
    v = static_cast<uint32_t>(at_[0]) | static_cast<uint32_t>(at_[1]) << 8 |
        static_cast<uint32_t>(at_[2]) << 16 | static_cast<uint32_t>(at_[3]) << 24;
    at_ += 4;
    return true;
}

bool ByteReader::I32(int32_t& v) {
    uint32_t u = 0;
    if (!U32(u))
        return false;
    v = static_cast<int32_t>(u);
    return true;
}

bool ByteReader::F32(float& v) {
    uint32_t bits = 0;
    if (!U32(bits))
        return false;
    std::memcpy(&v, &bits, sizeof v);
    return true;
}

bool ByteReader::Text(size_t n, std::string& utf8) {
    if (n > Remaining())
        return false;
    codec_.Decode(reinterpret_cast<const char*>(at_), n, utf8);
    at_ += n;
    return true;
}

bool ByteReader::ShortText(std::string& utf8) {
    uint8_t n = 0;
    return U8(n) && Text(n, utf8);
}

bool ByteReader::LongText(std::string& utf8) {
    int32_t n = 0;
    return I32(n) && n >= 0 && Text(static_cast<size_t>(n), utf8);
}

bool ByteReader::Law(LawRecord& law) {
    return U8(law.lawKind) && law.lawKind <= kLawNormal && Skip(3) && F32(law.param1) &&
           F32(law.param2);
}

bool ByteReader::Distribution(CFDistribution& d) {
    uint8_t hasCounts = 0;
    if (!F32(d.lowerBound) || !F32(d.upperBound) || !U8(d.binCount) || !U32(d.sampleCount) ||
        !F32(d.binWidth) || !U8(hasCounts)) {
        return false;
    }
    std::vector<uint32_t> counts;
    if (hasCounts != 0 && !Array(counts, d.binCount))
        return false;
    d.SetBins(std::move(counts));
    return true;
}

bool ByteReader::Distribution(CIDistribution& d) {
    uint8_t hasWeights = 0;
    if (!I32(d.lowerBound) || !I32(d.upperBound) || !U8(d.binCount) || !U32(d.sampleCount) ||
        !I32(d.binWidth) || !U8(hasWeights)) {
        return false;
    }
    std::vector<float> weights;
    if (hasWeights != 0 && !Array(weights, d.binCount))
        return false;
    d.SetBins(std::move(weights));
    return true;
}

}  // namespace marvolt
