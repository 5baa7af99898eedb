// SHA-256 of a file's bytes, so a result names the very model file it came from.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace marvolt {

class Sha256 {
  public:
    Sha256();
    void Add(const uint8_t* data, size_t size);
    // The digest of everything added; the object is spent afterwards.
    std::array<uint8_t, 32> Finish();

  private:
    void Block(const uint8_t* p);
    std::array<uint32_t, 8> h_;
    std::array<uint8_t, 64> buffer_{};
    size_t buffered_ = 0;
    uint64_t length_ = 0;  // bytes added
};

// Lower-case hexadecimal, 64 digits.
std::string Sha256Hex(const uint8_t* data, size_t size);

}  // namespace marvolt
