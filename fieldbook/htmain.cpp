#include "htmain.h"

#include <stdio.h>

#include "armiobase.h"
#include "htmenu.h"
#include "leveltime.h"
#include "msgbox.h"
#include <string.h>
#include "secfileview.h"
#include "timefmt.h"

namespace {

// Non-zero when the caption begins with the first character of `item`.
int Is(const char* caption, const char* item) {
    return caption && caption[0] && caption[0] == item[0] && caption[1] == item[1];
}

// Runs a full-screen menu with the remembered index, or the first item when
// the menu has lost items since.
const char* RunMenu(htMenu& menu, int lastKey) {
    if (lastKey < 0 || lastKey >= menu.count) lastKey = 0;
    const char* chosen = menu.Run(1, 1, lastKey, pda.ScreenRows, pda.ScreenCols, false);
    return chosen ? chosen : "";
}

}  // namespace

int logoshow() {
    pda.ClrScr();
    pda.PrintAlign(1, "水准测量记簿软件", AlignCenter, 1);
    pda.PrintAlign(2, "国标二等半分划", AlignCenter, 1);
    pda.PrintAlign(3, "版本2.01", AlignCenter, 1);
    char line[64];
    snprintf(line, sizeof line, "机型:%s", pda.GetType());
    pda.PrintAlign(pda.ScreenRows - 3, line, AlignCenter, 1);
    snprintf(line, sizeof line, "序列号:%s", pda.GetSn());
    pda.PrintAlign(pda.ScreenRows - 2, line, AlignCenter, 1);
    snprintf(line, sizeof line, "日期:%s", sz_getformattime("%Y-%m-%d", strTime));
    pda.PrintAlign(pda.ScreenRows - 1, line, AlignCenter, 1);
    pda.PrintAlign(pda.ScreenRows, "按任意键继续", AlignCenter, 1);
    // The last pixel row and column are ScreenHeight - 1 and ScreenWidth - 1.
    pda.DrawRect(0, 0, pda.ScreenWidth - 1, pda.ScreenHeight - 1, 1);
    pda.GetChar();
    pda.ClrScr();
    return 1;
}

const char* GetMenuItem(LevelSection& section, int lastKey) {
    htMenu menu(10, false);
    menu.SetTitle("水准观测程序");
    menu.showTime = 1;
    int none = section.state == SectionNone;
    if (none) menu.AddItem("项目设置");
    menu.AddItem("测段观测");
    menu.AddItem("信息查看");
    menu.AddItem("版本信息");
    menu.AddItem("查询时间");
    if (section.project && section.project->level != 0) menu.AddItem(" i角检测");
    if (none) menu.AddItem("退出程序");
    return RunMenu(menu, lastKey);
}

void InfoView(LevelSection& section) {
    LevelProject& project = *section.project;
    int lastKey = 0;
    for (;;) {
        htMenu menu(10, false);
        menu.SetTitle("信息查看");
        menu.AddItem("测段查看");
        if (project.level != 0) {
            menu.AddItem("项目信息");
            menu.AddItem("仪器信息");
            menu.AddItem("标尺信息");
            menu.AddItem("限差信息");
        }
        menu.AddItem("返回菜单");
        const char* c = RunMenu(menu, lastKey);
        lastKey = GetLastMenuKey();
        if (Is(c, "测段查看"))
            SecFileView();
        else if (Is(c, "项目信息"))
            project.View();
        else if (Is(c, "仪器信息"))
            project.instrument.View();
        else if (Is(c, "标尺信息"))
            project.staff.View();
        else if (Is(c, "限差信息"))
            section.limit->View();
        else
            return;
    }
}

void ProjectConfig(LevelProject& project) {
    int lastKey = 0;
    for (;;) {
        htMenu menu("项目配置", 5, "新建项目", "小组设置", "仪器设置", "标尺设置", "返回菜单");
        const char* c = RunMenu(menu, lastKey);
        lastKey = GetLastMenuKey();
        if (Is(c, "新建项目")) {
            if (project.Config()) return;
        } else if (Is(c, "小组设置")) {
            // Saved whether the form was accepted or left: the staff and
            // instrument forms set some values before they are shown, and
            // the file must hold what the program now works with.
            project.ConfigGroup();
            SaveOrWarn(project);
        } else if (Is(c, "标尺设置")) {
            project.staff.Config(project);
            SaveOrWarn(project);
        } else if (Is(c, "仪器设置")) {
            project.instrument.Config();
            SaveOrWarn(project);
        } else {
            return;
        }
    }
}

void QueryTime() {
    LevelTime time(0, 0, 0, 0, 0);
    qz_sscanf(sz_getformattime("%Y %m %d", strTime), "%d %d %d", &time.year, &time.month,
              &time.day);
    while (time.QueryTime()) {
    }
}

int htmain() {
    logoshow();
    // An existing folder is no error.
    _MkDir("dataszd");
    _MkDir("szdbak");
    LevelProject project;
    LevelSection section(&project);
    if (section.LoadStatsVar()) {
        if (section.state != SectionNone) section.ShowSectionMenu();
    } else {
        project.LoadLastProject();
    }
    int lastKey = 0;
    for (;;) {
        const char* c = GetMenuItem(section, lastKey);
        lastKey = GetLastMenuKey();
        int none = section.state == SectionNone;
        if (Is(c, "项目设置") && none)
            ProjectConfig(project);
        else if (Is(c, "测段观测"))
            section.ShowSectionMenu();
        else if (Is(c, "信息查看"))
            InfoView(section);
        else if (Is(c, "版本信息"))
            logoshow();
        else if (Is(c, "查询时间"))
            QueryTime();
        else if (Is(c, " i角检测") && project.level != 0)
            NotAvailable("i角检测");
        else if (Is(c, "退出程序") && none)
            return 0;
    }
}
