// A partial download continues only the copy it began, and a pinned digest
// keeps a wrong file from ever being put in place.
#include <gtest/gtest.h>

#include "download/DownloadMessages.h"
#include "download/Sha256.h"
#include "download/TransferRecord.h"
#include "tests/support/HttpTestHarness.h"
#include "tests/support/HttpTestServer.h"

namespace {

const std::string kOld = MakeBody(30000, 1);
const std::string kNew = MakeBody(30000, 2);
const char kOldTag[] = "\"old-30000\"";
const char kNewTag[] = "\"new-30000\"";

std::string DigestOf(const std::string& data) {
    CSha256 hash;
    hash.Update(data.data(), data.size());
    return hash.FinishHex();
}

class ValidatedResume : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.IsListening()); }

    std::wstring Target() const { return dir / L"setup.exe"; }
    std::wstring Temp() const { return Target() + L".xdf"; }
    std::wstring Companion() const { return Temp() + L".tsf"; }

    void Run(const std::string& expectedDigest = "") {
        worker.Worker()->m_strExpectedSha256 = expectedDigest;
        recorder.Clear();
        ASSERT_TRUE(worker.Start(server.Url(L"/setup.exe"), Target()));
        ASSERT_TRUE(recorder.WaitForFinal(20000));
    }
    UINT Final() const {
        auto finals = recorder.Finals();
        return finals.size() == 1 ? finals[0].message : 0;
    }
    std::string LastRequest() const {
        auto requests = server.Requests();
        return requests.empty() ? std::string() : requests.back();
    }
    // Leaves a partial temporary file of the old copy, as a killed run would.
    void LeaveOldPartial(size_t nBytes, const std::string& validator = kOldTag) {
        WriteWholeFile(Temp(), kOld.substr(0, nBytes));
        ASSERT_TRUE(WriteTransferRecord(Companion(), {validator, 30000}));
    }

    HttpTestServer server;
    MessageRecorder recorder;
    ScratchDir dir;
    WorkerHarness worker{recorder.Hwnd()};
};

TEST_F(ValidatedResume, WithoutACompanionTheRequestIsThePlainOne) {
    WriteWholeFile(Temp(), kOld.substr(0, 1000));
    server.Enqueue(HttpAnswer::Make(206, "Partial Content", kOld.substr(1000),
                                    {"Content-Range: bytes 1000-29999/30000"}));
    Run();
    EXPECT_EQ(std::string::npos, LastRequest().find("If-Range")) << LastRequest();
    EXPECT_EQ(WM_DOWNLOAD_FINISHED, Final());
    EXPECT_TRUE(SameBytes(kOld, ReadWholeFile(Target())));
}

DWORD SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow
                                                                            : 0xFFFFFFFFu;
}

std::string ContentRange(size_t from) {
    return "Content-Range: bytes " + std::to_string(from) + "-29999/30000";
}

TEST_F(ValidatedResume, AFreshCopyIsRecordedAndItsRestAskedForWithIfRange) {
    HttpAnswer cut = HttpAnswer::Make(200, "OK", kNew, {std::string("ETag: ") + kNewTag});
    cut.nCutAfter = 12000;
    server.Enqueue(cut);
    Run();
    ASSERT_EQ(WM_DOWNLOAD_ERROR, Final());
    TransferRecord record;
    ASSERT_TRUE(ReadTransferRecord(Companion(), record));
    EXPECT_EQ(kNewTag, record.validator);
    EXPECT_EQ(30000u, record.totalSize);

    const DWORD kept = SizeOf(Temp());
    ASSERT_GT(kept, 0u);
    ASSERT_LT(kept, 30000u);
    server.Enqueue(
        HttpAnswer::Make(206, "Partial Content", kNew.substr(kept), {ContentRange(kept)}));
    Run();
    const std::string range = "Range: bytes=" + std::to_string(kept) + "-\r\n";
    EXPECT_NE(std::string::npos, LastRequest().find(range + "If-Range: " + kNewTag + "\r\n"))
        << LastRequest();
    EXPECT_EQ(WM_DOWNLOAD_FINISHED, Final());
    EXPECT_TRUE(SameBytes(kNew, ReadWholeFile(Target())));
    EXPECT_FALSE(FileExists(Companion()));
}

TEST_F(ValidatedResume, AChangedFileIsFetchedWholeNeverSpliced) {
    LeaveOldPartial(12000);
    // A server whose file changed answers If-Range with the whole new file.
    server.Enqueue(HttpAnswer::Make(200, "OK", kNew, {std::string("ETag: ") + kNewTag}));
    Run();
    EXPECT_NE(std::string::npos, LastRequest().find(std::string("If-Range: ") + kOldTag))
        << LastRequest();
    EXPECT_EQ(WM_DOWNLOAD_FINISHED, Final());
    EXPECT_TRUE(SameBytes(kNew, ReadWholeFile(Target())));
}

TEST_F(ValidatedResume, APartialAnswerThatDisagreesIsNotAppended) {
    const struct {
        const char* what;
        std::vector<std::string> headers;
    } cases[] = {
        {"start", {"Content-Range: bytes 500-29999/30000"}},
        {"total", {"Content-Range: bytes 12000-39999/40000"}},
        {"missing", {}},
        {"garbled", {"Content-Range: bytes 12000-/30000"}},
    };
    for (const auto& c : cases) {
        LeaveOldPartial(12000);
        server.Enqueue(HttpAnswer::Make(206, "Partial Content", kNew.substr(12000), c.headers));
        Run();
        EXPECT_EQ(WM_DOWNLOAD_ERROR, Final()) << c.what;
        EXPECT_EQ(0u, SizeOf(Temp())) << c.what;
        EXPECT_FALSE(FileExists(Companion())) << c.what;
        EXPECT_FALSE(FileExists(Target())) << c.what;

        server.Enqueue(HttpAnswer::Make(200, "OK", kNew, {std::string("ETag: ") + kNewTag}));
        Run();  // the next attempt starts from nothing
        EXPECT_EQ(std::string::npos, LastRequest().find("Range:")) << c.what;
        EXPECT_EQ(WM_DOWNLOAD_FINISHED, Final()) << c.what;
        EXPECT_TRUE(SameBytes(kNew, ReadWholeFile(Target()))) << c.what;
        DeleteFileW(Target().c_str());
    }
}

TEST_F(ValidatedResume, AWrongDigestIsNeverPutInPlaceAndTheNextAttemptStartsOver) {
    server.Enqueue(HttpAnswer::Make(200, "OK", kNew));
    Run(DigestOf(kOld));
    EXPECT_EQ(WM_DOWNLOAD_ERROR, Final());
    EXPECT_EQ(LPARAM(0), recorder.Finals()[0].lParam);
    EXPECT_FALSE(FileExists(Target()));
    EXPECT_FALSE(FileExists(Temp()));

    server.Enqueue(HttpAnswer::Make(200, "OK", kOld));
    Run(DigestOf(kOld));
    EXPECT_EQ(std::string::npos, LastRequest().find("Range:")) << LastRequest();
    EXPECT_EQ(WM_DOWNLOAD_FINISHED, Final());
    EXPECT_TRUE(SameBytes(kOld, ReadWholeFile(Target())));
}

TEST_F(ValidatedResume, AResumedDownloadIsVerifiedWithItsKeptPrefix) {
    LeaveOldPartial(12000);
    server.Enqueue(
        HttpAnswer::Make(206, "Partial Content", kOld.substr(12000), {ContentRange(12000)}));
    Run(DigestOf(kOld));
    EXPECT_EQ(WM_DOWNLOAD_FINISHED, Final());
    EXPECT_TRUE(SameBytes(kOld, ReadWholeFile(Target())));

    // A prefix that went bad on disk fails the check even though the rest fits.
    std::string damaged = kOld.substr(0, 12000);
    damaged[100] ^= 0x55;
    WriteWholeFile(Temp(), damaged);
    ASSERT_TRUE(WriteTransferRecord(Companion(), {kOldTag, 30000}));
    server.Enqueue(
        HttpAnswer::Make(206, "Partial Content", kOld.substr(12000), {ContentRange(12000)}));
    Run(DigestOf(kOld));
    EXPECT_EQ(WM_DOWNLOAD_ERROR, Final());
    EXPECT_FALSE(FileExists(Temp()));
}

}  // namespace
