// Throughput of the packet protocol against the simulated terminal, next to
// a raw ping-pong of 4096-byte packets over the same simulated USB link.
// Prints both rates and their ratio, the library's overhead.
//
//   link_bench [MiB]   (default 8)
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "hcsim.h"
#include "packet.h"
#include "pc_usb.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    size_t mib = argc > 1 ? static_cast<size_t>(std::atoi(argv[1])) : 8;
    if (mib == 0) mib = 8;
    char tmpl[] = "/tmp/qzbench.XXXXXX";
    std::string dir = mkdtemp(tmpl);
    setenv("QZ_USB_BUS", (dir + "/bus").c_str(), 1);

    hcsim::Options o;
    o.root = dir + "/flash";
    hcsim::HcSim sim(o);
    std::string error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "link_bench: %s\n", error.c_str());
        return 1;
    }

    const size_t size = mib << 20;
    std::string pc_file = dir + "/big.bin";
    {
        std::vector<char> data(size);
        for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 131 + (i >> 12));
        std::ofstream(pc_file, std::ios::binary).write(data.data(), data.size());
    }

    // The packet protocol, timers included (100 ms + 500 ms before the first
    // packet of the item).
    auto t0 = std::chrono::steady_clock::now();
    int r = qz::PacketSendFiles({{pc_file, "/FLASH/BIG.BIN"}}, 0);
    double protocol_s = Seconds(t0);
    if (r != 0) {
        std::fprintf(stderr, "link_bench: send failed with %d\n", r);
        return 1;
    }
    const double startup_s = 0.6;
    size_t chunks = size / 4088 + 1;

    // Raw ping-pong: as many 4096-byte round trips as the file took packets.
    std::unique_ptr<pc::UsbHandle> link = pc::UsbHandle::Open(sim.interface_path());
    if (!link) {
        std::fprintf(stderr, "link_bench: cannot open %s\n", sim.interface_path().c_str());
        return 1;
    }
    std::vector<unsigned char> ping(4096, 0), pong(4096);
    ping[0] = 'C';
    ping[2] = 'I';
    ping[3] = 'D';
    auto t1 = std::chrono::steady_clock::now();
    for (size_t i = 0; i < chunks; ++i) {
        if (link->Write(ping.data(), ping.size(), 6000) != 0 ||
            link->Read(pong.data(), pong.size(), 4500).length != 4096) {
            std::fprintf(stderr, "link_bench: ping-pong failed at %zu\n", i);
            return 1;
        }
    }
    double raw_s = Seconds(t1);
    link.reset();
    sim.Stop();

    double mb = static_cast<double>(size) / 1e6;
    double protocol_rate = mb / protocol_s;
    double protocol_rate_no_timers = mb / (protocol_s - startup_s);
    double raw_rate = static_cast<double>(chunks) * 4088 / 1e6 / raw_s;
    std::printf("file %zu MiB, %zu chunk packets\n", mib, chunks);
    std::printf("packet protocol: %.3f s, %.2f MB/s (%.2f MB/s without the 0.6 s start timers)\n",
                protocol_s, protocol_rate, protocol_rate_no_timers);
    std::printf("raw ping-pong:   %.3f s, %.2f MB/s of chunk data, %.0f round trips/s\n", raw_s,
                raw_rate, chunks / raw_s);
    std::printf("ratio raw/protocol: %.2f (%.2f without the start timers)\n",
                raw_rate / protocol_rate, raw_rate / protocol_rate_no_timers);
    std::string cleanup = "rm -rf " + dir;
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
