// Table search over the OS's record-table services, and the in-place
// trimming and padding of fixed-width text fields.
#include "qzlibex.h"

namespace {

size_t Length(const char* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

bool Same(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

bool Equal(const char* a, const char* b) {
    size_t n = Length(a);
    return n == Length(b) && Same(a, b, n);
}

bool Contains(const char* text, const char* part) {
    size_t n = Length(text), m = Length(part);
    if (m > n) return false;
    for (size_t i = 0; i + m <= n; ++i)
        if (Same(text + i, part, m)) return true;
    return false;
}

bool Matches(const char* field, char condition, const char* contect, int fn) {
    if (condition == '#') return !Equal(field, contect);
    if (condition != '=') return false;
    size_t n = Length(field), m = Length(contect);
    switch (fn) {
        case 0:
            return Equal(field, contect);
        case 1:
            return Contains(field, contect);
        case 2:
            return m <= n && Same(field, contect, m);
        case 3:
            return m <= n && Same(field + n - m, contect, m);
        default:
            return false;
    }
}

}  // namespace

int _Locate(uint8 FieldName, char condition, char* Contect, int32 RecStart, int32 EndRec, int fn) {
    int32 current = (int32)_Recno();
    int32 count = (int32)_Reccount();
    if (RecStart <= 0 || RecStart > count) return 0;
    if (!Contect) return 0;
    // The end of the range is kept inside the table: a search never walks
    // past the last record or before the first.
    if (EndRec > count) EndRec = count;
    if (EndRec < 1) EndRec = 1;
    int step = RecStart <= EndRec ? 1 : -1;
    _Go(RecStart);
    for (int32 rec = RecStart;; rec += step) {
        char field[256];
        for (size_t i = 0; i < sizeof field; ++i) field[i] = 0;
        _ReadField(FieldName, field);
        field[sizeof field - 1] = '\0';
        if (Matches(field, condition, Contect, fn)) return 1;
        if (rec == EndRec) break;
        _Skip(step);
    }
    _Go(current);
    return 0;
}

void rightspace(char* str, uint16 len) {
    for (size_t i = Length(str); i < len; ++i) str[i] = ' ';
}

char* _ltrim(char* dest) {
    size_t start = 0;
    while (dest[start] == ' ') ++start;
    if (start > 0) {
        size_t i = 0;
        while ((dest[i] = dest[start + i]) != '\0') ++i;
    }
    return dest;
}

char* _rtrim(char* dest) {
    size_t n = Length(dest);
    while (n > 1 && dest[n - 1] == ' ') --n;
    dest[n] = '\0';
    return dest;
}

char* _trim(char* dest) {
    _ltrim(dest);
    return _rtrim(dest);
}

void _leftspace(char* str, uint16 len, char zf) {
    size_t n = Length(str);
    if (n <= len) {
        size_t shift = len - n;
        for (size_t i = n; i-- > 0;) str[shift + i] = str[i];
        for (size_t i = 0; i < shift; ++i) str[i] = zf;
        return;
    }
    for (size_t i = 0; i < n - len; ++i) str[i] = zf;
    _trim(str);
}
