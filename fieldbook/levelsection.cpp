#include "levelsection.h"

#include <stdio.h>

#include "msgbox.h"
#include <string.h>

const char LevelSection::SystemTempFile[] = "gb2dBN.tmp";

LevelSection::LevelSection(LevelProject* p) {
    distDiffSum = 0;
    checkValue = 0;
    lastHeight = prevHeight = 0;
    errorStations = rightErrorStations = 0;
    rightDistDiffSum = rightDistanceSum = 0;
    rightLastHeight = rightPrevHeight = 0;
    backStaffNo[0] = frontStaffNo[0] = startPoint[0] = endPoint[0] = 0;
    startLongitude = startLatitude = 0;
    filePath[0] = backupPath[0] = 0;
    endLongitude = endLatitude = 0;
    sectionMark[0] = 0;
    eventCount = rollbackCount = riverStation = 0;
    heightSum = rightHeightSum = distanceSum = 0;
    interim = 0;
    state = SectionNone;
    stationCount = forward = nightMode = 0;
    backStaffConst = frontStaffConst = 0;
    project = p;
    limit = p ? &p->limit : 0;
    station = station2 = 0;
    timeWindows = 0;
}

LevelSection::~LevelSection() {
    // The station and time-window objects are made by the observation,
    // which this build does not have; nothing was allocated.
}

void NotAvailable(const char* what) {
    char text[96];
    snprintf(text, sizeof text, "%s功能在此版本中尚未提供", what);
    MsgBox(text);
}

int LevelSection::ShowSectionMenu() {
    if (project && project->level == 0) {
        if (MsgBox("必须进行项目设置，是否直接进入项目设置界面？", MsgBoxQuestion) != 13) return 0;
        project->name[0] = 0;
        if (!project->Config()) return 0;
    }
    NotAvailable("测段观测");
    return 0;
}

int LevelSection::LoadStatsVar() {
    if (!FileExists(SystemTempFile)) return 0;
    MsgBox("发现未完成测段，此版本不能继续测段观测");
    return 0;
}
