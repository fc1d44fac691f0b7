#include "key_hash.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace corvane::keys {
namespace {

struct DigestFree {
    void operator()(EVP_MD* digest) const noexcept { EVP_MD_free(digest); }
};
struct ContextFree {
    void operator()(EVP_MD_CTX* context) const noexcept { EVP_MD_CTX_free(context); }
};

// Fetched once: an implicit fetch on every call takes a lock shared by all threads.
const EVP_MD* Sha256() {
    static const std::unique_ptr<EVP_MD, DigestFree> digest(EVP_MD_fetch(nullptr, "SHA256", nullptr));
    return digest.get();
}

}  // namespace

KeyHash HashKey(std::string_view key) {
    thread_local const std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    KeyHash hash;
    unsigned int size = 0;
    if (Sha256() == nullptr || context == nullptr || EVP_DigestInit_ex2(context.get(), Sha256(), nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), key.data(), key.size()) != 1 ||
        EVP_DigestFinal_ex(context.get(), hash.data(), &size) != 1 || size != hash.size()) {
        // Only a broken libcrypto gets here; carrying on would match keys wrongly.
        throw std::runtime_error("SHA-256 unavailable");
    }
    return hash;
}

}  // namespace corvane::keys
