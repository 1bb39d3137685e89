// hcsim: a simulated terminal at the far end of the PC link.
//
//   hcsim [--root DIR] [--clock "YYYY-MM-DD HH:MM:SS"] [--bus DIR]
//         [--product 4A49|4A48|0666|0668] [--instance NAME]
//         [--serial-number TEXT] [--pty] [--fault LIST]
//
// --root is the flash root served as "/FLASH/" (default "flash"), the same
// folder the field-book simulator records into. --clock sets the terminal's
// clock, which then follows the host clock (default: the host clock). --bus
// is the simulated USB bus folder (default $QZ_USB_BUS or /tmp/qz-usb-UID).
// --pty also serves a pseudo-terminal as a serial terminal. --fault takes a
// comma-separated list of no-answer, wrong-answer, short-read, bad-lengths, slow=MS,
// refuse-delete, refuse-clock, refuse-mkdir, refuse-rmdir, after=N.
// Runs until interrupted.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include <pthread.h>
#include <signal.h>

#include "hcsim.h"

namespace {

bool ParseFaults(const std::string& list, hcsim::Faults* f) {
    std::stringstream ss(list);
    std::string item;
    while (std::getline(ss, item, ',')) {
        if (item == "no-answer")
            f->no_answer = true;
        else if (item == "wrong-answer")
            f->wrong_answer = true;
        else if (item == "short-read")
            f->short_read = true;
        else if (item.rfind("slow=", 0) == 0)
            f->slow_ms = std::atoi(item.c_str() + 5);
        else if (item == "bad-lengths")
            f->bad_lengths = true;
        else if (item == "refuse-delete")
            f->refuse_delete = true;
        else if (item == "refuse-clock")
            f->refuse_set_clock = true;
        else if (item == "refuse-mkdir")
            f->refuse_mkdir = true;
        else if (item == "refuse-rmdir")
            f->refuse_rmdir = true;
        else if (item.rfind("after=", 0) == 0)
            f->after = std::atoi(item.c_str() + 6);
        else
            return false;
    }
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: hcsim [--root DIR] [--clock \"YYYY-MM-DD HH:MM:SS\"] [--bus DIR]\n"
                 "             [--product 4A49|4A48|0666|0668] [--instance NAME]\n"
                 "             [--serial-number TEXT] [--pty] [--fault LIST]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    hcsim::Options o;
    hcsim::Faults faults;
    bool pty = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--pty") {
            pty = true;
        } else if (a == "--root" && (v = value())) {
            o.root = v;
        } else if (a == "--bus" && (v = value())) {
            o.bus = v;
        } else if (a == "--product" && (v = value())) {
            o.product = v;
        } else if (a == "--instance" && (v = value())) {
            o.instance = v;
        } else if (a == "--serial-number" && (v = value())) {
            o.serial_number = v;
        } else if (a == "--clock" && (v = value())) {
            if (!hcsim::ParseClock(v, &o.clock_start)) {
                std::fprintf(stderr, "hcsim: bad clock \"%s\"\n", v);
                return 2;
            }
        } else if (a == "--fault" && (v = value())) {
            if (!ParseFaults(v, &faults)) return Usage();
        } else {
            return Usage();
        }
    }
    // Interrupts are taken with sigwait; blocked before any thread starts so
    // that every thread inherits the mask.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    hcsim::HcSim sim(o);
    std::string error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "hcsim: %s\n", error.c_str());
        return 1;
    }
    sim.firmware()->SetFaults(faults);
    std::printf("hcsim: usb %s\n", sim.interface_path().c_str());
    if (pty) {
        std::string path = sim.StartSerial();
        if (path.empty()) {
            std::fprintf(stderr, "hcsim: cannot open a pseudo-terminal\n");
            return 1;
        }
        std::printf("hcsim: serial %s\n", path.c_str());
    }
    std::fflush(stdout);
    int sig = 0;
    sigwait(&stop_signals, &sig);
    sim.Stop();
    return 0;
}
