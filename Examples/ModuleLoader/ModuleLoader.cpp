#include "ModuleLoader.hpp"

#include <cstdint>
#include <utility>

#include <cstring>
#include <iterator>

#if defined(_WIN32)
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>
#elif defined(__APPLE__)
#include <dlfcn.h>
#include <mach-o/dyld.h>
#else
#include <dlfcn.h>
#include <link.h>
#endif

namespace ModuleLoader {

namespace {

#if defined(_WIN32)
std::string LastErrorText() {
    const DWORD code = ::GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length != 0 ? std::wstring(text, length) : std::wstring();
    ::LocalFree(text);
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
        message.pop_back();
    }
    const std::u8string utf8 = std::filesystem::path(message).u8string();
    return "error " + std::to_string(code) + (utf8.empty() ? "" : ": ") +
           std::string(utf8.begin(), utf8.end());
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           ::CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                  static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}
#endif

}  // namespace

LoadedModule::LoadedModule(const std::filesystem::path& file) {
#if defined(_WIN32)
    handle = ::LoadLibraryW(file.c_str());
    if (handle == nullptr) {
        error = LastErrorText();
    }
#else
    handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = ::dlerror();
        error = text != nullptr ? text : "cannot be loaded";
    }
#endif
}

LoadedModule::~LoadedModule() {
    Unload();
}

LoadedModule::LoadedModule(LoadedModule&& other) noexcept
    : handle(std::exchange(other.handle, nullptr)), error(std::move(other.error)) {}

LoadedModule& LoadedModule::operator=(LoadedModule&& other) noexcept {
    if (this != &other) {
        Unload();
        handle = std::exchange(other.handle, nullptr);
        error = std::move(other.error);
    }
    return *this;
}

void LoadedModule::Unload() noexcept {
    if (handle == nullptr) {
        return;
    }
#if defined(_WIN32)
    ::FreeLibrary(static_cast<HMODULE>(handle));
#else
    ::dlclose(handle);
#endif
    handle = nullptr;
}

LoadedModule::AnyFunction LoadedModule::FindSymbol(const char* name) const {
    if (handle == nullptr) {
        return nullptr;
    }
#if defined(_WIN32)
    return reinterpret_cast<AnyFunction>(::GetProcAddress(static_cast<HMODULE>(handle), name));
#else
    return reinterpret_cast<AnyFunction>(::dlsym(handle, name));
#endif
}

std::string ModuleFileName(std::string_view name) {
    return std::string(MODULE_LOADER_MODULE_PREFIX).append(name).append(MODULE_LOADER_MODULE_SUFFIX);
}

bool IsModuleLoaded(const std::filesystem::path& file) {
#if defined(_WIN32)
    return ::GetModuleHandleW(file.c_str()) != nullptr;
#else
    void* loaded = ::dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    return loaded != nullptr && ::dlclose(loaded) == 0;
#endif
}

int CountLoadedLibraries(std::string_view prefix) {
#if defined(_WIN32)
    HMODULE modules[1024];
    DWORD size = 0;
    if (!::EnumProcessModules(::GetCurrentProcess(), modules, sizeof(modules), &size)) {
        return 0;
    }
    const std::wstring widePrefix =
        std::filesystem::path(std::u8string(prefix.begin(), prefix.end())).wstring();
    int count = 0;
    for (DWORD i = 0; i < size / sizeof(HMODULE) && i < std::size(modules); ++i) {
        wchar_t name[MAX_PATH];
        const DWORD length = ::GetModuleBaseNameW(::GetCurrentProcess(), modules[i], name, MAX_PATH);
        count += length != 0 && StartsWithIgnoringCase(std::wstring_view(name, length), widePrefix);
    }
    return count;
#elif defined(__APPLE__)
    int count = 0;
    for (std::uint32_t i = 0; i < ::_dyld_image_count(); ++i) {
        const char* path = ::_dyld_get_image_name(i);
        const char* slash = path != nullptr ? std::strrchr(path, '/') : nullptr;
        const std::string_view name = slash != nullptr ? slash + 1 : (path != nullptr ? path : "");
        count += name.substr(0, prefix.size()) == prefix;
    }
    return count;
#else
    struct Search {
        std::string_view prefix;
        int count = 0;
    } search{prefix};
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* search = static_cast<Search*>(data);
            const char* slash = std::strrchr(info->dlpi_name, '/');
            const std::string_view name = slash != nullptr ? slash + 1 : info->dlpi_name;
            search->count += name.substr(0, search->prefix.size()) == search->prefix;
            return 0;
        },
        &search);
    return search.count;
#endif
}

std::filesystem::path GetProgramFolder() {
#if defined(_WIN32)
    std::wstring file(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
        if (length == 0) {
            return {};
        }
        if (length < file.size()) {
            file.resize(length);
            return std::filesystem::path(file).parent_path();
        }
        file.resize(file.size() * 2);
    }
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    ::_NSGetExecutablePath(nullptr, &size);
    std::string file(size, '\0');
    if (::_NSGetExecutablePath(file.data(), &size) != 0) {
        return {};
    }
    std::error_code ignored;
    return std::filesystem::weakly_canonical(file.c_str(), ignored).parent_path();
#else
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path();
#endif
}

}  // namespace ModuleLoader
