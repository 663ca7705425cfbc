#include "base/Sha256.h"

#include <dlfcn.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <system_error>

namespace lociview {

namespace {

// libcrypto is opened on the first checksum rather than linked: loading it
// takes a millisecond or more, which every start of lociview-cli would pay
// before reading a byte, while the checksum is worked out beside the reading
// and so is its loading. The one digest is set up once, and alone:
// libcrypto's default start reads the system's OpenSSL configuration and
// registers every cipher and digest it has, which takes longer than the
// checksum of a whole plate.
struct Digest {
    decltype(&EVP_Digest) digest = nullptr;
    const EVP_MD* md = nullptr;
};

const Digest& sha256Digest() {
    static const Digest d = [] {
        void* crypto = dlopen("libcrypto.so." OPENSSL_MSTR(OPENSSL_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
        if (!crypto) return Digest{};
        const auto init = reinterpret_cast<decltype(&OPENSSL_init_crypto)>(dlsym(crypto, "OPENSSL_init_crypto"));
        const auto fetch = reinterpret_cast<decltype(&EVP_MD_fetch)>(dlsym(crypto, "EVP_MD_fetch"));
        const auto digest = reinterpret_cast<decltype(&EVP_Digest)>(dlsym(crypto, "EVP_Digest"));
        if (!init || !fetch || !digest) return Digest{};
        init(OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ADD_ALL_CIPHERS | OPENSSL_INIT_NO_ADD_ALL_DIGESTS, nullptr);
        return Digest{digest, fetch(nullptr, "SHA256", nullptr)};
    }();
    return d;
}

}  // namespace

std::string sha256Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const Digest& sha256 = sha256Digest();
    if (!sha256.md || sha256.digest(bytes.data(), bytes.size(), digest, &length, sha256.md, nullptr) != 1) return {};
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
