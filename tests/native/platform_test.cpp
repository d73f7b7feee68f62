// Platform rules: the pump's interval, system texts, the program's folder,
// whose hive the per-user settings go in, the build tools' SHA-256.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>

#include "exact_buffer.h"
#include "platform/divide.h"
#include "platform/message_pump.h"
#include "platform/sha256.h"
#include "sha256_vectors.h"
#include "platform/source_directory.h"
#include "platform/system_error.h"
#include "platform/user_hive.h"

namespace {

TEST(PumpInterval, ElapsesAcrossTheTickCounterWrap) {
    struct Case {
        uint32_t start, now, interval;
        int elapsed;
    } cases[] = {
        {1000, 1000, 0, 1},      {1000, 1009, 10, 0},     {1000, 1010, 10, 1},
        {0xFFFFFFF8u, 1, 10, 0}, {0xFFFFFFF8u, 2, 10, 1}, {0xFFFFFFFFu, 0xFFFFFFFFu, 10, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.elapsed, IntervalElapsed(c.start, c.now, c.interval))
            << c.start << " " << c.now;
}

TEST(SystemText, DropsTheTrailingLineBreakOnly) {
    struct Case {
        const char* text;
        int length;
    } cases[] = {{"Gone.\r\n", 5}, {"A\r\nB.  ", 7}, {"\r\n", 0},  {"", 0},
                 {"\x1F", 0},      {" ", 1},         {"\xE9\n", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(c.length,
                  LengthWithoutTrailingControls(ExactBytes(c.text).get(), (int)strlen(c.text)))
            << c.text;
}

TEST(SourceDirectory, CutsBehindTheLastBackslash) {
    struct Case {
        const char* path;
        const char* folder;
        int found;
    } cases[] = {
        {"C:\\Program Files\\Setup Dir\\setup.exe", "C:\\Program Files\\Setup Dir\\", 1},
        {"D:\\SETUP.EXE", "D:\\", 1},
        {"C:\\Setup\\", "C:\\Setup\\", 1},  // a folder already
        {"\\\\server\\share\\setup.exe", "\\\\server\\share\\", 1},
        {"setup.exe", "setup.exe", 0},
        {"\\setup.exe", "\\", 1},  // the only backslash is the first character
        {"", "", 0},
    };
    for (const Case& c : cases) {
        HeapBlock buffer = ExactText(c.path);
        EXPECT_EQ(c.found, CutAfterLastBackslash(buffer.get())) << c.path;
        EXPECT_STREQ(c.folder, buffer.get());
    }
}

// The 32-bit program's 64-bit division against the host's: both halves of
// each operand, the 32-bit short cut's edges and every sign.
TEST(Divide, AgreesWithTheMachineOnEveryKindOfOperand) {
    // Small ones, around 2^31 and 2^32, large ones, around 2^63 and 2^64.
    const uint64_t rows[4][4] = {
        {0, 1, 2, 3},
        {95, 96, 0x7FFFFFFF, 0xFFFFFFFF},
        {0x100000000, 0x100000001, 0x1FFFFFFFF, 0x1BC0000000},
        {0x10000000000, 0x7FFFFFFFFFFFFFFF, 0x8000000000000000, 0xFFFFFFFFFFFFFFFF}};
    for (const auto& numerators : rows)
        for (uint64_t n : numerators)
            for (const auto& divisors : rows)
                for (uint64_t d : divisors) {
                    if (d == 0) continue;
                    uint64_t rest = 7;
                    EXPECT_EQ(n / d, DivideUnsigned(n, d, &rest)) << n << " / " << d;
                    EXPECT_EQ(n % d, rest) << n << " % " << d;
                    EXPECT_EQ(n / d, DivideUnsigned(n, d, NULL));  // the quotient alone
                    // Each sign of each: n and 0 - n, d and 0 - d as two's complements.
                    for (int64_t sn : {(int64_t)n, (int64_t)(0 - n)})
                        for (int64_t sd : {(int64_t)d, (int64_t)(0 - d)}) {
                            if (sn == INT64_MIN && sd == -1) continue;  // overflows in C too
                            int64_t srest = 7;
                            EXPECT_EQ(sn / sd, DivideSigned(sn, sd, &srest)) << sn << " / " << sd;
                            EXPECT_EQ(sn % sd, srest) << sn << " % " << sd;
                            EXPECT_EQ(sn / sd, DivideSigned(sn, sd, NULL));
                        }
                }
}

// Each vector in pieces, and whole.
TEST(Sha256, PublishedVectorsInPiecesOfAnySize) {
    size_t count;
    const Sha256Vector* vectors = Sha256Vectors(&count);
    for (const Sha256Vector* v = vectors; v < vectors + count; ++v)
        for (size_t piece : Sha256Pieces) {
            Sha256 hash;
            BeginSha256(&hash);
            HeapBlock bytes = ExactBytes(v->message);
            for (size_t at = 0; at < v->message.size(); at += piece)
                AddToSha256(&hash, bytes.get() + at, std::min(piece, v->message.size() - at));
            unsigned char digest[Sha256Size], whole[Sha256Size];
            EndSha256(&hash, digest);
            EXPECT_EQ(v->digest, HexOf(digest, Sha256Size)) << v->message.size() << " by " << piece;
            BeginSha256(&hash);
            AddToSha256(&hash, bytes.get(), v->message.size());
            EndSha256(&hash, whole);
            EXPECT_EQ(v->digest, HexOf(whole, Sha256Size)) << v->message.size();
        }
}

// An elevated setup writes into the signed-in user's hive only when it knows
// both accounts and they differ; SIDs that share a beginning are two accounts.
TEST(UserHive, SignedInUsersHiveOnlyForAnotherKnownAccount) {
    const char *user = "S-1-5-21-7-1001", *admin = "S-1-5-21-7-500";
    struct Case {
        int elevated;
        const char *token, *shell;
        int hive;
    } cases[] = {
        {1, admin, user, SignedInUserHive},
        {1, "S-1-5-21-7-100", "S-1-5-21-7-1001", SignedInUserHive},
        {1, "S-1-5-21-7-1001", "S-1-5-21-7-100", SignedInUserHive},
        {1, user, user, CurrentUserHive},
        {0, admin, user, CurrentUserHive},
        {1, admin, nullptr, CurrentUserHive},
        {1, nullptr, user, CurrentUserHive},
        {1, admin, "", CurrentUserHive},
        {1, "", user, CurrentUserHive},
        {0, nullptr, nullptr, CurrentUserHive},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.hive, ChooseUserHive(c.elevated, c.token, c.shell))
            << c.elevated << " " << (c.token ? c.token : "?") << " " << (c.shell ? c.shell : "?");

    const std::string name = "S-1-5-21-7-1001\\Software\\Kellum AG\\Vestra";
    for (int size : {(int)name.size() + 1, (int)name.size(), 16, 1}) {
        HeapBlock out = PatternBuffer(size);
        int made =
            UserHiveKeyName("S-1-5-21-7-1001", "Software\\Kellum AG\\Vestra", out.get(), size);
        EXPECT_EQ(size > (int)name.size(), made) << size;
        if (made) EXPECT_EQ(name, out.get());
        EXPECT_EQ(Pattern, out[size]) << size;  // nothing past the size
    }
}

}  // namespace
