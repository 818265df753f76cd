// Run-time module loading over the dynamic linker, with one table of loaded
// modules for the whole process.
#include <platform/kernel.h>
#include <platform/testing.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct HINSTANCE__ {
    void* native;
    std::string path;
    int references;
};

namespace {

struct ModuleTable {
    HINSTANCE__ executable{dlopen(nullptr, RTLD_NOW), {}, 1};
    std::vector<std::unique_ptr<HINSTANCE__>> loaded;
    std::string searchDir;
    std::function<void(const zv::testing::LoaderEvent&)> observer;
};

// Never destroyed: modules may be freed from other objects' destructors at
// exit.
ModuleTable& Modules() {
    static ModuleTable* table = new ModuleTable;
    return *table;
}

void Notify(zv::testing::LoaderCall call, std::string_view name, bool succeeded) {
    if (Modules().observer)
        Modules().observer({call, std::string(name), succeeded});
}

std::string ExecutableDir() {
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return ".";
    std::string path(buffer, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/'));
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Module names follow the platform's rules (case does not matter, ".dll" is
// implied); the files beside the executable are lower-case ".so" files.
std::string ModuleFile(std::string_view name) {
    if (name.find('/') != std::string_view::npos)
        return std::string(name);
    std::string file(name);
    std::transform(file.begin(), file.end(), file.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (EndsWith(file, ".dll"))
        file.replace(file.size() - 4, 4, ".so");
    else if (file.find('.') == std::string::npos)
        file += ".so";
    const std::string& dir = Modules().searchDir;
    return (dir.empty() ? ExecutableDir() : dir) + "/" + file;
}

HINSTANCE__* FindByNative(void* native) {
    for (auto& module : Modules().loaded)
        if (module->native == native)
            return module.get();
    return nullptr;
}

bool IsModule(HMODULE handle) {
    if (handle == &Modules().executable)
        return true;
    return std::any_of(Modules().loaded.begin(), Modules().loaded.end(),
                       [handle](const auto& module) { return module.get() == handle; });
}

} // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    if (lpLibFileName == nullptr || *lpLibFileName == '\0')
        return nullptr;
    std::string path = ModuleFile(lpLibFileName);
    // Every load holds one reference of the dynamic linker, given back by
    // the matching FreeLibrary, so both counts move together.
    void* native = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    Notify(zv::testing::LoaderCall::Load, path, native != nullptr);
    if (native == nullptr)
        return nullptr;
    if (HINSTANCE__* module = FindByNative(native)) {
        ++module->references;
        return module;
    }
    Modules().loaded.push_back(std::make_unique<HINSTANCE__>(HINSTANCE__{native, path, 1}));
    return Modules().loaded.back().get();
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    // Values below 64K are ordinals, which no module here exports.
    if (reinterpret_cast<uintptr_t>(lpProcName) < 0x10000)
        return nullptr;
    void* symbol = IsModule(hModule) ? dlsym(hModule->native, lpProcName) : nullptr;
    Notify(zv::testing::LoaderCall::Lookup, lpProcName, symbol != nullptr);
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    if (hLibModule == &Modules().executable)
        return TRUE;
    auto& loaded = Modules().loaded;
    auto it = std::find_if(loaded.begin(), loaded.end(),
                           [hLibModule](const auto& module) { return module.get() == hLibModule; });
    if (it == loaded.end())
        return FALSE;
    std::string path = (*it)->path;
    dlclose((*it)->native);
    if (--(*it)->references == 0)
        loaded.erase(it);
    Notify(zv::testing::LoaderCall::Free, path, true);
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (lpModuleName == nullptr)
        return &Modules().executable;
    std::string path = ModuleFile(lpModuleName);
    for (auto& module : Modules().loaded)
        if (module->path == path)
            return module.get();
    return nullptr;
}

namespace zv::testing {

void SetModuleSearchDir(const char* dir) {
    Modules().searchDir = dir ? dir : "";
}

void SetLoaderObserver(std::function<void(const LoaderEvent&)> observer) {
    Modules().observer = std::move(observer);
}

} // namespace zv::testing
