// The field book's entry and its main menu.
//
// Menus dispatch on the first character (two GBK bytes) of the chosen
// caption, and start again on the item chosen last; when a menu has lost
// items meanwhile and that index is past its end, on the first item.
#pragma once

#include "levelsection.h"

// The application: title screen, the folders "dataszd" and "szdbak", the
// project and the section, then the main menu until "退出程序". Returns 0.
int htmain();

// Title screen; waits for a key. Returns 1.
int logoshow();
// Runs the main menu "水准观测程序" with `lastKey` preselected; returns the
// chosen caption ("" after Esc).
const char* GetMenuItem(LevelSection& section, int lastKey);
// The information menu "信息查看" until it is left.
void InfoView(LevelSection& section);
// The project configuration menu "项目配置" until it is left.
void ProjectConfig(LevelProject& project);
// The observation-time query for today's date, asked again until its form
// is left.
void QueryTime();
