#include "persistence/text_codec.h"

#include <cerrno>

namespace marvolt {

namespace {

constexpr const char* kFileCodePage = "CP1251";

// Converts as much as possible; answers false at the first unconvertible input.
bool Convert(iconv_t cd, const char*& in, size_t& inLeft, std::string& out) {
    char buffer[512];
    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        char* src = const_cast<char*>(in);
        const size_t r = iconv(cd, &src, &inLeft, &dst, &dstLeft);
        in = src;
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG)
            return false;
    }
    return true;
}

}  // namespace

TextCodec::TextCodec()
    : toFile_(iconv_open(kFileCodePage, "UTF-8")), fromFile_(iconv_open("UTF-8", kFileCodePage)) {}

TextCodec::~TextCodec() {
    if (toFile_ != reinterpret_cast<iconv_t>(-1))
        iconv_close(toFile_);
    if (fromFile_ != reinterpret_cast<iconv_t>(-1))
        iconv_close(fromFile_);
}

bool TextCodec::Encode(const std::string& utf8, std::string& out) {
    out.clear();
    if (toFile_ == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv(toFile_, nullptr, nullptr, nullptr, nullptr);
    const char* in = utf8.data();
    size_t left = utf8.size();
    return Convert(toFile_, in, left, out);
}

std::string TextCodec::EncodeReplacing(const std::string& utf8) {
    std::string out;
    if (toFile_ == reinterpret_cast<iconv_t>(-1))
        return std::string(utf8.size(), '?');
    iconv(toFile_, nullptr, nullptr, nullptr, nullptr);
    const char* in = utf8.data();
    size_t left = utf8.size();
    while (!Convert(toFile_, in, left, out) && left > 0) {
        out += '?';
        // Past the whole character: its lead byte and any continuation bytes.
        size_t skip = 1;
        while (skip < left && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80)
            ++skip;
        in += skip;
        left -= skip;
        iconv(toFile_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

void TextCodec::Decode(const char* data, size_t size, std::string& out) {
    out.clear();
    if (fromFile_ == reinterpret_cast<iconv_t>(-1)) {
        out.assign(size, '?');
        return;
    }
    iconv(fromFile_, nullptr, nullptr, nullptr, nullptr);
    while (!Convert(fromFile_, data, size, out) && size > 0) {
        out += "\xEF\xBF\xBD";
        ++data;
        --size;
    }
}

}  // namespace marvolt
