#include "skydata/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace celes {

namespace {

// One converter per thread and direction: iconv descriptors carry state and must not be shared.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `in`; each unconvertible input unit is skipped (`skip` bytes for an invalid
    // sequence, a whole UTF-8 character otherwise) and `replacement` is written in its place.
    std::string convert(std::string_view in, std::string_view replacement, bool utf8Input) {
        std::string out;
        if (!ok()) return std::string(in);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buf[1024];
        while (srcLeft > 0) {
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, dst - buf);
            if (r != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (an incomplete sequence at the end): replace one character.
            std::size_t skip = 1;
            if (utf8Input) {
                const auto c = static_cast<unsigned char>(*src);
                skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
                if (skip > srcLeft) skip = srcLeft;
                for (std::size_t i = 1; i < skip; ++i)
                    if ((static_cast<unsigned char>(src[i]) & 0xC0) != 0x80) {
                        skip = i;
                        break;
                    }
            }
            src += skip;
            srcLeft -= skip;
            out.append(replacement);
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

  private:
    iconv_t cd_;
};

std::string_view upToNul(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

}  // namespace

std::string cp932ToUtf8(std::string_view bytes) {
    thread_local Converter conv("UTF-8", "CP932");
    return conv.convert(upToNul(bytes), "\xEF\xBF\xBD", false);
}

std::string utf8ToCp932(std::string_view text) {
    thread_local Converter conv("CP932", "UTF-8");
    return conv.convert(upToNul(text), "?", true);
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace celes
