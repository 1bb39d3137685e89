// Conventions of the simulated USB bus, shared by the host side (pc_usb.h)
// and the simulated terminal firmware.
//
// The bus is a folder. Every device interface on it is a Unix
// sequenced-packet socket in that folder whose file name is the interface
// name, for example
//   usb#vid_0471&pid_4a49#hcsim01#{a5dcbf10-6530-11d2-901f-00c04fb951ed}
// and whose device-interface path is "\\?\" followed by that name. A
// sequenced-packet socket keeps message boundaries, so one send is one USB
// transfer and one receive reads one transfer (excess bytes of a transfer
// longer than the read are lost, as on a real bulk pipe).
//
// Each connection is one opened handle. Its first message names the pipe:
// "OPEN" for the device as a whole, "OPEN PIPE02" / "OPEN PIPE03" for one
// pipe. Every later message is a transfer.
#pragma once

#include <string>

namespace simbus {

// The interface class every terminal interface carries.
inline constexpr char kInterfaceClass[] = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
inline constexpr char kPathPrefix[] = "\\\\?\\";
inline constexpr char kOpenWord[] = "OPEN";

// The bus folder: $QZ_USB_BUS, else /tmp/qz-usb-<uid>.
std::string BusDir();

// Interface name of a device with vendor and product (4 hex digits each)
// and an instance tag.
std::string InterfaceName(const std::string& vid, const std::string& pid,
                          const std::string& instance);

}  // namespace simbus
