// The items of records as plain bytes, to compare what two models would store.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kernel/random_stat.h"
#include "kernel/record_io.h"

namespace marvolt {

// Writes the stored items as plain bytes, texts as they are, and of a sample
// distribution only its settings: a fingerprint to compare, never to read.
class FingerprintWriter final : public RecordWriter {
  public:
    explicit FingerprintWriter(std::vector<uint8_t>& out) : out_(out) {}

    void Tag(const char* tag) override { Bytes(tag, 4); }
    void U8(uint8_t v) override { out_.push_back(v); }
    void I32(int32_t v) override { Bytes(&v, sizeof v); }
    void U32(uint32_t v) override { Bytes(&v, sizeof v); }
    void F32(float v) override { Bytes(&v, sizeof v); }
    void ShortText(const std::string& utf8) override { Text(utf8); }
    void LongText(const std::string& utf8) override { Text(utf8); }
    void Law(const LawRecord& law) override {
        U8(law.lawKind);
        F32(law.param1);
        F32(law.param2);
    }
    void Distribution(const CFDistribution& d) override {
        F32(d.lowerBound);
        F32(d.upperBound);
        U8(d.binCount);
    }
    void Distribution(const CIDistribution& d) override {
        I32(d.lowerBound);
        I32(d.upperBound);
        U8(d.binCount);
    }
    void CannotStore() override {}

  private:
    void Bytes(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        out_.insert(out_.end(), p, p + n);
    }
    void Text(const std::string& utf8) {
        const uint64_t n = utf8.size();
        Bytes(&n, sizeof n);
        Bytes(utf8.data(), utf8.size());
    }

    std::vector<uint8_t>& out_;
};

}  // namespace marvolt
