#include "DriverLibrary.h"

#include "zr683.h"

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

bool DriverLibrary::hasEntryPoints() const {
#define ZR_EXPORTED(e) &&symbol(name_ + "_" #e) != nullptr
    return opened() ZR683_ENTRY_POINTS(ZR_EXPORTED);
#undef ZR_EXPORTED
}

void DriverLibrary::close() {
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = nullptr;
}
