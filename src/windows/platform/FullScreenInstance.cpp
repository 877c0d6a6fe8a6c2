// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/platform/FullScreenInstance.h"

namespace lumi::platform {
namespace {

constexpr wchar_t kMutexName[] = L"Local\\Lumiscribe.FullScreen";

}  // namespace

FullScreenInstance FullScreenInstance::claim() {
    UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, kMutexName));
    const bool existed = mutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
    return FullScreenInstance(std::move(mutex), existed);
}

}  // namespace lumi::platform
