// The record-table services of the simulated terminal OS.
#include "internal.h"

namespace simos {
namespace detail {

// Until the table services exist, the table entries answer as absent.
void RegisterTables() {}

}  // namespace detail
}  // namespace simos
