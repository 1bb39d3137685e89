// The record-table services of the simulated terminal OS.
//
// A record table is a dBASE III file (".dbf") below the flash root, read and
// written with shapelib. There are kAreas work areas, each with at most one
// open table and its own record pointer; _Select chooses the current one
// (area 1 at start). Fields are numbered from 0 in the order of the file.
//
// Record pointer: 1 to the record count on a record; record count + 1 at the
// end (_Eof). Moving before the first record stops on record 1 with _Bof set.
// Every change is written through to the file at once (record and header),
// so the file on the flash is whole after each service returns.
#include <shapefil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "flashpath.h"
#include "internal.h"
#include "qzlib.h"

namespace simos {
namespace {

const int kAreas = 10;
const size_t kFieldText = 256;  // the callers' field buffers: 255 characters and NUL

struct Area {
    DBFHandle dbf = nullptr;
    std::string path;  // host path of the open table
    int recno = 1;
    bool bof = false;
};

Area areas[kAreas + 1];  // by area number; 0 is never used
int current = 1;

Area& Cur() { return areas[current]; }

int Count(const Area& a) { return a.dbf ? DBFGetRecordCount(a.dbf) : 0; }

bool OnRecord(const Area& a) { return a.dbf && a.recno >= 1 && a.recno <= Count(a); }

bool ValidField(const Area& a, int field) { return a.dbf && field < DBFGetFieldCount(a.dbf); }

void Close(Area& a) {
    if (a.dbf) DBFClose(a.dbf);
    a = Area();
}

void Copy(char* out, const char* text, size_t width) {
    size_t n = 0;
    while (n < width && n < kFieldText - 1 && text[n]) {
        out[n] = text[n];
        ++n;
    }
    out[n] = '\0';
}

char kBlank[] = "";

void Saved(Area& a) { DBFUpdateHeader(a.dbf); }

// The file shapelib opened for `path`: its extension is replaced by ".dbf",
// or ".DBF" when only that one exists.
std::string DbfFile(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    std::string base = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                           ? path.substr(0, dot)
                           : path;
    FILE* f = fopen((base + ".dbf").c_str(), "rb");
    if (f) {
        fclose(f);
        return base + ".dbf";
    }
    return base + ".DBF";
}

int UseR(char* dbffile) {
    Area& a = Cur();
    Close(a);
    if (!dbffile || !dbffile[0]) return 0;
    std::string path;
    if (!flashpath::Resolve(Root(), dbffile, &path)) return 0;
    a.dbf = DBFOpen(path.c_str(), "rb+");
    if (!a.dbf) return 0;
    a.path = DbfFile(path);
    a.recno = 1;
    return current;
}

void SelectR(int dbfno) {
    if (dbfno >= 1 && dbfno <= kAreas) current = dbfno;
}

void Move(Area& a, int target) {
    int count = Count(a);
    a.bof = false;
    if (target < 1) {
        target = 1;
        a.bof = true;
    } else if (target > count) {
        target = count + 1;
    }
    a.recno = target;
}

void GoR(int recno) {
    if (Cur().dbf) Move(Cur(), recno);
}
void SkipR(int n) {
    if (Cur().dbf) Move(Cur(), Cur().recno + n);
}
uint32 RecnoR() { return Cur().dbf ? (uint32)Cur().recno : 0; }
uint32 ReccountR() { return (uint32)Count(Cur()); }
uint8 BofR() { return Cur().dbf && (Cur().bof || Count(Cur()) == 0); }
uint8 EofR() { return !Cur().dbf || Cur().recno > Count(Cur()); }

// The field's text without its padding.
char* ReadFieldR(uint8 field, char* out) {
    if (!out) return out;
    out[0] = '\0';
    Area& a = Cur();
    if (!OnRecord(a) || !ValidField(a, field)) return out;
    const char* text = DBFReadStringAttribute(a.dbf, a.recno - 1, field);
    if (text) Copy(out, text, kFieldText);
    return out;
}

// The field as stored: all of its width, padding included.
char* ReadFieldExR(uint8 field, char* out) {
    if (!out) return out;
    out[0] = '\0';
    Area& a = Cur();
    if (!OnRecord(a) || !ValidField(a, field)) return out;
    const char* record = DBFReadTuple(a.dbf, a.recno - 1);
    if (record) Copy(out, record + a.dbf->panFieldOffset[field], a.dbf->panFieldSize[field]);
    return out;
}

void GetFieldStrR(uint8 field, _Field* info) {
    if (!info) return;
    *info = _Field();
    Area& a = Cur();
    if (!ValidField(a, field)) return;
    info->offset = (uint16)a.dbf->panFieldOffset[field];
    info->len = (uint16)a.dbf->panFieldSize[field];
    info->type = (uint8)DBFGetNativeFieldType(a.dbf, field);
    info->adix = (uint8)a.dbf->panFieldDecimals[field];
}

void ReplaceR(uint8 field, char* text) {
    Area& a = Cur();
    if (!OnRecord(a) || !ValidField(a, field) || !text) return;
    char type = DBFGetNativeFieldType(a.dbf, field);
    if (type == 'N' || type == 'F') {
        // Numbers are stored right-aligned with the field's decimals.
        const char* p = text;
        while (*p == ' ') ++p;
        if (*p)
            DBFWriteDoubleAttribute(a.dbf, a.recno - 1, field, atof(p));
        else
            DBFWriteAttributeDirectly(a.dbf, a.recno - 1, field, kBlank);
    } else {
        // Longer texts are cut to the field's width.
        DBFWriteAttributeDirectly(a.dbf, a.recno - 1, field, text);
    }
    Saved(a);
}

// Appends a blank record and stands on it.
void AppR() {
    Area& a = Cur();
    if (!a.dbf || DBFGetFieldCount(a.dbf) == 0) return;
    int rec = Count(a);
    for (int i = 0; i < DBFGetFieldCount(a.dbf); ++i)
        DBFWriteAttributeDirectly(a.dbf, rec, i, kBlank);
    Saved(a);
    a.recno = rec + 1;
    a.bof = false;
}

void DelR() {
    Area& a = Cur();
    if (!OnRecord(a)) return;
    DBFMarkRecordDeleted(a.dbf, a.recno - 1, 1);
    Saved(a);
}

uint8 DeletedR() {
    Area& a = Cur();
    return OnRecord(a) && DBFIsRecordDeleted(a.dbf, a.recno - 1);
}

// Rewrites the table with the records `keep` accepts: a new file is written
// beside the old one and then renamed over it, so that a cut at any moment
// leaves either the old table or the new one.
template <class Keep>
void Rewrite(Area& a, Keep keep) {
    std::string temp = a.path.substr(0, a.path.size() - 4) + "~rw.dbf";
    DBFHandle out = DBFCloneEmpty(a.dbf, temp.c_str());
    if (!out) {
        detail::LogEvent("table rewrite failed: " + a.path);
        return;
    }
    int n = 0;
    for (int i = 0; i < Count(a); ++i) {
        if (!keep(i)) continue;
        const char* tuple = DBFReadTuple(a.dbf, i);
        if (tuple) DBFWriteTuple(out, n++, (void*)tuple);
    }
    DBFClose(out);
    std::string path = a.path;
    DBFClose(a.dbf);
    a.dbf = nullptr;
    if (rename(temp.c_str(), path.c_str()) != 0) detail::LogEvent("table rewrite failed: " + path);
    remove((temp.substr(0, temp.size() - 4) + ".cpg").c_str());
    a.dbf = DBFOpen(path.c_str(), "rb+");
    if (!a.dbf) a.path.clear();
    a.recno = 1;
    a.bof = false;
}

void PackR() {
    Area& a = Cur();
    if (!a.dbf) return;
    DBFHandle dbf = a.dbf;
    Rewrite(a, [dbf](int i) { return !DBFIsRecordDeleted(dbf, i); });
}

void ZapR() {
    Area& a = Cur();
    if (a.dbf) Rewrite(a, [](int) { return false; });
}

bool Matches(const char* field, char condition, const char* contect, int fn) {
    std::string f = field, c = contect;
    if (condition == '#') return f != c;
    if (condition != '=') return false;
    switch (fn) {
        case 0:
            return f == c;
        case 1:
            return f.find(c) != std::string::npos;
        case 2:
            return f.compare(0, c.size(), c) == 0 && f.size() >= c.size();
        case 3:
            return f.size() >= c.size() && f.compare(f.size() - c.size(), c.size(), c) == 0;
        default:
            return false;
    }
}

// The OS's own search: the same request and answer as qzlib's _Locate.
int LocateExR(uint8 field, char condition, char* contect, int32 start, int32 end, int fn) {
    Area& a = Cur();
    int count = Count(a);
    if (!a.dbf || !contect || start <= 0 || start > count || !ValidField(a, field)) return 0;
    if (end > count) end = count;
    if (end < 1) end = 1;
    int step = start <= end ? 1 : -1;
    for (int rec = start;; rec += step) {
        const char* text = DBFReadStringAttribute(a.dbf, rec - 1, field);
        char buf[kFieldText];
        Copy(buf, text ? text : "", kFieldText);
        if (Matches(buf, condition, contect, fn)) {
            Move(a, rec);
            return 1;
        }
        if (rec == end) break;
    }
    return 0;
}

}  // namespace

namespace detail {

void RegisterTables() {
    // A new start closes every table (writing out what is pending).
    for (Area& a : areas) Close(a);
    current = 1;
    Impl<decltype(&_Select)>(5, 18, &SelectR);
    Impl<decltype(&_Go)>(5, 19, &GoR);
    Impl<decltype(&_Skip)>(5, 20, &SkipR);
    Impl<decltype(&_Use)>(5, 21, &UseR);
    Impl<decltype(&_ReadField)>(5, 22, &ReadFieldR);
    Impl<decltype(&_Recno)>(5, 23, &RecnoR);
    Impl<decltype(&_Reccount)>(5, 24, &ReccountR);
    Impl<decltype(&_Bof)>(5, 25, &BofR);
    Impl<decltype(&_Eof)>(5, 26, &EofR);
    Impl<decltype(&_Replace)>(5, 27, &ReplaceR);
    Impl<decltype(&_App)>(5, 28, &AppR);
    Impl<decltype(&_Del)>(5, 29, &DelR);
    Impl<decltype(&_Deleted)>(5, 30, &DeletedR);
    Impl<decltype(&_Pack)>(5, 31, &PackR);
    Impl<decltype(&_Zap)>(5, 32, &ZapR);
    Impl<decltype(&_ReadFieldEx)>(5, 33, &ReadFieldExR);
    Impl<decltype(&_GetFieldStr)>(5, 34, &GetFieldStrR);
    Impl<decltype(&_LocateEx)>(5, 36, &LocateExR);
}

}  // namespace detail
}  // namespace simos
