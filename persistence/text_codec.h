// Texts are UTF-8 in memory and Windows-1251 in the model file.
#pragma once

#include <iconv.h>

#include <string>

namespace marvolt {

// One conversion in each direction, opened for the length of one save or open.
class TextCodec {
  public:
    TextCodec();
    ~TextCodec();
    TextCodec(const TextCodec&) = delete;
    TextCodec& operator=(const TextCodec&) = delete;

    // False when the text is not valid UTF-8 or has a character the code page lacks.
    bool Encode(const std::string& utf8, std::string& out);
    // For texts that must be written whatever they hold (reports): each
    // character the code page lacks, and each byte that is no UTF-8, becomes "?".
    std::string EncodeReplacing(const std::string& utf8);
    // Every byte has a character except 0x98, which becomes U+FFFD so that a
    // file with one damaged letter still opens; saving such a name again fails.
    void Decode(const char* data, size_t size, std::string& out);

  private:
    iconv_t toFile_;
    iconv_t fromFile_;
};

}  // namespace marvolt
