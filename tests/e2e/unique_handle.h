// An owning Win32 kernel handle: closed once, when its owner goes.
#pragma once

#include <windows.h>

#include <memory>

namespace corvane::e2e {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

}  // namespace corvane::e2e
