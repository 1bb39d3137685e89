// Encoders and decoders of the record files: round trips, the chain value at
// its fixed place, and refusal of corrupted texts.
#include "codec.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

namespace {

const char* kTexts[] = {"",
                        "a",
                        "ab",
                        "abc",
                        "1234 5678 1.25 090507 23.50",
                        "<数据 标志=\"末站\">1 2</数据>\n<数据 标志=\"右路线退站\">3 4</数据>",
                        "\x01\x7F\xFE\xFF"};

unsigned Hex4At(const std::string& s, size_t at) {
    unsigned v = 0;
    EXPECT_EQ(sscanf(s.c_str() + at, "%4x", &v), 1) << s;
    return v;
}

TEST(Base64, RoundTripCarriesTheChainAtItsPlace) {
    short enc = 1234, dec = 1234;
    for (const char* text : kTexts) {
        std::string e = base64_encode(text, &enc);
        EXPECT_EQ(e.find_first_of(" \"\r\n"), std::string::npos) << e;
        ASSERT_GE(e.size(), 5u);
        EXPECT_EQ(Hex4At(e, e.size() - 5), (unsigned short)enc);
        char out[256];
        EXPECT_EQ(base64_decode(e.c_str(), out, sizeof out, &dec), (int)strlen(text));
        EXPECT_STREQ(out, text);
        EXPECT_EQ(dec, enc);
    }
}

TEST(Encypt, RoundTripCarriesTheChainAtItsPlace) {
    short enc = 77, dec = 77;
    long number = 1;
    for (const char* text : kTexts) {
        std::string e = EncyptStr(text, number, &enc);
        EXPECT_EQ(e.find_first_of(" \"\r\n"), std::string::npos) << e;
        ASSERT_GE(e.size(), 8u);
        EXPECT_EQ(Hex4At(e, e.size() - 8), (unsigned short)enc);
        EXPECT_EQ(e.find(text[0] ? text : "\x01"), std::string::npos);  // not in clear
        std::vector<char> buf(e.begin(), e.end());
        buf.push_back('\0');
        ASSERT_EQ(UnEncyptStr(buf.data(), number, &dec), 1) << text;
        EXPECT_STREQ(buf.data(), text);
        EXPECT_EQ(dec, enc);
        ++number;
    }
}

TEST(Encypt, WrongNumberOrChainIsRefused) {
    short chain = 5;
    std::string e = EncyptStr("1 2 3", 6, &chain);
    std::vector<char> buf(e.begin(), e.end());
    buf.push_back('\0');
    short wrongChain = 6;
    std::vector<char> copy = buf;
    EXPECT_EQ(UnEncyptStr(copy.data(), 6, &wrongChain), 0);
    EXPECT_STREQ(copy.data(), "");
    EXPECT_EQ(wrongChain, 6);
    short right = 5;
    copy = buf;
    EXPECT_EQ(UnEncyptStr(copy.data(), 7, &right), 0);
    EXPECT_EQ(right, 5);
}

TEST(Codecs, EveryCorruptedByteIsRefused) {
    short c0 = 300;
    std::string b = base64_encode("1234 5678 0.25", &c0);
    c0 = 300;
    std::string e = EncyptStr("1234 5678 0.25", 3, &c0);
    for (size_t i = 0; i < b.size(); ++i) {
        for (char bad : {'A', '0', '+', '"', ' ', '\xB2'}) {
            if (b[i] == bad) continue;
            std::string s = b;
            s[i] = bad;
            short chain = 300;
            char out[64];
            EXPECT_EQ(base64_decode(s.c_str(), out, sizeof out, &chain), -1) << s;
            EXPECT_EQ(chain, 300);
        }
    }
    for (size_t i = 0; i < e.size(); ++i) {
        for (char bad : {'A', '0', '+', '"', ' ', '\xB2'}) {
            if (e[i] == bad) continue;
            std::string s = e;
            s[i] = bad;
            short chain = 300;
            EXPECT_EQ(UnEncyptStr(&s[0], 3, &chain), 0) << s;
            EXPECT_EQ(chain, 300);
        }
    }
}

TEST(Codecs, ShortAndOversizedInputsFailCleanly) {
    char out[8];
    short chain = 0;
    for (const char* bad : {"", "A", "ABCD", "ABCDEFG"}) {
        EXPECT_EQ(base64_decode(bad, out, sizeof out, &chain), -1) << bad;
        std::string s = bad;
        EXPECT_EQ(UnEncyptStr(&s[0], 1, &chain), 0) << bad;
    }
    EXPECT_EQ(base64_decode(nullptr, out, sizeof out, &chain), -1);
    EXPECT_EQ(UnEncyptStr(nullptr, 1, &chain), 0);
    // Decoded text that does not fit the output is refused, never cut.
    std::string e = base64_encode("0123456789", nullptr);
    memset(out, '#', sizeof out);
    EXPECT_EQ(base64_decode(e.c_str(), out, sizeof out, nullptr), -1);
    EXPECT_STREQ(out, "");
    // A plain text above the limit is encoded up to a whole GBK character.
    std::string big = "x" + std::string(kCodecMaxPlain, '\xB2');
    std::string enc = base64_encode(big.c_str(), nullptr);
    std::vector<char> back(kCodecMaxPlain + 1);
    int n = base64_decode(enc.c_str(), back.data(), back.size(), nullptr);
    EXPECT_EQ(n, kCodecMaxPlain - 1);
}

TEST(Codecs, NullChainIsAPrivateChainFromZero) {
    short zero = 0;
    std::string a = base64_encode("abc", nullptr);
    std::string b = base64_encode("abc", &zero);
    EXPECT_EQ(a, b);
    std::string e = EncyptStr("abc", 9, nullptr);
    EXPECT_EQ(UnEncyptStr(&e[0], 9, nullptr), 1);
    EXPECT_EQ(e.c_str(), std::string("abc"));
}

}  // namespace
