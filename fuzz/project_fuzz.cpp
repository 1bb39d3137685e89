// Fuzzes the project-block loader with any file content: "Project.xml" as the
// office might prepare it, read block after block as the template menu and
// the template search do. Every text member must stay terminated within its
// size, the precision must keep its inverse finite, and a block that was read
// must write back and read again to the same texts.
#include <math.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "levelproject.h"
#include "simos.h"

namespace {

void CheckTerminated(const char* text, size_t size) {
    if (strnlen(text, size) >= size) abort();
}

void CheckProject(const LevelProject& p) {
    CheckTerminated(p.name, sizeof p.name);
    CheckTerminated(p.unit, sizeof p.unit);
    CheckTerminated(p.levelName, sizeof p.levelName);
    CheckTerminated(p.lineMode, sizeof p.lineMode);
    CheckTerminated(p.observer, sizeof p.observer);
    CheckTerminated(p.recorder, sizeof p.recorder);
    CheckTerminated(p.staff.staff1No, sizeof p.staff.staff1No);
    CheckTerminated(p.staff.staff2No, sizeof p.staff.staff2No);
    CheckTerminated(p.instrument.type, sizeof p.instrument.type);
    CheckTerminated(p.instrument.number, sizeof p.instrument.number);
    CheckTerminated(p.instrument.check2C, sizeof p.instrument.check2C);
    CheckTerminated(p.instrument.readType, sizeof p.instrument.readType);
    CheckTerminated(p.limit.name, sizeof p.limit.name);
    CheckTerminated(p.limit.readOrder, sizeof p.limit.readOrder);
    CheckTerminated(p.limit.conditionRecord, sizeof p.limit.conditionRecord);
    CheckTerminated(p.limit.conditionFlags, sizeof p.limit.conditionFlags);
    CheckTerminated(p.limit.checkTime, sizeof p.limit.checkTime);
    CheckTerminated(p.limit.backReverse, sizeof p.limit.backReverse);
    CheckTerminated(p.limit.distanceMode, sizeof p.limit.distanceMode);
}

std::string root;

void Start() {
    char tmpl[] = "/tmp/qz_fuzz_project_XXXXXX";
    if (!mkdtemp(tmpl)) abort();
    root = tmpl;
    simos::Config config;
    config.root = root;
    config.clock_frozen = true;
    std::string error;
    if (!simos::Start(config, &error)) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool started = false;
    if (!started) {
        Start();
        started = true;
    }
    FILE* out = fopen((root + "/Project.xml").c_str(), "wb");
    if (!out) abort();
    fwrite(data, 1, size, out);
    fclose(out);

    int* file = OpenFile("Project.xml", "r", "");
    if (!file) abort();
    LevelProject p;
    int blocks = 0;
    while (blocks < 64) {
        int read = p.LoadFromFile(file);
        CheckProject(p);
        if (!read) break;
        ++blocks;
        if (!(p.instrument.precision > 0) || !isfinite(p.instrument.precisionInv)) abort();
        // What was read writes back and reads again to the same texts.
        int* copy = OpenFile("copy.xml", "w+", "");
        if (!copy || !p.SaveToFile(copy, 0)) abort();
        qz_fclose(copy);
        copy = OpenFile("copy.xml", "r", "");
        LevelProject q;
        if (!q.LoadFromFile(copy)) abort();
        qz_fclose(copy);
        if (strcmp(p.name, q.name) != 0 || strcmp(p.recorder, q.recorder) != 0 ||
            strcmp(p.staff.staff2No, q.staff.staff2No) != 0 ||
            strcmp(p.instrument.readType, q.instrument.readType) != 0 || p.level != q.level)
            abort();
    }
    qz_fclose(file);
    return 0;
}
