// Run-time loading of shared libraries (LoadLibrary / GetProcAddress).
#pragma once

#include <string>

namespace pc {

class Library {
  public:
    Library() = default;
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Loads `path` (a file name is searched in the usual places). False on
    // failure, with the reason in error().
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    // Address of the exported name, or nullptr.
    void* Symbol(const char* name) const;
    const std::string& error() const { return error_; }

  private:
    void* handle_ = nullptr;
    std::string error_;
};

// File name of a library called `base` on this platform ("libBASE.so").
std::string LibraryFileName(const std::string& base);

}  // namespace pc
