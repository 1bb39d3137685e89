// A section record file written with the real encoders and qz_fprintf, read
// back station by station the way the section reads it: every station
// decodes, across events with and without content, and a corrupted byte is
// detected.
#include <stdio.h>
#include <string.h>

#include <map>
#include <string>

#include "codec.h"
#include "htxml.h"
#include "recordscan.h"
#include "sim_terminal.h"
#include "timefmt.h"
#include "utils.h"

namespace {

const char kPath[] = "dataszd\\T0303A01.szd";

class RecordFile : public SimTerminal {
  protected:
    void SetUp() override {
        SimTerminal::SetUp();
        ASSERT_EQ(_MkDir("dataszd"), 0);
        checkValue = 9876 % 17024;
    }

    int* Open() { return OpenFile(kPath, "a+", ""); }

    void SaveHead() {
        int* f = Open();
        ASSERT_NE(f, nullptr);
        qz_fprintf(f, "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n");
        qz_fprintf(f,
                   "<测段 标志=\"%3s\" 起测点=\"%s\" 前尺号码=\"%s\" 后尺号码=\"%s\" "
                   "数据加密方法=\"kvexencypt4\" 加密校验=\"%d\" 记录程序=\"kvexlevel09gb 2.1\" "
                   "记录器编号=\"%s\" 记录器型号=\"%s\" ",
                   "GO0", "BM1", "A1", "B2", checkValue, "QZ2026000001", "QZ-1000");
        qz_fprintf(
            f, "加密数据=\"%s\" ",
            base64_encode(FormatString("%s %s %s %s %s %s %s %lg %lg %lg %lg", "GO0", "BM1", "BM2",
                                       "A1", "B2", "QZ2026000001", "QZ-1000", 0.0, 0.0, 0.0, 0.0),
                          &checkValue));
        qz_fprintf(f, ">\n");
        // Project block: settings records, each with its check text.
        qz_fprintf(f, "<项目 名称=\"演示\" 单位=\"一队\" 等级=\"国标二等\" 加密数据=\"%s\" />\n",
                   base64_encode("演示 一队 国标二等", &checkValue));
        qz_fprintf(f, "<水准尺 快尺号码=\"A1\" 慢尺号码=\"B2\" 加密数据=\"%s\" />\n",
                   base64_encode("A1 B2", &checkValue));
        qz_fclose(f);
    }

    void SaveMsg(const char* mark, double p1, const char* content) {
        int* f = Open();
        ASSERT_NE(f, nullptr);
        char time[20];
        sz_getformattime("%Y%m%d%H%M", time);
        qz_fprintf(f, "<观测事件 标记=\"%-3s\" 时间=\"%s\" 测站=\"%d\"", mark, time, stationCount);
        qz_fprintf(f, " 呈像=\"%s\" 天气=\"%s\"", "清晰", "晴");
        if (p1 != 9876543210.0) qz_fprintf(f, " 参数1=\"%lg\"", p1);
        qz_fprintf(f, " 加密数据=\"%s\" ",
                   base64_encode(FormatString("%s,%s,%d,%c,%c,%lg,%lg", mark, time, stationCount,
                                              "清晰"[0], "晴"[0], p1, 9876543210.0),
                                 &checkValue));
        if (!content)
            qz_fprintf(f, " />\n");
        else
            qz_fprintf(f, " >\n%s\n</观测事件>\n", base64_encode(content, &checkValue));
        qz_fclose(f);
    }

    void SaveStation(int number, const char* readings, const char* attrs) {
        stationCount = number;
        char time[20];
        std::string text = std::string(readings) + " " + sz_getformattime("%H%M%S", time);
        if (number % 5 == 1) text += FormatString(" %.2lf", 23.5);
        expected[number] = text;
        int* f = Open();
        ASSERT_NE(f, nullptr);
        qz_fprintf(f, "<测站 编号=\"%d\"%s>%s </测站>\n", number, attrs,
                   EncyptStr(text.c_str(), number, &checkValue));
        qz_fclose(f);
    }

    void SaveEnd() {
        int* f = Open();
        ASSERT_NE(f, nullptr);
        const char* data = base64_encode(FormatString("%lf %.5lf %.2lf %d %d %d %d", 0.5, 0.12345,
                                                      JiouCut(0.815, 2), 0, 1, 4, stationCount),
                                         &checkValue);
        qz_fprintf(f,
                   "<测段小结 结束点=\"%s\" 视距累差=\"%lf\" 高差=\"%.5lf\" 距离=\"%.2lfkm\" "
                   "错站数=\"%d\" 退站数=\"%d\" 事件数=\"%d\" 测站数=\"%d\" 加密数据=\"%s\" />\n",
                   "BM2", 0.5, 0.12345, JiouCut(0.815, 2), 0, 1, 4, stationCount, data);
        qz_fprintf(f, "</测段>");
        qz_fclose(f);
    }

    // A whole section: every kind of line between stations.
    void WriteSection() {
        SaveHead();
        SaveMsg("GO0", 9876543210.0, nullptr);
        SaveStation(1, "1234 5234 1400 1068 33.4 1310 6110 1490 1130 36.0", "");
        SaveStation(2, "2234 7034 2400 2068 30.1 1210 5910 1390 1030 30.2", " 补测=\"是\"");
        SaveMsg("C1", 0.00012, "<数据 标志=\"末站\">2234 7034 2400 2068 30.1</数据>");
        SaveStation(3, "3000 7700 3100 2900 20.0 1000 5600 1100 900 20.5", "");
        SaveMsg("B1 ", 9876543210.0,
                "<数据 标志=\"左路线退站\">3 3</数据>\n<数据 标志=\"右路线退站\">4 4</数据>");
        SaveStation(3, "3001 7701 3101 2901 20.1 1001 5601 1101 901 20.6", "");  // counts
        SaveMsg("CD", 9876543210.0, nullptr);
        for (int n = 4; n <= 7; ++n) {
            simos::AdvanceClock(61000);
            SaveStation(
                n, FormatString("%d 5100 1200 1000 25.0 1150 5750 1250 1050 25.5", n * 1000), "");
        }
        SaveEnd();
    }

    short checkValue = 0;
    int stationCount = 0;
    std::map<int, std::string> expected;
};

TEST_F(RecordFile, EveryStationDecodesBackToItsText) {
    WriteSection();
    char text[600];
    for (const auto& [number, want] : expected) {
        ASSERT_EQ(ReadStationText(kPath, number, text, sizeof text), 1) << "station " << number;
        EXPECT_EQ(std::string(text), want) << "station " << number;
    }
    EXPECT_EQ(ReadStationText(kPath, 8, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    // The station carrying the temperature and the one after it.
    EXPECT_EQ(expected[6].substr(expected[6].size() - 6), " 23.50");
    EXPECT_NE(expected[7].substr(expected[7].size() - 6), " 23.50");
    // The fields read back the way the section reads one line's station.
    ASSERT_EQ(ReadStationText(kPath, 1, text, sizeof text), 1);
    long bb, ba, bu, bl, fb, fa, fu, fl;
    double bd, fd;
    EXPECT_EQ(qz_sscanf(text, "%ld%ld%ld%ld%lf%ld%ld%ld%ld%lf", &bb, &ba, &bu, &bl, &bd, &fb, &fa,
                        &fu, &fl, &fd),
              10);
    EXPECT_EQ(bb, 1234);
    EXPECT_EQ(fd, 36.0);
}

TEST_F(RecordFile, LinesAreWhatTheGrammarSays) {
    WriteSection();
    std::string all = Slurp("dataszd/T0303A01.szd");
    EXPECT_EQ(all.rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n", 0), 0u);
    htXml x;
    int* f = OpenFile(kPath, "r", "");
    ASSERT_NE(f, nullptr);
    readline(SystemBuf, f, '\n', kSystemBufSize);
    readline(SystemBuf, f, '\n', kSystemBufSize);
    x.ParseLine(SystemBuf);
    EXPECT_STREQ(x.GetValue("标志", ""), "GO0");
    EXPECT_STREQ(x.GetValue("加密校验", ""), "9876");
    // The check texts decode along the chain from the head's start value.
    short chain = 9876;
    char plain[512];
    EXPECT_GT(base64_decode(x.GetValue("加密数据", ""), plain, sizeof plain, &chain), 0);
    EXPECT_EQ(strncmp(plain, "GO0 BM1 BM2", 11), 0);
    qz_fclose(f);
    EXPECT_NE(all.find("<观测事件 标记=\"CD \""), std::string::npos);
    EXPECT_NE(all.find("<测站 编号=\"2\" 补测=\"是\">"), std::string::npos);
}

TEST_F(RecordFile, ACorruptedByteIsDetected) {
    WriteSection();
    const std::string host = "dataszd/T0303A01.szd";
    const std::string original = Slurp(host);
    // Every byte of station 4's data, its chain digits included.
    size_t line = original.find("<测站 编号=\"4\">");
    ASSERT_NE(line, std::string::npos);
    size_t begin = original.find('>', line) + 1;
    size_t end = original.find(' ', begin);
    char text[600];
    for (size_t at = begin; at < end; ++at) {
        std::string bad = original;
        bad[at] = bad[at] == '7' ? '8' : '7';
        Put(host, bad);
        EXPECT_EQ(ReadStationText(kPath, 4, text, sizeof text), 0) << "byte " << at - begin;
    }
    // The chain digits of an event's content line decode the station after
    // it: damaged, that station is refused, the stations before it are not.
    size_t b1 = original.find(">\n", original.find("标记=\"B1 \"")) + 2;
    size_t digit = original.find('\n', b1) - 3;
    std::string bad = original;
    bad[digit] = bad[digit] == '7' ? '8' : '7';
    Put(host, bad);
    EXPECT_EQ(ReadStationText(kPath, 3, text, sizeof text), 0);  // the later 3 is after B1
    EXPECT_EQ(ReadStationText(kPath, 2, text, sizeof text), 1);
    // The content itself is protected by its own check.
    bad = original;
    bad[b1 + 2] = bad[b1 + 2] == 'A' ? 'B' : 'A';
    std::string contentLine = bad.substr(b1, bad.find('\n', b1) - b1);
    char plain[512];
    EXPECT_EQ(base64_decode(contentLine.c_str(), plain, sizeof plain, nullptr), -1);
    // Nothing else was disturbed by the reads.
    Put(host, original);
    EXPECT_EQ(ReadStationText(kPath, 7, text, sizeof text), 1);
}

TEST(RecordLines, ChainPlaces) {
    short v = -1;
    EXPECT_EQ(RecordLineChain("<测站 编号=\"5\">xxxxABCD1234 </测站>", &v), 1);
    EXPECT_EQ((unsigned short)v, 0xABCD);
    EXPECT_EQ(RecordLineChain("<观测事件 加密数据=\"QUJD0F0Fx\" />", &v), 1);
    EXPECT_EQ((unsigned short)v, 0x0F0F);
    EXPECT_EQ(RecordLineChain("QUJDBEEFx", &v), 1);  // an event's content line
    EXPECT_EQ((unsigned short)v, 0xBEEF);
    v = 7;
    EXPECT_EQ(RecordLineChain("</观测事件>", &v), 0);  // a closing line keeps the chain
    EXPECT_EQ(RecordLineChain("<\"", &v), 0);          // never before the line's start
    EXPECT_EQ(RecordLineChain("<测站 >", &v), 0);
    EXPECT_EQ(v, 7);
}

}  // namespace
