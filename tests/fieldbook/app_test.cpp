// The field book's screens on the simulated terminal, driven by key scripts:
// the start, the main and information menus, the project dialogue with and
// without templates, the instrument and staff forms, the section file viewer.
#include <gtest/gtest.h>
#include <string.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"
#include "htmain.h"
#include "secfileview.h"

namespace {

const char kDecl[] = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n";

// A project block with the given name, unit and instrument type.
std::string Block(const std::string& name, const std::string& unit, const std::string& type) {
    return "<项目 名称=\"" + name + "\" 作业单位=\"" + unit +
           "\" 等级=\"国标二等\" 观测方式=\"往返测\" 观测员=\"甲\" 记录员=\"乙\" 加密数据=\"\" >\n"
           "<标尺 标尺1编号=\"11\" 标尺2编号=\"22\" 标尺1常数=\"4687\" 标尺2常数=\"4787\" "
           "最小分划=\"0.5\" />\n<仪器 类型=\"" +
           type +
           "\" 编号=\"7\" 检查2C=\"检查\" 加常数=\"0.4\" 读数精度=\"0.1mm\" 读数类型=\"输入读数\" "
           "/>\n"
           "</项目>\n";
}

class App : public ::testing::Test {
  protected:
    sim::Harness h;

    void Put(const std::string& name, const std::string& content) {
        std::ofstream out(h.Root() + "/" + name, std::ios::binary | std::ios::trunc);
        out << content;
    }
    std::string Slurp(const std::string& name) {
        std::ifstream in(h.Root() + "/" + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool IsDir(const std::string& name) {
        struct stat st;
        return stat((h.Root() + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
};

std::string Dump(const sim::Run& run) {
    std::string all;
    for (size_t i = 0; i < run.screens.size(); ++i)
        all += "-- wait " + std::to_string(i) + "\n" + run.screens[i].Render();
    return all + "-- final\n" + run.final.Render();
}

// The text without the blanks and frame lines around it.
std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" |+-");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" |+-");
    return s.substr(a, b - a + 1);
}

// The numbered items of a menu screen, without their numbers.
std::vector<std::string> Items(const sim::Screen& s) {
    std::vector<std::string> items;
    for (int row = 1; row <= s.text.rows; ++row) {
        std::string line = Trim(s.Line(row));
        if (line.size() > 2 && line[0] >= '1' && line[0] <= '9' && line[1] == '.')
            items.push_back(Trim(line.substr(2)));
    }
    return items;
}

// Non-zero when some row of the screen holds `text`.
bool Shows(const sim::Screen& s, const std::string& text) {
    for (int row = 1; row <= s.text.rows; ++row)
        if (s.Line(row).find(text) != std::string::npos) return true;
    return false;
}

// Index of the first screen showing `text`, or -1.
int FirstShowing(const sim::Run& run, const std::string& text) {
    for (size_t i = 0; i < run.screens.size(); ++i)
        if (Shows(run.screens[i], text)) return (int)i;
    return -1;
}

typedef std::vector<std::string> Texts;

// Keys of the whole dialogue after the name: unit, group, instrument (the
// values it starts with), staff (manual entry: four boxes), the closing
// message.
const char kAcceptAll[] =
    "Enter Enter Enter Enter Enter Enter Enter Enter Enter Enter Enter Enter Enter";

}  // namespace

TEST_F(App, FirstStartOnAnEmptyTerminal) {
    sim::Run run = h.Play("Enter 6", [] { return htmain(); });
    ASSERT_EQ(run.screens.size(), 2u) << Dump(run);
    EXPECT_TRUE(Shows(run.screens[0], "水准测量记簿软件"));
    EXPECT_TRUE(Shows(run.screens[0], "国标二等半分划"));
    EXPECT_TRUE(Shows(run.screens[0], "版本2.01"));
    EXPECT_EQ(Trim(run.screens[0].Line(10)), "按任意键继续");
    EXPECT_EQ(Items(run.screens[1]),
              (Texts{"项目设置", "测段观测", "信息查看", "版本信息", "查询时间", "退出程序"}));
    EXPECT_TRUE(IsDir("dataszd"));
    EXPECT_TRUE(IsDir("szdbak"));
    EXPECT_FALSE(run.exhausted);
}

TEST_F(App, InformationMenuFollowsTheGrade) {
    sim::Run run = h.Play("Enter 3 Esc 6", [] { return htmain(); });
    ASSERT_GE(run.screens.size(), 3u) << Dump(run);
    EXPECT_EQ(Items(run.screens[2]), (Texts{"测段查看", "返回菜单"}));
    // Esc leaves the information menu; the main menu starts on its item.
    EXPECT_EQ(run.screens[3].Inverse(4).find('#'), run.screens[3].Line(4).find('3'));

    Put("lastprj.xml", kDecl + Block("P1", "单位", "Ni002"));
    run = h.Play("Enter 3 Esc 7", [] { return htmain(); });
    ASSERT_GE(run.screens.size(), 3u) << Dump(run);
    EXPECT_EQ(Items(run.screens[1]), (Texts{"项目设置", "测段观测", "信息查看", "版本信息",
                                            "查询时间", "i角检测", "退出程序"}));
    EXPECT_EQ(Items(run.screens[2]),
              (Texts{"测段查看", "项目信息", "仪器信息", "标尺信息", "限差信息", "返回菜单"}));
}

TEST_F(App, InformationViewsShowTheLastProject) {
    Put("lastprj.xml", kDecl + Block("P1", "单位", "Ni002"));
    LevelProject project;
    LevelSection section(&project);
    sim::Run run = h.Play("2 Esc 3 Esc 4 Esc 5 Esc Esc", [&] {
        project.LoadLastProject();
        InfoView(section);
        return 0;
    });
    EXPECT_FALSE(run.exhausted) << Dump(run);
    int views[] = {FirstShowing(run, "项目名称:P1"), FirstShowing(run, "读数类型:输入读数"),
                   FirstShowing(run, "标尺分划:0.5mm"), FirstShowing(run, "名称=国标二等")};
    for (int v : views) EXPECT_GE(v, 0) << Dump(run);
}

TEST_F(App, SectionObservationAsksForAProjectFirst) {
    sim::Run run = h.Play("Enter 2 Esc 6", [] { return htmain(); });
    EXPECT_GE(FirstShowing(run, "必须进行项目设置"), 0) << Dump(run);
    EXPECT_FALSE(run.exhausted);

    Put("lastprj.xml", kDecl + Block("P1", "单位", "Ni002"));
    run = h.Play("Enter 2 Enter 7", [] { return htmain(); });
    EXPECT_EQ(FirstShowing(run, "必须进行项目设置"), -1) << Dump(run);
    EXPECT_GE(FirstShowing(run, "尚未提供"), 0) << Dump(run);
}

// A new project named A, from the main menu to the closing message; then a
// restart shows it.
TEST_F(App, NewProjectWithoutTemplatesStartsFromTheLastProject) {
    struct Case {
        const char* what;
        bool lastProject;
        bool templates;
        const char* unit;  // the value the unit form starts with
    } cases[] = {
        {"no Project.xml", true, false, "旧单位"},
        {"templates X and Y and the last project", true, true, "旧单位"},
        {"templates X and Y, no last project", false, true, "单位Y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        remove((h.Root() + "/lastprj.xml").c_str());
        remove((h.Root() + "/Project.xml").c_str());
        if (c.lastProject) Put("lastprj.xml", kDecl + Block("旧项目", "旧单位", "Ni007"));
        if (c.templates)
            Put("Project.xml",
                kDecl + Block("x", "单位X", "Ni002") + Block("y", "单位Y", "Ni002A"));
        sim::Run run = h.Play(
            std::string("Enter 1 1 Back Back Back Back Back Back \"a\" ") + kAcceptAll + " 7",
            [] { return htmain(); });
        EXPECT_FALSE(run.exhausted) << Dump(run);
        int unitForm = FirstShowing(run, "测量单位");
        ASSERT_GE(unitForm, 0) << Dump(run);
        EXPECT_TRUE(Shows(run.screens[unitForm], std::string("测量单位") + c.unit)) << Dump(run);
        EXPECT_GE(FirstShowing(run, "项目设置完成"), 0) << Dump(run);
        std::string saved = Slurp("lastprj.xml");
        EXPECT_EQ(saved.find(std::string(kDecl) + "<项目 名称=\"a\" 作业单位=\"" + c.unit +
                             "\" 等级=\"国标二等\" 观测方式=\"往返测\" "),
                  0u)
            << saved;

        // A restart starts with it.
        LevelProject restarted;
        EXPECT_EQ(restarted.LoadLastProject(), 1);
        EXPECT_STREQ(restarted.name, "a");
        EXPECT_STREQ(restarted.unit, c.unit);
        EXPECT_STREQ(restarted.observer, "甲");
        EXPECT_STREQ(restarted.instrument.readType, "输入读数");
        EXPECT_EQ(restarted.staff.division, 0.5);
    }
}

TEST_F(App, TypingATemplateNameLoadsItWithoutTheForms) {
    Put("lastprj.xml", kDecl + Block("旧项目", "旧单位", "Ni007"));
    Put("Project.xml", kDecl + Block("x", "单位X", "Ni002") + Block("y", "单位Y", "Ni002A"));
    LevelProject project;
    sim::Run run = h.Play("\"x\" Enter Enter", [&] { return project.Config(); });
    EXPECT_EQ(run.result, 1) << Dump(run);
    EXPECT_GE(FirstShowing(run, "找到预定义同名项目"), 0) << Dump(run);
    EXPECT_EQ(FirstShowing(run, "测量单位"), -1);
    EXPECT_STREQ(project.name, "x");
    EXPECT_STREQ(project.unit, "单位X");
    EXPECT_STREQ(project.instrument.type, "Ni002");
    EXPECT_EQ(project.level, LevelSecond);
    EXPECT_STREQ(project.limit.name, "国标二等");
    // Kept as the last project, so that it is the project after a restart.
    EXPECT_NE(Slurp("lastprj.xml").find("名称=\"x\" 作业单位=\"单位X\""), std::string::npos);
}

TEST_F(App, TheSpaceKeyOffersTheTemplates) {
    Put("Project.xml", kDecl + Block("x", "单位X", "Ni002") + Block("y", "单位Y", "Ni002A"));
    LevelProject project;
    sim::Run run = h.Play("Space 2 Enter Enter", [&] { return project.Config(); });
    ASSERT_GE(run.screens.size(), 2u);
    EXPECT_TRUE(Shows(run.screens[1], "选择项目模板")) << Dump(run);
    EXPECT_TRUE(Shows(run.screens[1], "1.x")) << Dump(run);
    EXPECT_TRUE(Shows(run.screens[1], "2.y")) << Dump(run);
    EXPECT_EQ(run.result, 1) << Dump(run);
    EXPECT_STREQ(project.unit, "单位Y");
}

// The arrow keys in the name box step through the templates without showing
// the menu; the chosen name outlives the template menu.
TEST_F(App, ArrowKeysInTheNameBoxStepThroughTheTemplates) {
    Put("Project.xml", kDecl + Block("x", "单位X", "Ni002") + Block("y", "单位Y", "Ni002A"));
    struct Case {
        const char* keys;
        const char* name;
        const char* unit;
    } cases[] = {
        {"Right Enter Enter", "x", "单位X"},
        {"Right Right Enter Enter", "y", "单位Y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        LevelProject project;
        sim::Run run = h.Play(c.keys, [&] { return project.Config(); });
        EXPECT_EQ(run.result, 1) << Dump(run);
        EXPECT_GE(FirstShowing(run, "找到预定义同名项目"), 0) << Dump(run);
        EXPECT_STREQ(project.name, c.name);
        EXPECT_STREQ(project.unit, c.unit);
    }
}

// The group, instrument and staff forms of the configuration menu rewrite
// "lastprj.xml" even when they are left: the instrument form sets its reading
// type and precision before it is shown, and the file keeps up with them.
TEST_F(App, ConfigurationMenuKeepsTheLastProjectFileUpToDate) {
    std::string block = Block("P1", "单位", "Ni002");
    block.replace(block.find("0.1mm"), 5, "0.01mm");
    block.replace(block.find("输入读数"), strlen("输入读数"), "电子水准");
    Put("lastprj.xml", kDecl + block);
    LevelProject project;
    sim::Run run = h.Play("3 Fn 4 Enter 5", [&] {
        project.LoadLastProject();
        ProjectConfig(project);
        return 0;
    });
    EXPECT_FALSE(run.exhausted) << Dump(run);
    std::string saved = Slurp("lastprj.xml");
    EXPECT_NE(saved.find("读数精度=\"0.1mm\" 读数类型=\"输入读数\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("名称=\"P1\""), std::string::npos) << saved;
}

TEST_F(App, InstrumentTypeFillsThe2CAndConstantBoxes) {
    struct Case {
        const char* what;
        const char* keys;
        const char* type;
        const char* check2C;
        double addConst;
        const char* constText;
    } cases[] = {
        {"Ni002 from the menu", "Space 3 Enter", "Ni002", "检查", 0.40, "0.40"},
        {"Ni002A from the menu", "Space 1 Enter", "Ni002A", "检查", 0.25, "0.25"},
        {"Ni007 from the menu", "Space 2 Enter", "Ni007", "不检查", 0, "0"},
        {"typed in lower case", "\"ni002\" Enter", "ni002", "不检查", 0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LevelInstrument in;
        strcpy(in.readType, "拓普康");
        in.precision = 1;
        sim::Run run =
            h.Play(std::string(c.keys) + " 12 Enter Enter Enter", [&] { return in.Config(); });
        ASSERT_GE(run.screens.size(), 2u);
        int afterType = c.keys[0] == 'S' ? 2 : (int)strlen(c.type);
        const sim::Screen& s = run.screens[afterType + 1];
        EXPECT_EQ(Trim(s.Line(4)), std::string("检查2C值") + c.check2C) << Dump(run);
        EXPECT_EQ(Trim(s.Line(5)), std::string("视距加常数") + c.constText) << Dump(run);
        EXPECT_EQ(run.result, 1) << Dump(run);
        EXPECT_STREQ(in.type, c.type);
        EXPECT_STREQ(in.number, "12");
        EXPECT_STREQ(in.check2C, c.check2C);
        EXPECT_EQ(in.isCheck2C, c.check2C[0] == "检"[0] && c.check2C[1] == "检"[1]);
        EXPECT_EQ(in.addConst, c.addConst);
        EXPECT_STREQ(in.readType, "输入读数");
        EXPECT_EQ(in.precision, 0.1);
        EXPECT_DOUBLE_EQ(in.precisionInv, 10);
        EXPECT_EQ(g_cflag, nullptr);
        EXPECT_EQ(g_jiachangsu, nullptr);
    }
}

TEST_F(App, StaffFormDependsOnTheReadingType) {
    struct Case {
        const char* readType;
        const char* keys;
        Texts labels;
        double division;
        long const1, const2;
    } cases[] = {
        {"输入读数",
         "Back 11 Enter Space 5 Enter Back 22 Enter Space 6 Enter",
         {"标尺1编号", "标尺1常数", "标尺2编号", "标尺2常数"},
         0.5,
         4787,
         4687},
        {"电子水准", "Back 11 Enter Back 22 Enter", {"标尺1编号", "标尺2编号"}, 1.0, 5, 6},
        {"", "Back 11 Enter Back 22 Enter", {"标尺1编号", "标尺2编号"}, 1.0, 5, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.readType);
        LevelProject project;
        strcpy(project.instrument.readType, c.readType);
        project.instrument.readTypeCode = GbkCharCode(c.readType);
        strcpy(project.staff.staff1No, "1");
        strcpy(project.staff.staff2No, "2");
        project.staff.staff1Const = 5;
        project.staff.staff2Const = 6;
        sim::Run run = h.Play(c.keys, [&] { return project.staff.Config(project); });
        Texts labels;
        for (int row = 2; row <= 10; ++row) {
            std::string line = run.screens[0].Line(row);
            if (line.find("标尺") == 0) labels.push_back(line.substr(0, 9));
        }
        EXPECT_EQ(labels, c.labels) << Dump(run);
        EXPECT_EQ(run.result, 1) << Dump(run);
        EXPECT_EQ(project.staff.division, c.division);
        EXPECT_STREQ(project.staff.staff1No, "11");
        EXPECT_STREQ(project.staff.staff2No, "22");
        EXPECT_EQ(project.staff.staff1Const, c.const1);
        EXPECT_EQ(project.staff.staff2Const, c.const2);
    }
}

TEST(LevelLimitView, ShowsOneAttributePerLine) {
    LevelLimit l;
    l.SetLevel(LevelSecond, 0.5, GbkCharCode("输入读数"));
    char text[2048];
    ASSERT_NE(l.ViewText(text, sizeof text), nullptr);
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 21u) << text;
    EXPECT_EQ(lines.front(), "名称=国标二等");
    EXPECT_EQ(lines[1], "最小视线高度=300mm");
    EXPECT_EQ(lines.back(), "视距读取=上下丝");
    EXPECT_EQ(std::string(text).find('"'), std::string::npos);
}

TEST_F(App, SectionFileViewerListsAndPagesTheRecordFiles) {
    sim::Run run = h.Play("Enter", [] { return SecFileView(); });
    EXPECT_EQ(run.result, 0);
    EXPECT_GE(FirstShowing(run, "没有测段文件"), 0) << Dump(run);

    mkdir((h.Root() + "/dataszd").c_str(), 0777);
    std::string body;
    for (int i = 1; i <= 60; ++i) body += "<测站 序号=\"" + std::to_string(i) + "\" />\n";
    Put("dataszd/AB123456.szd", body);
    Put("dataszd/notes.txt", "x");
    run = h.Play("1 Esc Esc", [] { return SecFileView(); });
    EXPECT_EQ(run.result, 1);
    ASSERT_GE(run.screens.size(), 2u);
    EXPECT_EQ(Items(run.screens[0]), (Texts{"AB123456.szd"})) << Dump(run);
    EXPECT_TRUE(Shows(run.screens[1], "<测站")) << Dump(run);
    EXPECT_TRUE(Shows(run.screens[1], "序号=\"1\"")) << Dump(run);
}

TEST(ReadTextPart, KeepsTwoByteCharactersWholeAndReadsEverything) {
    sim::Harness h;
    std::string text;
    for (int i = 0; i < 300; ++i) text += "测";
    text += "\nend\n";
    {
        std::ofstream out(h.Root() + "/t.txt", std::ios::binary);
        out << text;
    }
    std::string back;
    h.Play("", [&] {
        int* f = OpenFile("t.txt", "r", "");
        char part[33];
        int n;
        while ((n = ReadTextPart(f, part, sizeof part)) > 0) {
            EXPECT_LE(n, 32);
            EXPECT_EQ(n % 2 == 1 && part[n - 1] != '\n', false) << n;
            back += part;
        }
        qz_fclose(f);
        return 0;
    });
    EXPECT_EQ(back, text);
}
