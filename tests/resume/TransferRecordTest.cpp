#include <gtest/gtest.h>

#include <string>

#include "download/Sha256.h"
#include "download/TransferRecord.h"

namespace {

TEST(TransferRecord, ChoosesAStrongEtagOverLastModified) {
    const struct {
        const char* etag;
        const char* lastModified;
        const char* expected;
    } cases[] = {
        {"\"5f1-abc\"", "Tue, 01 Dec 2026 10:00:00 GMT", "\"5f1-abc\""},
        {"W/\"5f1-abc\"", "Tue, 01 Dec 2026 10:00:00 GMT", "Tue, 01 Dec 2026 10:00:00 GMT"},
        {"", "Tue, 01 Dec 2026 10:00:00 GMT", "Tue, 01 Dec 2026 10:00:00 GMT"},
        {"\"a\"", "", "\"a\""},
        {"W/\"weak\"", "", ""},
        {"\"line\r\nX-Injected: 1\"", "", ""},  // never lets a header into the request
        {"", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseValidator(c.etag, c.lastModified), c.expected) << c.etag;
}

TEST(TransferRecord, RoundTripsAndRejectsAnythingMalformed) {
    TransferRecord record{"\"66c8-5f1\"", 67108864};
    std::string text = FormatTransferRecord(record);
    TransferRecord back;
    ASSERT_TRUE(ParseTransferRecord(text, back));
    EXPECT_EQ(back.validator, record.validator);
    EXPECT_EQ(back.totalSize, record.totalSize);

    const std::string bad[] = {
        "",
        text.substr(0, text.size() - 1),  // cut before its last line break
        text.substr(0, text.size() / 2),  // half written
        text + "extra\n",
        "launcher-transfer 2\nvalidator \"a\"\nsize 5\n",
        "launcher-transfer 1\nvalidator \nsize 5\n",
        "launcher-transfer 1\nvalidator \"a\"\nsize 4294967296\n",
        "launcher-transfer 1\nvalidator \"a\"\nsize -5\n",
        "launcher-transfer 1\nvalidator \"a\"\nsize\n",
    };
    for (const std::string& t : bad) EXPECT_FALSE(ParseTransferRecord(t, back)) << t;
}

TEST(TransferRecord, FileIsReplacedWhole) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"record_test.tsf";
    ASSERT_TRUE(WriteTransferRecord(path, {"\"one\"", 10}));
    ASSERT_TRUE(WriteTransferRecord(path, {"\"two\"", 20}));
    TransferRecord record;
    ASSERT_TRUE(ReadTransferRecord(path, record));
    EXPECT_EQ(record.validator, "\"two\"");
    EXPECT_EQ(record.totalSize, 20u);
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(path.c_str());
    EXPECT_FALSE(ReadTransferRecord(path, record));
}

TEST(ContentRange, ParsesStartAndTotal) {
    const struct {
        const char* value;
        bool ok;
        DWORD start, total;
    } cases[] = {
        {"bytes 1000-1999/2000", true, 1000, 2000},
        {"bytes 0-0/1", true, 0, 1},
        {"bytes 5-9/*", true, 5, 0},
        {"bytes 9-5/20", false, 0, 0},
        {"bytes 5-9/9", false, 0, 0},
        {"bytes */2000", false, 0, 0},
        {"items 0-1/2", false, 0, 0},
        {"bytes 1-2", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto& c : cases) {
        DWORD start = 77, total = 77;
        EXPECT_EQ(ParseContentRange(c.value, start, total), c.ok) << c.value;
        if (c.ok) {
            EXPECT_EQ(start, c.start) << c.value;
            EXPECT_EQ(total, c.total) << c.value;
        }
    }
}

TEST(Sha256, KnownDigestsAlsoWhenFedInPieces) {
    CSha256 hash;
    ASSERT_TRUE(hash.IsValid());
    EXPECT_EQ(hash.FinishHex(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    hash.Update("ab", 2);
    hash.Update("c", 1);
    EXPECT_EQ(hash.FinishHex(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    hash.Update("junk", 4);
    hash.Reset();
    hash.Update("abc", 3);
    EXPECT_EQ(hash.FinishHex(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
