// Mapping of terminal paths onto the flash root folder on the host.
//
// The simulated terminal and the simulated link firmware both keep the
// terminal's flash in one host folder, the flash root. Terminal paths use '\'
// or '/' as separators; "/FLASH/" (any case), a leading separator or none at
// all all mean the root. A path can never leave the root: ".." components and
// NUL-free tricks such as absolute host paths are refused, not normalised.
#pragma once

#include <string>

namespace flashpath {

// Default flash root: "flash" in the current directory.
extern const char kDefaultRoot[];

// Resolves `terminal_path` below `root`. Returns false (and leaves *host_path
// unchanged) when the path is null, tries to leave the root or is too long.
// The root itself resolves to `root`.
bool Resolve(const std::string& root, const char* terminal_path, std::string* host_path);

// Creates the root folder (and its parents) when missing. Returns false with
// a reason in *error when it cannot be created or is not a writable folder.
bool EnsureRoot(const std::string& root, std::string* error);

}  // namespace flashpath
