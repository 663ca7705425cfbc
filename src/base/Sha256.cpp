#include "base/Sha256.h"

#include <openssl/evp.h>

#include <system_error>

namespace lociview {

std::string sha256Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) return {};
    static constexpr char hex[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 0x0f];
    }
    return text;
}

std::future<std::string> sha256HexBeside(std::string_view bytes) {
    try {
        return std::async(std::launch::async, sha256Hex, bytes);
    } catch (const std::system_error&) {
        std::promise<std::string> now;
        now.set_value(sha256Hex(bytes));
        return now.get_future();
    }
}

}  // namespace lociview
