// The progress face as a model: geometry, texts and the display rules.
#include <gtest/gtest.h>

#include "face.h"

namespace {

TEST(Face, PathsLongerThanThirtyAreShortened) {
    struct {
        const char* in;
        const char* shown;
    } cases[] = {
        {"C:\\DATA\\SURVEY\\2013\\LINE01\\STATION0001.DBF", "C:\\DATA\\SURVEY\\2013\\...1.DBF"},
        {"C:\\DATA\\SURVEY\\2013\\LINE01.DBF", "C:\\DATA\\SURVEY\\2013\\LINE01.DBF"},  // 30
        {"C:\\DATA\\SURVEY\\2013\\LINE012.DBF", "C:\\DATA\\SURVEY\\2013\\...2.DBF"},   // 31
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, qz::ShortenPath(c.in)) << c.in;

    qz::ProgressFace f;
    f.Build(0, "HC");
    f.ShowNames(cases[0].in, "/FLASH/A.DBF", true);
    EXPECT_EQ(cases[0].shown, f.Text(qz::ProgressFace::kPcName));
    f.ShowNames(cases[0].in, "/FLASH/A.DBF", false);  // the framed dialog's way
    EXPECT_EQ(cases[0].in, f.Text(qz::ProgressFace::kPcName));
}

TEST(Face, PercentRule) {
    struct {
        uint32_t done, total;
        int percent;
    } cases[] = {{0, 0, 100},         {0, 100, 1},
                 {50, 100, 51},       {99, 100, 100},
                 {100, 100, 100},     {200, 100, 100},
                 {1, 3, 34},          {4088, 8176, 51},
                 {0, 4000000000u, 1}, {3999999999u, 4000000000u, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(c.percent, qz::ProgressPercent(c.done, c.total)) << c.done << "/" << c.total;
}

TEST(Face, TransferFaceLayoutAndTexts) {
    qz::ProgressFace f;
    f.Build(0, "HC");
    EXPECT_EQ("DownLoad (PC->HC)", f.title());
    EXPECT_EQ((1024 - 420) / 2, f.x());
    EXPECT_EQ((768 - 160) / 2, f.y());
    EXPECT_EQ(340, f.width());
    EXPECT_EQ(160, f.height());
    ASSERT_EQ(12u, f.controls().size());
    const qz::Control& bar = f.controls()[qz::ProgressFace::kProgressBar];
    EXPECT_EQ("msctls_progress32", bar.cls);
    EXPECT_EQ(5, bar.x);
    EXPECT_EQ(55, bar.y);
    EXPECT_EQ(320, bar.width);
    EXPECT_EQ(20, bar.height);
    const qz::Control& ver = f.controls()[qz::ProgressFace::kTransferVersion];
    EXPECT_EQ("Ver:HC1.15_150112", ver.text);
    EXPECT_EQ(0x50010002u, ver.style);
    EXPECT_EQ("Perc:", f.Text(qz::ProgressFace::kPercentLabel));
    EXPECT_EQ(302, f.controls()[qz::ProgressFace::kPercentValue].x);

    f.ShowTotal(8176);
    f.ShowProgress(4088, qz::ProgressPercent(4088, 8176));
    EXPECT_EQ("8176 B", f.Text(qz::ProgressFace::kTotalValue));
    EXPECT_EQ("4088 B", f.Text(qz::ProgressFace::kDoneValue));
    EXPECT_EQ("51%", f.Text(qz::ProgressFace::kPercentValue));
    EXPECT_EQ(51, f.controls()[qz::ProgressFace::kProgressBar].position);

    qz::ProgressFace up;
    up.Build(1, "HU");
    EXPECT_EQ("UpLoad (HC->PC)", up.title());
    EXPECT_EQ("Ver:HU1.15_150112", up.Text(qz::ProgressFace::kTransferVersion));
}

TEST(Face, OperationsWithoutFace) {
    for (int type : {2, 4, 5, 6, 7, 8}) {
        qz::ProgressFace f;
        f.Build(type, "HC");
        f.ShowNames("a", "b", true);
        EXPECT_FALSE(f.built()) << type;
        EXPECT_EQ("", f.title()) << type;
    }
}

}  // namespace
