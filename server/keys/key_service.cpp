// Stub: replaced by the SQLite-backed store.
#include "key_service.h"

namespace corvane::keys {

std::unique_ptr<KeyService> KeyService::Open(const KeyServiceOptions&, std::string* error) {
    if (error) *error = "key store not built yet";
    return nullptr;
}

bool IsWellFormedKey(std::string_view) { return false; }

}  // namespace corvane::keys
