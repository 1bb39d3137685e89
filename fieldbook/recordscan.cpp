// Reading station data back from a section record file.
#include "recordscan.h"

#include <string.h>

#include "codec.h"
#include "utils.h"

namespace {

const char kStationTag[] = "<测站";

bool IsStationLine(const char* line) {
    return strncmp(line, kStationTag, strlen(kStationTag)) == 0;
}

}  // namespace

int RecordLineChain(const char* line, short* value) {
    if (!line) return 0;
    bool station = IsStationLine(line);
    char t = (line[0] == '<' && !station) ? '"' : ' ';
    const char* p = strrchr(line, t);
    if (!p) {
        if (line[0] == '<') return 0;  // a closing line
        p = line + strlen(line);       // an event's content line
    }
    if (station) p -= 3;
    if (p - line < 5) return 0;
    int v;
    if (qz_sscanf(p - 5, "%4x", &v) != 1) return 0;
    *value = (short)v;
    return 1;
}

int FindStationData(int* file, long n, char* data, unsigned size, short* key) {
    if (!file || !data || size == 0 || !key) return 0;
    static char word[kSystemBufSize];
    data[0] = '\0';
    *key = 0;
    short last = 0;
    int found = 0;
    while (readline(SystemBuf, file, '\n', kSystemBufSize) > 0) {
        if (IsStationLine(SystemBuf)) {
            long number;
            if (qz_sscanf(SystemBuf, "<测站 编号=\"%ld%*[^>]>%s ", &number, word) == 2 &&
                number == n) {
                size_t len = strlen(word);
                found = len < size;
                if (found)
                    memcpy(data, word, len + 1);
                else
                    data[0] = '\0';
                *key = last;
            }
        }
        RecordLineChain(SystemBuf, &last);
    }
    return found && data[0];
}

int ReadStationText(const char* path, long n, char* text, unsigned size) {
    if (!text || size == 0) return 0;
    int* file = OpenFile(path, "r+", "");
    if (!file) return 0;
    static char data[kSystemBufSize];
    short key = 0;
    int found = FindStationData(file, n, data, sizeof data, &key);
    qz_fclose(file);
    if (!found || !UnEncyptStr(data, n, &key) || strlen(data) >= size) {
        text[0] = '\0';
        return 0;
    }
    memcpy(text, data, strlen(data) + 1);
    return 1;
}
