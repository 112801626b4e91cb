#include "DriverLibrary.h"

#include <dlfcn.h>

DriverLibrary::DriverLibrary(const std::string& directory, std::string name)
    : name_(std::move(name)),
      handle_(dlopen(path(directory, name_).c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) error_ = dlerror();
}

DriverLibrary::~DriverLibrary() {
    close();
}

std::string DriverLibrary::path(const std::string& directory, const std::string& name) {
    return directory + "/" + name + ".so";
}

bool DriverLibrary::isLoaded(const std::string& directory, const std::string& name) {
    void* h = dlopen(path(directory, name).c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h != nullptr) dlclose(h);
    return h != nullptr;
}

void* DriverLibrary::symbol(const std::string& exported) const {
    return handle_ == nullptr ? nullptr : dlsym(handle_, exported.c_str());
}

bool DriverLibrary::bind(zr683_entry_points& out) const {
    out = zr683_entry_points{};
    bool all = opened();
#define ZR_BIND(e)                                                                                 \
    out.e = entry<decltype(out.e)>(#e);                                                            \
    all = all && out.e != nullptr;
    ZR683_ENTRY_POINTS(ZR_BIND)
#undef ZR_BIND
    return all;
}

void DriverLibrary::close() {
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = nullptr;
}
