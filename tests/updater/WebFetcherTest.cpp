#include "updater/WebFetcher.h"

#include <gtest/gtest.h>

#include <ostream>

#include <memory>
#include <vector>

#include "support/LocalUpdateServer.h"

namespace {

class WebFetcherTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new LocalUpdateServer(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        ASSERT_EQ(server->Error(), "");
        window = CreateWindowExW(0, L"STATIC", L"progress", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        folder = MakeTempFolder(L"fetcher");
    }
    void TearDown() override {
        if (window) {
            DestroyWindow(window);
        }
        RemoveTree(folder);
    }

    // The progress values posted so far, in order.
    std::vector<int> PostedProgress() {
        std::vector<int> values;
        MSG message;
        while (PeekMessageW(&message, window, WM_TRAY_NOTIFY, WM_TRAY_NOTIFY, PM_REMOVE)) {
            EXPECT_EQ(message.wParam, 0u);
            values.push_back(static_cast<int>(message.lParam));
        }
        return values;
    }

    static LocalUpdateServer* server;
    HWND window = nullptr;
    std::wstring folder;
};

LocalUpdateServer* WebFetcherTest::server = nullptr;

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(WebFetcherTest, FetchTextReturnsTheDocumentAndSendsTheFixedRequest) {
    server->PutFile("fetch/software/version", "1.0.0.3");
    WebFetcher fetcher;
    std::wstring text;
    EXPECT_EQ(fetcher.FetchText(server->BaseUrl() + L"fetch/software/version", text), kFetchDone);
    EXPECT_EQ(text, L"1.0.0.3");

    bool seen = false;
    for (const auto& request : server->Requests()) {
        if (request.path == "/fetch/software/version") {
            seen = true;
            EXPECT_EQ(request.userAgent, "IIC2.0/PC 5.5.0000");
            EXPECT_EQ(request.accept, "*/*");
            EXPECT_EQ(request.pragma, "no-cache");
        }
    }
    EXPECT_TRUE(seen);
}

TEST_F(WebFetcherTest, FetchTextCutsTheBodyAtAZeroByte) {
    server->PutFile("zero/version", std::string("1.0\0tail", 8));
    WebFetcher fetcher;
    std::wstring text;
    EXPECT_EQ(fetcher.FetchText(server->BaseUrl() + L"zero/version", text), kFetchDone);
    EXPECT_EQ(text, L"1.0");
}

TEST_F(WebFetcherTest, FetchTextDecodesUtf8) {
    server->PutFile("utf8/version", "v\xC3\xA9rsion \xE2\x82\xAC");
    WebFetcher fetcher;
    std::wstring text;
    EXPECT_EQ(fetcher.FetchText(server->BaseUrl() + L"utf8/version", text), kFetchDone);
    EXPECT_EQ(text, L"v\u00e9rsion \u20ac");
}

TEST_F(WebFetcherTest, FetchTextReturnsAnErrorPageLikeAnyBody) {
    WebFetcher fetcher;
    std::wstring text;
    EXPECT_EQ(fetcher.FetchText(server->ModeBaseUrl("404") + L"software/version", text), kFetchDone);
    EXPECT_NE(text.find(L"404 Not Found"), std::wstring::npos);
}

struct FailingFetch {
    const char* name;
    const char* listener;
};

void PrintTo(const FailingFetch& value, std::ostream* out) {
    *out << value.name;
}

class FetchTextFailure : public WebFetcherTest, public ::testing::WithParamInterface<FailingFetch> {};

TEST_P(FetchTextFailure, FailsAndLeavesTheTextAlone) {
    server->PutFile("fail/version", "9.9.9.9");
    WebFetcher fetcher;
    std::wstring text = L"unchanged";
    EXPECT_EQ(fetcher.FetchText(server->BaseUrl(GetParam().listener) + L"fail/version", text), kFetchFailed);
    EXPECT_EQ(text, L"unchanged");
}

INSTANTIATE_TEST_SUITE_P(Servers, FetchTextFailure,
                         ::testing::Values(FailingFetch{"UnreachableServer", "closed"},
                                           FailingFetch{"UntrustedCertificate", "untrusted"},
                                           FailingFetch{"CertificateForAnotherName", "wrongname"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebFetcherTest, DownloadOfTenFullReadsPostsProgressInNinthsThenAShortOnePostsTheFixedSteps) {
    const std::string tenReads(10 * 10240, 'x');
    server->PutFile("dl/ten.bin", tenReads);
    server->PutFile("dl/short.bin", std::string(5000, 'y'));
    WebFetcher fetcher;
    const std::wstring target = folder + L"ten.bin";

    ASSERT_EQ(fetcher.DownloadToFile(server->BaseUrl() + L"dl/ten.bin", target, window), kFetchDone);
    EXPECT_EQ(ReadWholeFile(target), tenReads);
    // The first download starts at 0 already, so 0 is not posted.
    EXPECT_EQ(PostedProgress(), (std::vector<int>{2, 8, 10, 19, 28, 37, 46, 55, 64, 73, 82, 91, 100}));

    ASSERT_EQ(fetcher.DownloadToFile(server->BaseUrl() + L"dl/short.bin", target, window), kFetchDone);
    EXPECT_EQ(ReadWholeFile(target).size(), 5000u);
    EXPECT_EQ(PostedProgress(), (std::vector<int>{0, 2, 8, 10, 100}));
    EXPECT_EQ(fetcher.LastProgress(), 100);
}

TEST_F(WebFetcherTest, DownloadWithoutLengthPostsOnlyTheFixedSteps) {
    const std::string body(50000, 'z');
    server->PutFile("dl/nolength.bin", body);
    WebFetcher fetcher;
    const std::wstring target = folder + L"nolength.bin";
    ASSERT_EQ(fetcher.DownloadToFile(server->ModeBaseUrl("nolength") + L"dl/nolength.bin", target, window), kFetchDone);
    EXPECT_EQ(ReadWholeFile(target), body);
    EXPECT_EQ(PostedProgress(), (std::vector<int>{2, 8, 10, 100}));
}

TEST_F(WebFetcherTest, DownloadWithoutWindowPostsNothingAndKeepsTheLastValue) {
    server->PutFile("dl/quiet.bin", "quiet");
    WebFetcher fetcher;
    EXPECT_EQ(fetcher.DownloadToFile(server->BaseUrl() + L"dl/quiet.bin", folder + L"quiet.bin", nullptr), kFetchDone);
    EXPECT_EQ(fetcher.LastProgress(), 0);
    EXPECT_TRUE(PostedProgress().empty());
}

TEST_F(WebFetcherTest, DownloadOfAnErrorPageStoresThePage) {
    WebFetcher fetcher;
    const std::wstring target = folder + L"page.zip";
    EXPECT_EQ(fetcher.DownloadToFile(server->ModeBaseUrl("404") + L"dl/missing.zip", target, nullptr), kFetchDone);
    EXPECT_NE(ReadWholeFile(target).find("404 Not Found"), std::string::npos);
}

TEST_F(WebFetcherTest, DownloadFromUnreachableServerFails) {
    WebFetcher fetcher;
    EXPECT_EQ(fetcher.DownloadToFile(server->BaseUrl("closed") + L"dl/x.zip", folder + L"x.zip", window), kFetchFailed);
    EXPECT_FALSE(FileExists(folder + L"x.zip"));
}

struct BrokenDownload {
    const char* name;
    const char* mode;
};

void PrintTo(const BrokenDownload& value, std::ostream* out) {
    *out << value.name;
}

class DownloadFailure : public WebFetcherTest, public ::testing::WithParamInterface<BrokenDownload> {};

TEST_P(DownloadFailure, FailsAndLeavesNoFileWhereTheOldOneWas) {
    server->PutFile("broken/archive.zip", std::string(300000, 'b'));
    const std::wstring target = folder + L"archive.zip";
    WriteWholeFile(target, "an older file");
    WebFetcher fetcher;
    EXPECT_EQ(fetcher.DownloadToFile(server->ModeBaseUrl(GetParam().mode) + L"broken/archive.zip", target, window),
              kFetchFailed);
    EXPECT_FALSE(FileExists(target));
    for (int value : PostedProgress()) {
        EXPECT_LT(value, 100);
    }
}

INSTANTIATE_TEST_SUITE_P(Server, DownloadFailure,
                         ::testing::Values(BrokenDownload{"TruncatedBody", "truncate"},
                                           BrokenDownload{"LengthAboveTheBody", "length-over"},
                                           BrokenDownload{"StalledThenCut", "stall"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebFetcherTest, DownloadStopsAtAnAnnouncedLengthBelowTheBody) {
    server->PutFile("under/archive.zip", std::string(300000, 'u'));
    const std::wstring target = folder + L"archive.zip";
    WebFetcher fetcher;
    EXPECT_EQ(fetcher.DownloadToFile(server->ModeBaseUrl("length-under") + L"under/archive.zip", target, nullptr),
              kFetchDone);
    EXPECT_EQ(ReadWholeFile(target).size(), 150000u);
}

TEST_F(WebFetcherTest, DownloadIntoAMissingFolderFails) {
    server->PutFile("dl/any.bin", "any");
    WebFetcher fetcher;
    EXPECT_EQ(fetcher.DownloadToFile(server->BaseUrl() + L"dl/any.bin", folder + L"no\\such\\folder\\any.bin", window),
              kFetchFailed);
}

} // namespace
