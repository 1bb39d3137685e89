// render_widgets: draws a menu, a form and a message box of the field book's
// look on the simulated 160 x 160 terminal and writes each as a PNG.
//
//   render_widgets OUTDIR [SCALE]
//
// Each widget runs with a short key script; the picture is taken at its
// first key wait, the remaining keys close it.
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "armiobase.h"
#include "htform.h"
#include "keyscript.h"
#include "msgbox.h"
#include "simos.h"

namespace {

std::string g_out;
int g_scale = 3;

// Runs `show` with the keys of `script` and writes the screen at the first
// key wait to OUTDIR/name.
bool Render(const std::string& name, const char* script, const std::function<void()>& show) {
    std::vector<uint32_t> keys;
    std::string error;
    if (!keyscript::Parse(script, &keys, &error)) {
        fprintf(stderr, "render_widgets: %s: %s\n", name.c_str(), error.c_str());
        return false;
    }
    bool taken = false, ok = true;
    std::string path = g_out + "/" + name;
    simos::ClearKeys();
    simos::PushKeys(keys);
    simos::SetWaitHook([&] {
        if (taken) return;
        taken = true;
        if (!simos::WritePng(path, g_scale, &error)) {
            fprintf(stderr, "render_widgets: %s\n", error.c_str());
            ok = false;
        }
    });
    pda.ClrScr();
    show();
    simos::SetWaitHook(nullptr);
    if (ok && taken) printf("%s\n", path.c_str());
    return ok && taken;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: render_widgets OUTDIR [SCALE]\n");
        return 2;
    }
    g_out = argv[1];
    if (argc > 2) g_scale = atoi(argv[2]) > 0 ? atoi(argv[2]) : 3;
    std::error_code ec;
    std::filesystem::create_directories(g_out, ec);
    std::string root = (std::filesystem::temp_directory_path() / "render_widgets_flash").string();
    std::filesystem::create_directories(root, ec);

    simos::Config config;
    config.root = root;
    config.cols = 20;
    config.rows = 10;
    config.clock_frozen = true;
    simos::ParseClock("2026-06-01 08:30:00", &config.clock_start);
    std::string error;
    if (!simos::Start(config, &error)) {
        fprintf(stderr, "render_widgets: %s\n", error.c_str());
        return 1;
    }
    pda.SetScreen(160, 160);
    // Unexpected waits end with Esc instead of stopping the program.
    simos::SetKeyProvider([] { return (uint32_t)0x43; });

    bool ok = true;
    ok &= Render("widget-menu.png", "Down Esc", [] {
        htMenu menu("水准记簿", 7, "测段观测", "项目设置", "限差设置", "标尺与仪器", "观测时间",
                    "观测条件", "i角检测");
        menu.Run(1, 1);
    });
    ok &= Render("widget-form.png", "Fn 4 Enter", [] {
        htForm form;
        form.Add(12, "北京二等", "项目名称:");
        form.Add(8, "张三", "观测员:");
        form.Add(8, "李四", "记簿员:");
        form.Add(6, "22.5", "温度:")->BindType(TextBoxNumber);
        htTextBox* weather = form.AddFull(4, "晴", "天气:", nullptr, nullptr, TextBoxSelect);
        weather->BindMenu("天气", 3, "晴", "阴", "雨");
        form.Run("项目设置");
    });
    ok &= Render("widget-msgbox.png", "Esc",
                 [] { MsgBox("是否退出信息输入返回菜单？", MsgBoxOkCancel); });
    std::filesystem::remove_all(root, ec);
    return ok ? 0 : 1;
}
