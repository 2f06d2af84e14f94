// Loading plug-in modules at run time, for the example host and the module tests: the one place
// that knows how the operating system loads a module, finds its functions and names the
// program's own folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ModuleLoader {

// A loaded module, unloaded when this object ends (or by Unload).
class LoadedModule {
public:
    LoadedModule() noexcept = default;
    // Loads the module at `file`; IsLoaded says whether it worked and GetError why not.
    explicit LoadedModule(const std::filesystem::path& file);
    ~LoadedModule();
    LoadedModule(LoadedModule&& other) noexcept;
    LoadedModule& operator=(LoadedModule&& other) noexcept;
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool IsLoaded() const noexcept { return handle != nullptr; }
    const std::string& GetError() const noexcept { return error; }

    // The exported function `name`, or null.
    template <typename Function>
    Function FindFunction(const char* name) const {
        return reinterpret_cast<Function>(FindSymbol(name));
    }

    void Unload() noexcept;

private:
    using AnyFunction = void (*)();
    AnyFunction FindSymbol(const char* name) const;

    void* handle = nullptr;
    std::string error;
};

// The file name of the module built from target `name` ("libName.so", "libName.dll").
std::string ModuleFileName(std::string_view name);

// Whether the module at `file` is loaded in this process now, without loading it.
bool IsModuleLoaded(const std::filesystem::path& file);

// How many loaded libraries have a file name that starts with `prefix` (case-insensitively on
// Windows, where file names are).
int CountLoadedLibraries(std::string_view prefix);

// The folder that holds the running program.
std::filesystem::path GetProgramFolder();

}  // namespace ModuleLoader
