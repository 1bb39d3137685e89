#include "htform.h"

#include <string.h>

#include "msgbox.h"

htForm::htForm()
    : rows(0), width(0), firstRow(1), col(1), pages(0), count(0), ownedCount(0), title("") {
    for (int i = 0; i < kMaxBoxes; ++i) boxes[i] = ownedBoxes[i] = 0;
}

htForm::~htForm() {
    for (int i = 0; i < ownedCount; ++i) delete ownedBoxes[i];
}

htTextBox* htForm::Add(htTextBox* box) {
    if (!box || count >= kMaxBoxes) return 0;
    boxes[count++] = box;
    return box;
}

htTextBox* htForm::AddFull(int maxLen, const char* initial, const char* label,
                           TextBoxCheckFun check, TextBoxMenuFun menuFunc, TextBoxType type) {
    if (count >= kMaxBoxes) return 0;
    htTextBox* box = new htTextBox(maxLen, initial, label, check, menuFunc, type);
    ownedBoxes[ownedCount++] = box;
    return Add(box);
}

htTextBox* htForm::Add(int maxLen, const char* initial, const char* label) {
    return AddFull(maxLen, initial, label, 0, 0, TextBoxText);
}

htTextBox* htForm::Add(const char* label) {
    if (count >= kMaxBoxes) return 0;
    htTextBox* box = new htTextBox(label);
    ownedBoxes[ownedCount++] = box;
    return Add(box);
}

htTextBox* htForm::GetTextBox(int i) { return i < 0 || i >= count ? 0 : boxes[i]; }

int htForm::BindValue() {
    for (int i = 0; i < count; ++i) boxes[i]->BindValue();
    return 1;
}

int htForm::ClearValue() {
    for (int i = 0; i < count; ++i) boxes[i]->SetValue(0);
    return 1;
}

int htForm::Run(const char* text, int row, int atCol, int nRows, int nWidth, bool saveScreen) {
    if (atCol <= 0) atCol = 1;
    if (row <= 0) row = 1;
    if (nRows <= 0) nRows = pda.ScreenRows - row + 1;
    if (nWidth <= 0) nWidth = pda.ScreenCols - atCol + 1;
    col = (uint8)atCol;
    rows = (uint8)nRows;
    width = (uint8)nWidth;
    if (text) title = text;
    if (count == 0) return -1;

    int right = col + width - 1;
    frame.SetRect(col, row, col, right, rows);
    if (saveScreen) frame.SaveScreen(3);
    titleRect.SetRect(col, row, col, right, rows);
    titleRect.DrawText(title, 3);
    int titleRows = titleRect.row - row + 1;
    if (titleRect.row > row && titleRect.col == titleRect.leftCol && *titleRect.rest == '\0')
        --titleRows;  // a title ending in a line break
    titleRect.SetRect(col, row, col, right, titleRows);
    firstRow = (uint8)(row + titleRows);

    pda.ClearKey();
    CalPos();
    int page = 1;
    while (page <= pages) {
        int r = ShowPage(page);
        if (r == -2) {
            if (saveScreen) frame.LoadScreen();
            return 0;
        }
        if (r == -1) {
            ClearValue();
            page = 1;
        } else if (r == 45) {
            if (page > 1) --page;
        } else {
            ++page;
        }
    }
    BindValue();
    if (saveScreen) frame.LoadScreen();
    return 13;
}

void htForm::CalPos() {
    int r = firstRow, p = 1;
    for (int i = 0; i < count; ++i) {
        htTextBox* box = boxes[i];
        // A box that does not fit starts a new page, unless the page is still
        // empty (it would not fit on the next one either).
        if (box->lines + r > rows + 1 && r > firstRow) {
            r = firstRow;
            ++p;
        }
        box->SetPos(r, col, width);
        box->page = (uint8)p;
        r += box->lines;
    }
    pages = (uint8)p;
}

void htForm::DrawForm() {
    pda.DrawBox(frame.x0, frame.y0 + pda.FontHeight, frame.x1, frame.y1, 0);
    frame.DrawRect(1, 0);
    titleRect.DrawSolidRect(1, 0);
    if ((int)strlen(title) < titleRect.width) {
        titleRect.DrawSingleText(title, 0, AlignCenter);
    } else {
        titleRect.ResetPos();
        titleRect.DrawText(title, 0);
        titleRect.ResetPos();
    }
}

void htForm::DrawPage(int page) {
    for (int i = 0; i < count; ++i)
        if (boxes[i]->page == page) boxes[i]->DrawLabel();
    for (int i = 0; i < count; ++i)
        if (boxes[i]->page == page) boxes[i]->Draw();
    frame.DrawRect(1, 0);
}

void htForm::Redraw(int index, int page) {
    if (index >= 0 && index < count && boxes[index]->page == page) boxes[index]->Draw();
}

int htForm::ShowPage(int page) {
    DrawForm();
    DrawPage(page);
    bool setIme = true;
    int i = 0;
    while (i < count && boxes[i]->page != page) ++i;
    while (i < count) {
        htTextBox* box = boxes[i];
        // Values are stored only when the whole form is done: leaving the
        // form must not have changed any bound variable.
        int r = box->Run(box->row, col, width, 1, false, setIme);
        Redraw(i - 1, page);
        Redraw(i + 1, page);
        Redraw(i, page);
        if (r == 22) {
            r = ShowMenu((TextBoxType)box->type);
            setIme = r != -5;
        }
        bool next = false;
        switch (r) {
            case 18: {
                int j = i - 1;
                while (j >= 0 && boxes[j]->type == TextBoxLabel) --j;
                if (j >= 0) {
                    if (boxes[j]->page < page && page != 1) return 45;
                    i = j;
                }
                break;
            }
            case 19:
                if (!box->Check()) next = true;
                break;
            case 13:
                next = true;
                break;
            case -1:
                if (MsgBox("是否重新输入所有信息？", MsgBoxOkCancel) == 13) return -1;
                break;
            case -2:
                if (MsgBox("是否退出信息输入返回菜单？", MsgBoxOkCancel) == 13) return -2;
                break;
            default:
                break;  // the same box again: Esc does not leave a form
        }
        if (next) {
            ++i;
            while (i < count && boxes[i]->page != page) ++i;
        }
    }
    return 1;
}

int htForm::ShowMenu(TextBoxType type) {
    htMenu menu(8, false);
    menu.SetTitle("功能菜单");
    menu.AddItem(4, "返回输入", "清空当前输入", "帮助信息", "退出输出");
    if (type == TextBoxText) menu.AddItem(4, "123", "abc", "ABC", "拼音");
    menu.Run(3, 3);
    int choice = GetLastMenuKey();
    switch (choice) {
        case 0:
            return -4;
        case 1:
            return -1;
        case 2:
            MsgBox("输入-2返回菜单,-1清空输入信息,功能键显示菜单");
            return -4;
        case 3:
            return -2;
        default:
            pda.SetImeMode((uint8)(choice - 4));
            return -5;
    }
}

int htForm::GetPageNullBox(int page) {
    for (int i = 0; i < count; ++i) {
        htTextBox* box = boxes[i];
        if (box->page == page && box->type != TextBoxLabel && box->value && !box->value[0])
            return i;
    }
    return -1;
}
