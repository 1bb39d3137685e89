// The transport: device detection on the simulated bus, the USB link's
// reader thread, the raw port exports on USB and on a pseudo-terminal.
#include <dirent.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include "link_fixture.h"
#include "pc_library.h"
#include "pc_serial.h"
#include "pc_window.h"
#include "qzdll.h"
#include "simbus.h"

namespace {

using qztest::WriteFile;

class TransportTest : public qztest::LinkTest {
  protected:
    // Puts a device interface on the bus that nothing serves.
    void Plug(const std::string& name) {
        std::string dir = simbus::BusDir();
        ASSERT_EQ(0, system(("mkdir -p " + dir).c_str()));
        std::string path = dir + "/" + name;
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        ASSERT_LT(path.size(), sizeof a.sun_path);
        std::strcpy(a.sun_path, path.c_str());
        int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        ASSERT_EQ(0, bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a));
        close(fd);
        plugged_.push_back(path);
    }
    void TearDown() override {
        for (const std::string& p : plugged_) unlink(p.c_str());
        LinkTest::TearDown();
    }
    std::vector<std::string> plugged_;
};

TEST_F(TransportTest, DetectDeviceTakesTheFirstMatchingInterface) {
    const std::string guid = simbus::kInterfaceClass;
    Plug("a#root_hub#" + guid);                  // no tags: skipped
    Plug("b#vid_0472&pid_4a49#1#" + guid);       // another vendor
    Plug("c#vid_0471&pid_4a49#u2c#" + guid);     // packet terminal
    Plug("d#vid_0471&pid_0666#usb#" + guid);     // framed terminal, later
    Plug("e#vid_0471&pid_4a48#ignored-suffix");  // not of the interface class
    EXPECT_EQ(qz::DEVICE_U2C, qz::DetectDevice());
    EXPECT_STREQ(
        ("\\\\?\\C#VID_0471&PID_4A49#U2C#" + std::string("{A5DCBF10-6530-11D2-901F-00C04FB951ED}"))
            .c_str(),
        qz::g_UsbLink.device_path);
    EXPECT_NE(std::string::npos, pc::GbkToUtf8(Debug()).find("\nU2C已经找到"));

    unlink(plugged_[2].c_str());
    EXPECT_EQ(qz::DEVICE_USB, qz::DetectDevice());
    EXPECT_NE(std::string::npos, pc::GbkToUtf8(Debug()).find("\nUSB已经找到"));

    unlink(plugged_[3].c_str());
    EXPECT_EQ(qz::DEVICE_NONE, qz::DetectDevice());
}

TEST_F(TransportTest, UsbPortReadsOnePacketPerEnableAndRepeatsIt) {
    StartTerminal();
    EXPECT_EQ(0, OpenPort(3, 9600));  // the USB terminal wins over any port number
    unsigned char req[4096] = {'C', 0, 'I', 'D'};
    EXPECT_EQ(0, WritePort(req, sizeof req));
    qz::EnableRead();
    for (int i = 0; i < 10000 && qz::UsbLinkBusy(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::vector<char> buf(4097, 0);
    ASSERT_EQ(4096, ReadPort(buf.data()));
    EXPECT_EQ('D', buf[0]);
    EXPECT_EQ('I', buf[2]);
    EXPECT_EQ(0, std::memcmp(buf.data() + 8, "HC2015011201", 12));
    std::vector<char> again(4097, 0);
    EXPECT_EQ(4096, ReadPort(again.data()));  // not consumed
    EXPECT_EQ(buf, again);
    EXPECT_EQ(0, ClosePort());
    std::string log = pc::GbkToUtf8(Debug());
    for (const char* t :
         {"\n打开U2C成功", "\n发送完成", "\n使能读取", "\n尝试读取数据", "\n复位等待"})
        EXPECT_NE(std::string::npos, log.find(t)) << t;
}

int ThreadCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

TEST_F(TransportTest, ClosingTheLinkEndsItsReaderThread) {
    StartTerminal();
    int before = ThreadCount();
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(0, qz::OpenUsbLink());
        qz::EnableRead();  // a read under way when the link closes
        qz::CloseUsbLink();
    }
    EXPECT_EQ(before, ThreadCount());
    EXPECT_FALSE(qz::UsbLinkBusy());
}

TEST_F(TransportTest, FramedKindOpensAsTwoPipesWithSmallReads) {
    StartTerminal("0668");
    ASSERT_EQ(0, qz::OpenUsbLink());
    EXPECT_EQ(64, qz::g_UsbLink.read_size);
    EXPECT_NE(qz::g_UsbLink.read_handle.get(), qz::g_UsbLink.write_handle);
    EXPECT_EQ(0, qz::CloseUsbLink());
    EXPECT_NE(std::string::npos, pc::GbkToUtf8(Debug()).find("\n打开USB成功"));
}

TEST_F(TransportTest, UsbWriteWithoutLinkReportsAnError) {
    unsigned char p[4096] = {};
    EXPECT_NE(0, qz::UsbWrite(p, sizeof p));
    EXPECT_NE(std::string::npos, pc::GbkToUtf8(Debug()).find("\n发送错误"));
}

TEST_F(TransportTest, SerialPortOnPseudoTerminal) {
    StartTerminal();
    sim_->Stop();  // off the bus, so OpenPort takes the serial path
    hcsim::Options o;
    o.root = flash_;
    o.instance = "serialonly";
    o.bus = dir_ + "/otherbus";
    hcsim::HcSim serial(o);
    std::string error;
    ASSERT_TRUE(serial.Start(&error)) << error;
    std::string tty = serial.StartSerial();
    ASSERT_FALSE(tty.empty());
    setenv("QZ_COM7", tty.c_str(), 1);

    ASSERT_EQ(7, OpenPort(7, 115200));
    EXPECT_EQ(9600u, qz::g_Com.dcb.BaudRate);  // whatever baud was asked
    // The comm-event thread tells the dialog's window that bytes arrived.
    intptr_t notified = pc::RunModal([](pc::Hwnd h, unsigned msg, uintptr_t w, intptr_t l) {
        if (msg == pc::kMsgInitDialog) {
            qz::g_Com.notify_window = h;
            EXPECT_EQ(5, WritePort("hello", 5));
        }
        if (msg == qz::WM_LINK_DATA) {
            EXPECT_EQ(0, l);
            pc::EndDialog(h, static_cast<intptr_t>(w));
        }
    });
    qz::g_Com.notify_window = 0;
    EXPECT_EQ(7, notified);
    std::string got;
    char buf[4097];
    for (int i = 0; i < 2000 && got.size() < 5; ++i) {
        int n = ReadPort(buf);
        if (n > 0) {
            EXPECT_EQ('\0', buf[n]);
            got.append(buf, n);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    EXPECT_EQ("hello", got);
    EXPECT_EQ(7, ClosePort());
    EXPECT_EQ(0, ReadPort(buf));  // closed
    EXPECT_EQ(0, WritePort("x", 1));

    unsetenv("QZ_COM7");
    setenv("QZ_COM8", (dir_ + "/no-such-tty").c_str(), 1);
    EXPECT_EQ(-1, OpenPort(8, 9600));
    unsetenv("QZ_COM8");
    serial.Stop();
}

TEST(PortNumbers, MapToDevices) {
    struct {
        int port;
        const char* device;
    } cases[] = {{1, "/dev/ttyS0"},
                 {64, "/dev/ttyS63"},
                 {65, "/dev/ttyUSB0"},
                 {130, "/dev/ttyACM1"},
                 {0, ""},
                 {193, ""}};
    for (const auto& c : cases) EXPECT_EQ(c.device, pc::ComDevicePath(c.port)) << c.port;
}

TEST(PortNumbers, SearchComFindsTheTerminalsSerialDevice) {
    char tmpl[] = "/tmp/qzsys.XXXXXX";
    std::string sys = mkdtemp(tmpl);
    std::string dev = sys + "/devices/usb1/1-1";
    ASSERT_EQ(0, system(("mkdir -p " + dev + "/1-1:1.0 " + sys + "/class/tty/ttyS0 " + sys +
                         "/class/tty/ttyACM2")
                            .c_str()));
    WriteFile(dev + "/idVendor", "0471\n");
    WriteFile(dev + "/idProduct", "4a49\n");
    ASSERT_EQ(0, symlink((dev + "/1-1:1.0").c_str(), (sys + "/class/tty/ttyACM2/device").c_str()));
    setenv("QZ_SYSFS", sys.c_str(), 1);
    EXPECT_EQ(131, SearchCom(5));
    setenv("QZ_COM9", "/dev/ttyACM2", 1);
    EXPECT_EQ(9, SearchCom(5));
    unsetenv("QZ_COM9");
    WriteFile(dev + "/idProduct", "4a48\n");
    EXPECT_EQ(5, SearchCom(5));
    unsetenv("QZ_SYSFS");
    EXPECT_EQ(0, system(("rm -rf " + sys).c_str()));
}

TEST(Exports, SharedLibraryExportsUnmangledNames) {
    pc::Library lib;
    ASSERT_TRUE(lib.Open(QZDLL_SO)) << lib.error();
    for (const char* name : {"OpenPort", "ClosePort", "ReadPort", "WritePort", "SearchCom"})
        EXPECT_NE(nullptr, lib.Symbol(name)) << name;
    auto* config = static_cast<QzPortConfig*>(lib.Symbol("g_PortConfig"));
    ASSERT_NE(nullptr, config);
    EXPECT_EQ(1, config->port);
    EXPECT_EQ(115200, config->baud);
    EXPECT_EQ(nullptr, lib.Symbol("DetectDevice"));
}

}  // namespace
