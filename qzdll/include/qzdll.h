// Exports of the PC communication library (libqzdll.so / qzdll.dll).
//
// Every export has an unmangled name and the standard calling convention of
// the platform. Results: the raw port functions return what is documented
// with each; the operations return 0 on success or a negative code.
#pragma once

#include <stdint.h>

#include "pc_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// Port and baud rate for callers to keep; the library never reads them.
// Initially port 1 and baud 115200.
struct QzPortConfig {
    int32_t port;
    int32_t baud;
};
QZ_EXPORT extern struct QzPortConfig g_PortConfig;

// Opens the link to the terminal: the USB link when a packet-protocol or
// framed-protocol terminal is on the USB bus (result 0), else serial COM
// port `port` - or the port of a terminal found through its serial driver -
// at 9600 baud 8N1 whatever `baud` says (result: the port number). -1 when
// nothing could be opened.
QZ_EXPORT int QZ_STDCALL OpenPort(int port, int baud);
// Closes what OpenPort opened; returns the link mode (0 USB, > 0 the serial
// port number, -1 never opened).
QZ_EXPORT int QZ_STDCALL ClosePort(void);
// Copies received bytes into `buffer`, which must hold 4097 bytes. Serial:
// the bytes waiting (at most 4096), NUL-terminated. USB: the bytes of the
// latest read (not consumed: they come back until the next read). Returns
// the count, 0 or less when there is nothing.
QZ_EXPORT int QZ_STDCALL ReadPort(char* buffer);
// Writes `length` bytes. Serial: returns the bytes written at once (0 when
// the write is still pending or failed). USB: 0 when sent, else an error code.
QZ_EXPORT int QZ_STDCALL WritePort(const void* data, int length);
// COM port number of a packet-protocol terminal attached through its serial
// driver, else `defaultPort`.
QZ_EXPORT int QZ_STDCALL SearchCom(int defaultPort);

#ifdef __cplusplus
}
#endif
