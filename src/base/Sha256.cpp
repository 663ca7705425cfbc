#include "base/Sha256.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <system_error>

namespace lociview {

namespace {

// The one digest, set up once. libcrypto's default start reads the system's
// OpenSSL configuration and registers every cipher and digest it has, which
// takes longer than the checksum of a whole plate; a checksum needs none of it.
const EVP_MD* sha256Digest() {
    static const EVP_MD* const md = [] {
        OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ADD_ALL_CIPHERS |
                                OPENSSL_INIT_NO_ADD_ALL_DIGESTS,
                            nullptr);
        return EVP_MD_fetch(nullptr, "SHA256", nullptr);
    }();
    return md;
}

}  // namespace

std::string sha256Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const EVP_MD* md = sha256Digest();
    if (!md || EVP_Digest(bytes.data(), bytes.size(), digest, &length, md, nullptr) != 1) return {};
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
