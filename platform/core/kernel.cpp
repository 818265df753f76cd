// The debugger output channel and sleeping.
#include <platform/kernel.h>
#include <platform/testing.h>

#include "core.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

std::function<void(std::string_view)>& DebugSink() {
    static auto* sink = new std::function<void(std::string_view)>;
    return *sink;
}

} // namespace

void zv::core::WriteStandardError(std::string_view text) {
    const char* data = text.data();
    size_t size = text.size();
    while (size > 0) {
        ssize_t written = write(STDERR_FILENO, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
}

void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (lpOutputString == nullptr)
        return;
    if (DebugSink()) {
        DebugSink()(lpOutputString);
        return;
    }
    // One write per call keeps each line whole when other output interleaves.
    zv::core::WriteStandardError(lpOutputString);
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

namespace zv::testing {

void SetDebugSink(std::function<void(std::string_view)> sink) {
    DebugSink() = std::move(sink);
}

} // namespace zv::testing
