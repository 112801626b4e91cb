// A driver library (ours or the fake) opened with dlopen by its path, and its
// entry points found by name: NAME_Entry for the seven of the contract, or
// any other exported symbol.
#pragma once

#include "zr683.h"

#include <string>

class DriverLibrary {
public:
    // Opens DIRECTORY/NAME.so; NAME is also the prefix of its entry points.
    DriverLibrary(const std::string& directory, std::string name);
    ~DriverLibrary();
    DriverLibrary(const DriverLibrary&) = delete;
    DriverLibrary& operator=(const DriverLibrary&) = delete;

    // Whether DIRECTORY/NAME.so is loaded in this process at all (by anybody).
    static bool isLoaded(const std::string& directory, const std::string& name);
    static std::string path(const std::string& directory, const std::string& name);

    bool opened() const { return handle_ != nullptr; }
    // dlerror's text when opening failed.
    const std::string& error() const { return error_; }
    const std::string& name() const { return name_; }
    // Finds the seven entry points of the contract; true when all are
    // exported (the missing ones are left null).
    bool bind(zr683_entry_points& out) const;

    // The exported symbol, or nullptr.
    void* symbol(const std::string& exported) const;
    // The entry point NAME_entry as the function type F, or nullptr.
    template <class F> F entry(const std::string& entryName) const {
        return reinterpret_cast<F>(symbol(name_ + "_" + entryName));
    }
    // Any exported function as F, or nullptr.
    template <class F> F function(const std::string& exported) const {
        return reinterpret_cast<F>(symbol(exported));
    }
    // Drops this object's hold on the library.
    void close();

private:
    std::string name_;
    void* handle_ = nullptr;
    std::string error_;
};
