// Shared between the modules of the simulated terminal OS.
#pragma once

#include <string>

#include "simos.h"

namespace simos {
namespace detail {

void LogEvent(const std::string& event);

// Module resets, called by Start.
void ResetFiles();
bool ResetDisplay(const Config& config, std::string* error);

// Registers the routines of each module in the lookup table.
void Register(unsigned group, unsigned index, void* routine);
// Registers a routine that must have exactly the type of its wrapper:
// Impl<decltype(&_Fclose)>(5, 1, &FcloseR).
template <class F>
void Impl(unsigned group, unsigned index, F routine) {
    Register(group, index, (void*)routine);
}
void RegisterFiles();
void RegisterDisplay();
void RegisterTables();

}  // namespace detail
}  // namespace simos
