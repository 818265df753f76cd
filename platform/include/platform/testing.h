// Hooks for tests: where modules are looked up, what the loader did, where
// the debugger channel goes and who answers message boxes. The program
// itself never calls these.
#pragma once

#include <platform/types.h>
#include <platform/user.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::testing {

// Folder in which LoadLibraryA looks for modules named without a path;
// null or empty: the executable's folder again.
void SetModuleSearchDir(const char* dir);

enum class LoaderCall { Load, Lookup, Free };

struct LoaderEvent {
    LoaderCall call;
    // The module's file for Load and Free, the entry point's name for Lookup.
    std::string name;
    bool succeeded;
};

// Sees every LoadLibraryA, GetProcAddress and FreeLibrary; empty: nobody.
void SetLoaderObserver(std::function<void(const LoaderEvent&)> observer);

// Receives every OutputDebugStringA text instead of standard error; empty:
// standard error again.
void SetDebugSink(std::function<void(std::string_view)> sink);

// Answers every AfxMessageBox instead of the toolkit; empty: the real box.
using MessageBoxPresenter = std::function<int(const char* text, UINT type, UINT helpId)>;
void SetMessageBoxPresenter(MessageBoxPresenter presenter);

// Scoped forms of the hooks above; each restores the default when it goes.

class ModuleSearchDir {
public:
    explicit ModuleSearchDir(const std::string& dir) { SetModuleSearchDir(dir.c_str()); }
    ~ModuleSearchDir() { SetModuleSearchDir(nullptr); }
    ModuleSearchDir(const ModuleSearchDir&) = delete;
    ModuleSearchDir& operator=(const ModuleSearchDir&) = delete;
};

class LoaderLog {
public:
    LoaderLog() {
        SetLoaderObserver([this](const LoaderEvent& e) { events.push_back(e); });
    }
    ~LoaderLog() { SetLoaderObserver(nullptr); }
    LoaderLog(const LoaderLog&) = delete;
    LoaderLog& operator=(const LoaderLog&) = delete;

    // Names of the events of one kind, in call order.
    std::vector<std::string> Names(LoaderCall call) const {
        std::vector<std::string> names;
        for (const auto& e : events)
            if (e.call == call)
                names.push_back(e.name);
        return names;
    }

    std::vector<LoaderEvent> events;
};

class DebugCapture {
public:
    DebugCapture() {
        SetDebugSink([this](std::string_view s) { lines.emplace_back(s); });
    }
    ~DebugCapture() { SetDebugSink(nullptr); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    // One entry per OutputDebugStringA call.
    std::vector<std::string> lines;
};

class MessageBoxRecorder {
public:
    struct Box {
        std::string text;
        UINT type;
        UINT helpId;
    };

    explicit MessageBoxRecorder(int answer = IDOK) {
        SetMessageBoxPresenter([this, answer](const char* text, UINT type, UINT helpId) {
            boxes.push_back({text, type, helpId});
            return answer;
        });
    }
    ~MessageBoxRecorder() { SetMessageBoxPresenter(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<Box> boxes;
};

} // namespace zv::testing
