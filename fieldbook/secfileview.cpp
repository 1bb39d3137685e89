#include "secfileview.h"

#include <stdio.h>

#include "armiobase.h"
#include "htmenu.h"
#include "levellimit.h"
#include "msgbox.h"
#include <string.h>
#include "utils.h"

namespace {

const char kDataFolder[] = "dataszd";
// One message box takes this much of the file; it pages it itself.
enum { kPartSize = 640, kPathSize = 300 };

// Non-zero for a name ending in ".szd" (any case).
int IsRecordFile(const char* name) {
    size_t n = strlen(name);
    if (n < 5) return 0;
    const char* ext = name + n - 4;
    return ext[0] == '.' && (ext[1] | 0x20) == 's' && (ext[2] | 0x20) == 'z' &&
           (ext[3] | 0x20) == 'd';
}

void ShowFile(const char* fileName) {
    char path[kPathSize];
    snprintf(path, sizeof path, "%s\\%s", kDataFolder, fileName);
    int* file = OpenFile(path, "r", 0);
    if (!file) {
        MsgBox("打开测段文件失败！");
        return;
    }
    static char part[kPartSize];
    int n;
    while ((n = ReadTextPart(file, part, sizeof part)) > 0)
        if (MsgBox(part, MsgBoxInfo, fileName, 0, 0, 0, 0) == 27) break;
    qz_fclose(file);
}

}  // namespace

int ReadTextPart(int* file, char* buf, int size) {
    if (!file || !buf || size < 3) return 0;
    int n = 0;
    while (n < size - 2) {
        int c = fgetc(file);
        if (c < 0) break;
        buf[n++] = (char)c;
        if (c == '\n') {
            if (n > size / 2) break;  // enough text, and a whole line
        } else if (c >= 0x81) {
            // A two-byte character stays whole.
            int c2 = fgetc(file);
            if (c2 < 0) break;
            buf[n++] = (char)c2;
        }
    }
    buf[n] = 0;
    return n;
}

int SecFileView() {
    htMenu menu(10, true);
    menu.SetTitle("选择测段文件");
    _dir* dir = _OpenDir(kDataFolder);
    if (dir) {
        _dirent* entry;
        while ((entry = _ReadDir(dir)) != 0)
            if (IsRecordFile(entry->d_name)) menu.AddItem(entry->d_name);
        _CloseDir(dir);
    }
    if (menu.count == 0) {
        MsgBox("没有测段文件");
        return 0;
    }
    int last = 0;
    for (;;) {
        const char* chosen = menu.Run(1, 1, last, pda.ScreenRows, pda.ScreenCols, false);
        if (!chosen || !chosen[0]) return 1;
        last = GetLastMenuKey();
        char name[256];
        CopyText(name, chosen, sizeof name);
        ShowFile(name);
    }
}
