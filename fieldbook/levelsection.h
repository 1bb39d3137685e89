// The field book's working object for a section (测段): created once at
// start-up and reused for one section after another. This build keeps the
// section's state and its persistent members, and answers the main menu:
// observation itself is not available yet.
#pragma once

#include "levelproject.h"

class LevelStation;
class LevelTime;

enum SectionState { SectionNone = 0, SectionReady = 1, SectionObserving = 2 };

class LevelSection {
  public:
    // All members zero (state SectionNone, texts empty); keeps `project`
    // (must outlive the section) and its limits.
    explicit LevelSection(LevelProject* project);
    ~LevelSection();

    // The section menu. Without a configured grade it first offers the
    // project configuration ("必须进行项目设置，..."); then it tells the
    // observer that section observation is not available in this build.
    // Returns 0.
    int ShowSectionMenu();
    // Resumes an unfinished section from the state file. Returns 0 when there
    // is none; this build cannot resume one, says so, and leaves the state
    // file as it is.
    int LoadStatsVar();

    // The state file's name (current directory).
    static const char SystemTempFile[];

    double distDiffSum;
    short checkValue;
    double lastHeight;
    double prevHeight;
    int errorStations;
    int rightErrorStations;
    double rightDistDiffSum;
    double rightDistanceSum;
    double rightLastHeight, rightPrevHeight;
    char backStaffNo[21];
    char frontStaffNo[21];
    char startPoint[41];
    char endPoint[41];
    double startLongitude, startLatitude;
    char filePath[24];
    char backupPath[64];
    double endLongitude, endLatitude;
    char sectionMark[4];
    int eventCount;
    int rollbackCount;
    int riverStation;
    double heightSum;
    double rightHeightSum;
    double distanceSum;
    int interim;
    int state;  // SectionState
    int stationCount;
    int forward;
    int nightMode;
    long backStaffConst;
    long frontStaffConst;

    LevelProject* project;
    LevelLimit* limit;
    LevelStation* station;
    LevelStation* station2;
    LevelTime* timeWindows;

  private:
    LevelSection(const LevelSection&);
    LevelSection& operator=(const LevelSection&);
};

// Tells the observer that a function is not available in this build.
void NotAvailable(const char* what);
