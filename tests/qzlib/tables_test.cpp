// Record tables of the simulated OS over real dBASE files, and qzlib's table
// search and trimming on top of them.
#include <shapefil.h>
#include <string.h>

#include <string>

#include "qzlibex.h"
#include "simroot.h"

namespace {

enum { kName = 0, kCode = 1, kHeight = 2 };

// Ten points; the codes ending in "ABC" are records 4 and 7.
const char* const kCodes[10] = {"TP1",  "TP2",    "BM",  "BM-ABC", "TP5",
                                "ABCX", "XYZABC", "TP8", "BC",     "TP10"};

class Tables : public SimRoot {
  protected:
    void SetUp() override {
        SimRoot::SetUp();
        DBFHandle dbf = DBFCreate((root_ + "/points.dbf").c_str());
        ASSERT_NE(dbf, nullptr);
        DBFAddField(dbf, "NAME", FTString, 10, 0);
        DBFAddField(dbf, "CODE", FTString, 8, 0);
        DBFAddField(dbf, "HEIGHT", FTDouble, 9, 3);
        for (int i = 0; i < 10; ++i) {
            std::string name = "P" + std::to_string(i + 1);
            DBFWriteStringAttribute(dbf, i, kName, name.c_str());
            DBFWriteStringAttribute(dbf, i, kCode, kCodes[i]);
            DBFWriteDoubleAttribute(dbf, i, kHeight, 100.5 + i);
        }
        DBFClose(dbf);
        ASSERT_EQ(_Use((char*)"points.dbf"), 1);
    }
    std::string Field(int field) {
        char buf[256];
        return _ReadField((uint8)field, buf);
    }
};

TEST_F(Tables, RecordPointerMovesAndStopsAtTheEnds) {
    EXPECT_EQ(_Reccount(), 10u);
    EXPECT_EQ(_Recno(), 1u);
    EXPECT_FALSE(_Bof());
    EXPECT_FALSE(_Eof());
    EXPECT_EQ(Field(kName), "P1");
    _Go(7);
    EXPECT_EQ(Field(kCode), "XYZABC");
    _Skip(-2);
    EXPECT_EQ(_Recno(), 5u);
    _Skip(-10);
    EXPECT_EQ(_Recno(), 1u);
    EXPECT_TRUE(_Bof());
    _Skip(100);
    EXPECT_EQ(_Recno(), 11u);
    EXPECT_TRUE(_Eof());
    EXPECT_EQ(Field(kName), "");  // no record at the end
}

TEST_F(Tables, FieldsReadRawTrimmedAndDescribed) {
    _Go(3);
    char raw[256];
    EXPECT_STREQ(_ReadFieldEx(kName, raw), "P3        ");
    EXPECT_EQ(Field(kHeight), "102.500");
    _Field info;
    _GetFieldStr(kHeight, &info);
    EXPECT_EQ(info.offset, 1 + 10 + 8);
    EXPECT_EQ(info.len, 9);
    EXPECT_EQ(info.type, 'N');
    EXPECT_EQ(info.adix, 3);
    EXPECT_EQ(Field(9), "");  // no such field
}

// The formatter's %z prints a field of the current record, as text or, with a
// precision, as a number.
TEST_F(Tables, FormatterPrintsRecordFields) {
    _Go(3);
    char buf[64];
    EXPECT_EQ(_sprintfEx(buf, "%z|%.1z|%z|%z", kName, kHeight, 0x100 + kCode, 9), 12);
    EXPECT_STREQ(buf, "P3|102.5|BM|");
}

TEST_F(Tables, ChangesReachTheFile) {
    _Go(2);
    _Replace(kName, (char*)"A-VERY-LONG-NAME");
    _Replace(kHeight, (char*)" 7.25");
    _App();
    EXPECT_EQ(_Recno(), 11u);
    _Replace(kCode, (char*)"NEW");
    _Go(5);
    _Del();
    EXPECT_TRUE(_Deleted());

    DBFHandle dbf = DBFOpen((root_ + "/points.dbf").c_str(), "rb");
    ASSERT_NE(dbf, nullptr);
    EXPECT_EQ(DBFGetRecordCount(dbf), 11);
    EXPECT_STREQ(DBFReadStringAttribute(dbf, 1, kName), "A-VERY-LON");
    EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(dbf, 1, kHeight), 7.25);
    EXPECT_STREQ(DBFReadStringAttribute(dbf, 10, kCode), "NEW");
    EXPECT_TRUE(DBFIsRecordDeleted(dbf, 4));
    DBFClose(dbf);

    _Pack();
    EXPECT_EQ(_Reccount(), 10u);
    _Go(5);
    EXPECT_EQ(Field(kName), "P6");
    _Zap();
    EXPECT_EQ(_Reccount(), 0u);
    EXPECT_TRUE(_Eof());
    Restart();  // closes the table
    ASSERT_EQ(_Use((char*)"points.dbf"), 1);
    EXPECT_EQ(_Reccount(), 0u);
}

TEST_F(Tables, WorkAreasKeepTheirOwnTables) {
    _Go(4);
    _Select(2);
    EXPECT_EQ(_Reccount(), 0u);  // nothing open in area 2
    EXPECT_EQ(_Use((char*)"missing.dbf"), 0);
    EXPECT_EQ(_Use((char*)"../escape.dbf"), 0);
    _Select(1);
    EXPECT_EQ(_Recno(), 4u);
}

// _Locate and the OS's own search answer the same requests the same way.
TEST_F(Tables, LocateForwardBackwardAndNotFound) {
    struct Case {
        char condition;
        const char* text;
        int32 start, end;
        int fn;
        int found;     // 0: not found
        uint32 recno;  // where the table stands afterwards
    } cases[] = {
        {'=', "ABC", 1, 10, 3, 1, 4},     // ends with: first match forward
        {'=', "ABC", 10, 1, 3, 1, 7},     // backward from the end
        {'=', "ABC", 5, 10, 1, 1, 6},     // contains
        {'=', "BM", 1, 10, 2, 1, 3},      // begins with
        {'=', "TP8", 1, 10, 0, 1, 8},     // equal
        {'#', "TP1", 1, 10, 0, 1, 2},     // differs
        {'=', "ABCD", 1, 10, 3, 0, 2},    // ends with, longer than some fields
        {'=', "ABC", 8, 10, 3, 0, 2},     // not in range
        {'=', "ABC", 1, 10, 4, 0, 2},     // unknown rule
        {'<', "ABC", 1, 10, 0, 0, 2},     // unknown condition
        {'=', "ABC", 0, 10, 3, 0, 2},     // bad start
        {'=', "ABC", 11, 1, 3, 0, 2},     // start beyond the table
        {'=', "TP10", 1, 500, 0, 1, 10},  // end beyond the table
        {'=', "NONE", 9, 500, 0, 0, 2},
        {'=', "TP1", 9, -5, 0, 1, 1},  // backward past the first record
    };
    for (const Case& c : cases) {
        for (int own = 0; own < 2; ++own) {
            _Go(2);
            int found = own ? _LocateEx(kCode, c.condition, (char*)c.text, c.start, c.end, c.fn)
                            : _Locate(kCode, c.condition, (char*)c.text, c.start, c.end, c.fn);
            EXPECT_EQ(found, c.found)
                << (own ? "_LocateEx " : "_Locate ") << c.text << " from " << c.start;
            EXPECT_EQ(_Recno(), c.recno)
                << (own ? "_LocateEx " : "_Locate ") << c.text << " from " << c.start;
        }
    }
    EXPECT_EQ(_Locate(kCode, '=', nullptr, 1, 10, 0), 0);
}

TEST(Trim, InPlace) {
    struct Case {
        const char* in;
        const char* ltrim;
        const char* rtrim;
        const char* trim;
    } cases[] = {
        {"  ab c  ", "ab c  ", "  ab c", "ab c"},
        {"    ", "", " ", ""},
        {"", "", "", ""},
        {"x", "x", "x", "x"},
        {"\tx ", "\tx ", "\tx", "\tx"},  // only the space character counts
    };
    for (const Case& c : cases) {
        char buf[16];
        strcpy(buf, c.in);
        EXPECT_STREQ(_ltrim(buf), c.ltrim) << '"' << c.in << '"';
        strcpy(buf, c.in);
        EXPECT_STREQ(_rtrim(buf), c.rtrim) << '"' << c.in << '"';
        strcpy(buf, c.in);
        EXPECT_STREQ(_trim(buf), c.trim) << '"' << c.in << '"';
    }
}

TEST(Trim, LeftspaceAndRightspace) {
    char buf[16] = "abc";
    memset(buf + 4, 'Z', sizeof buf - 4);
    _leftspace(buf, 6, '0');
    EXPECT_EQ(std::string(buf, 7), std::string("000abcZ", 7));  // nothing written at len

    char longer[16] = "abcdefgh";
    _leftspace(longer, 3, ' ');
    EXPECT_STREQ(longer, "fgh");

    char exact[8] = "abc";
    _leftspace(exact, 3, '*');
    EXPECT_STREQ(exact, "abc");

    char pad[8] = "ab";
    memset(pad + 3, 'Z', sizeof pad - 3);
    rightspace(pad, 5);
    EXPECT_EQ(std::string(pad, 6), std::string("ab   Z", 6));
}

}  // namespace
