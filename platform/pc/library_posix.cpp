#include "pc_library.h"

#include <dlfcn.h>

namespace pc {

Library::~Library() { Close(); }

bool Library::Open(const std::string& path) {
    Close();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* e = dlerror();
        error_ = e ? e : "cannot load " + path;
        return false;
    }
    error_.clear();
    return true;
}

void Library::Close() {
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = nullptr;
}

void* Library::Symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

std::string LibraryFileName(const std::string& base) { return "lib" + base + ".so"; }

}  // namespace pc
