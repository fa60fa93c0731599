// The framework's FTP connection: reply parsing on its own, then against
// the fixture's servers (size and time of a file, a transfer from an
// offset, refused logins and missing files).
#include <gtest/gtest.h>

#include "framework/FtpConnection.h"
#include "framework/InternetException.h"
#include "framework/InternetSession.h"
#include "framework/StrConv.h"
#include "tests/ftp/FtpTestSupport.h"

namespace {

struct TimeReplyCase {
    const wchar_t* reply;
    bool bParses;
    __time64_t expected;
};

TEST(FtpReplyParsing, TimeRepliesGiveUtcTimes) {
    const TimeReplyCase cases[] = {
        {L"213 20210304050607", true, kServedTime},
        {L"213 20210304050607\r\n", true, kServedTime},
        {L"213 20210304050607.125", true, kServedTime},  // fractions are dropped
        {L"\r\n213 19700101000000", true, 0},
        {L"213 20240229235959", true, 1709251199},
        {L"550 /missing.bin is not retrievable", false, 0},
        {L"500 Command \"MDTM\" not understood.", false, 0},
        {L"213 2021030405060", false, 0},   // 13 digits
        {L"213 20211304050607", false, 0},  // month 13
        {L"213 20210304250607", false, 0},  // hour 25
        {L"213 20210304050607Z", false, 0},
        {L"213 20210304050607.", false, 0},
        {L"21320210304050607", false, 0},
        {L"", false, 0},
    };
    for (const auto& c : cases) {
        CTime time(-1);
        EXPECT_EQ(c.bParses, ParseFtpTimeReply(c.reply, time)) << WideToAnsi(c.reply);
        if (c.bParses) {
            EXPECT_EQ(c.expected, time.GetTime()) << WideToAnsi(c.reply);
        }
    }
}

TEST(FtpReplyParsing, SizeRepliesGiveByteCounts) {
    struct {
        const wchar_t* reply;
        bool bParses;
        ULONGLONG expected;
    } const cases[] = {
        {L"213 100000", true, 100000},
        {L"213 0\r\n", true, 0},
        {L"213 4294967296", true, 4294967296ULL},
        {L"213 9999999999999999999", true, 9999999999999999999ULL},
        {L"213 99999999999999999999", false, 0},  // would overflow
        {L"213 ", false, 0},
        {L"213 12a", false, 0},
        {L"550 SIZE not allowed in ASCII mode.", false, 0},
    };
    for (const auto& c : cases) {
        ULONGLONG n = 12345;
        EXPECT_EQ(c.bParses, ParseFtpSizeReply(c.reply, n)) << WideToAnsi(c.reply);
        if (c.bParses) {
            EXPECT_EQ(c.expected, n) << WideToAnsi(c.reply);
        }
    }
}

TEST(FtpReplyParsing, UrlObjectsBecomeServerPaths) {
    struct {
        const wchar_t* object;
        const wchar_t* expected;
    } const cases[] = {
        {L"/pub/setup.exe", L"/pub/setup.exe"},
        {L"/with%20space.bin", L"/with space.bin"},
        {L"/%E4%B8%AD.bin", L"/\u4e2d.bin"},
        {L"/100%25.bin", L"/100%.bin"},
        {L"/%zz.bin", L"/%zz.bin"},  // not an escape
        {L"/end%4", L"/end%4"},      // cut short
        {L"/%FF.bin", L"/%FF.bin"},  // not UTF-8: left as it came
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::wstring(c.expected), FtpPathFromUrlObject(c.object)) << WideToAnsi(c.object);
    }
}

class FtpConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(servers.IsAvailable()) << "run through ctest: the ftp_servers fixture";
        session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 3000);
        session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 3000);
    }

    std::unique_ptr<CFtpConnection> Connect(INTERNET_PORT nPort,
                                            const wchar_t* pszPassword = L"secret") {
        return session.GetFtpConnection(L"127.0.0.1", L"anne", pszPassword, nPort, FALSE);
    }

    // Reads the whole transfer.
    static std::string ReadAll(CFtpFile& file) {
        std::string bytes;
        char chunk[4096];
        for (int i = 0; i < 100000; ++i) {
            UINT n = file.Read(chunk, sizeof(chunk));
            if (n == 0) break;
            bytes.append(chunk, n);
        }
        return bytes;
    }

    const FtpServers& servers = FtpServers::Get();
    CInternetSession session;
};

TEST_F(FtpConnectionTest, OpenFileTakesSizeAndTimeFromTheServer) {
    std::wstring name = UniqueName(L".bin");
    servers.Serve(name, MakeBody(100000));
    auto pConnection = Connect(servers.Port());
    auto pFile = pConnection->OpenFile((L"/" + name).c_str());

    CFileStatus status;
    EXPECT_TRUE(pFile->GetStatus(status));
    EXPECT_EQ(kServedTime, status.m_mtime.GetTime());
    EXPECT_EQ(100000u, status.m_size);
    EXPECT_EQ(L"/" + name, std::wstring(status.m_szFullName));
}

// Without MDTM the time is unknown (0), never guessed; the size still comes.
TEST_F(FtpConnectionTest, ServerWithoutMdtmGivesNoTime) {
    std::wstring name = UniqueName(L".bin");
    servers.Serve(name, MakeBody(5000));
    auto pConnection = Connect(servers.PortWithoutMdtm());
    auto pFile = pConnection->OpenFile((L"/" + name).c_str());

    CFileStatus status;
    EXPECT_FALSE(pFile->GetStatus(status));
    EXPECT_EQ(0, status.m_mtime.GetTime());
    ULONGLONG nLength = 0;
    ASSERT_TRUE(pFile->GetLength(nLength));
    EXPECT_EQ(5000u, nLength);
    EXPECT_EQ(MakeBody(5000), ReadAll(*pFile));
}

TEST_F(FtpConnectionTest, MissingFileCannotBeOpened) {
    auto pConnection = Connect(servers.Port());
    DWORD dwError = 0;
    try {
        pConnection->OpenFile(L"/no-such-file.bin");
    } catch (CInternetException* e) {
        dwError = e->m_dwError;
        e->Delete();
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_EXTENDED_ERROR), dwError);
    // The connection is still usable afterwards.
    std::wstring reply;
    EXPECT_TRUE(pConnection->Command(L"NOOP", &reply));
    EXPECT_EQ(0u, reply.find(L"200")) << WideToAnsi(reply.c_str());
}

TEST_F(FtpConnectionTest, RefusedLoginThrowsLoginFailure) {
    DWORD dwError = 0;
    try {
        Connect(servers.Port(), L"wrong");
    } catch (CInternetException* e) {
        dwError = e->m_dwError;
        e->Delete();
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_LOGIN_FAILURE), dwError);
}

// The position set before the first read reaches the server as REST.
TEST_F(FtpConnectionTest, TransferStartsWhereSeekPutIt) {
    std::wstring name = UniqueName(L".bin");
    std::string bytes = MakeBody(100000, 3);
    servers.Serve(name, bytes);
    auto pConnection = Connect(servers.Port());
    auto pFile = pConnection->OpenFile((L"/" + name).c_str());

    EXPECT_EQ(90000u, pFile->Seek(90000, CFile::begin));
    EXPECT_EQ(bytes.substr(90000), ReadAll(*pFile));
}

TEST_F(FtpConnectionTest, SeekOnceTheTransferRunsThrows) {
    std::wstring name = UniqueName(L".bin");
    servers.Serve(name, MakeBody(30000));
    auto pConnection = Connect(servers.Port());
    auto pFile = pConnection->OpenFile((L"/" + name).c_str());
    char chunk[100];
    ASSERT_EQ(100u, pFile->Read(chunk, sizeof(chunk)));

    DWORD dwError = 0;
    try {
        pFile->Seek(0, CFile::begin);
    } catch (CInternetException* e) {
        dwError = e->m_dwError;
        e->Delete();
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_FTP_TRANSFER_IN_PROGRESS), dwError);
    // Closing ends the transfer and gives the control connection back.
    pFile->Close();
    EXPECT_TRUE(pConnection->Command(L"NOOP"));
}

}  // namespace
