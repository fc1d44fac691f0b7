#include "key_hash.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace corvane::keys {

KeyHash HashKey(std::string_view key) {
    KeyHash hash;
    unsigned int size = 0;
    if (EVP_Digest(key.data(), key.size(), hash.data(), &size, EVP_sha256(), nullptr) != 1 ||
        size != hash.size()) {
        // Only a broken libcrypto gets here; carrying on would match keys wrongly.
        throw std::runtime_error("SHA-256 unavailable");
    }
    return hash;
}

}  // namespace corvane::keys
