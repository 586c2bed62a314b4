// What the web port reads from a stranger before anything else: the browser's messages, the
// message rate, and the paths of the files it serves.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "web/browser_message.h"
#include "web/message_rate.h"
#include "web/stream_message.h"
#include "web/web_files.h"
#include "world/xdg_homes.h"

namespace {

const std::string kSecret = "0123456789abcdef0123456789abcdef";

TEST(BrowserMessageTest, ReadsEachMessageExactlyAndNothingNearIt) {
    using Kind = BrowserMessage::Kind;
    EXPECT_EQ(Kind::Watch, readBrowserMessage("watch")->kind);
    EXPECT_EQ(Kind::Join, readBrowserMessage("join")->kind);
    EXPECT_EQ(Kind::Flip, readBrowserMessage("flip")->kind);
    EXPECT_EQ(Kind::Pause, readBrowserMessage("pause")->kind);
    EXPECT_EQ(Kind::Ping, readBrowserMessage("ping")->kind);
    const auto rejoin = readBrowserMessage("rejoin " + kSecret);
    ASSERT_TRUE(rejoin);
    EXPECT_EQ(Kind::Rejoin, rejoin->kind);
    EXPECT_EQ(kSecret, rejoin->secret);

    for (const std::string& near : std::vector<std::string>{
             "", "Watch", "watch ", " flip", "flip\n", "flipflip", "rejoin", "rejoin ",
             "rejoin  " + kSecret, "rejoin " + kSecret + " ", "rejoin " + kSecret.substr(1),
             "rejoin " + kSecret + "0", "rejoin 0123456789ABCDEF0123456789ABCDEF",
             "rejoin 0123456789abcdeg0123456789abcdef", std::string("join\0", 5)}) {
        EXPECT_FALSE(readBrowserMessage(near)) << near;
    }
}

TEST(MessageRateTest, ABurstPassesThenTheAverageRateHolds) {
    MessageRate rate(0);
    for (int64_t i = 0; i < MessageRate::kBurst; ++i) EXPECT_TRUE(rate.admit(0)) << i;
    EXPECT_FALSE(rate.admit(0));
    // A second later a second's worth is allowed again, and no more.
    int allowed = 0;
    while (rate.admit(1000)) ++allowed;
    EXPECT_EQ(MessageRate::kPerSecond, allowed);
    // A player tapping ten times a second for a minute is never refused.
    MessageRate player(0);
    for (int64_t t = 0; t < 60000; t += 100) EXPECT_TRUE(player.admit(t)) << t;
    // A clock that goes back gives nothing extra.
    EXPECT_TRUE(player.admit(10));
}

TEST(WebFilesTest, ServesThePageAndTheGameFilesAndNothingElse) {
    const WebFiles files("web", {"index.html", "page.js"});
    EXPECT_EQ("web/index.html", files.fileFor("/"));
    EXPECT_EQ("web/index.html", files.fileFor("/?demo=x"));
    EXPECT_EQ("web/page.js", files.fileFor("/page.js"));
    EXPECT_EQ("web/page.js", files.fileFor("/page.js?v=2"));
    EXPECT_EQ("Img/menu/menu.jpg", files.fileFor("/Img/menu/menu.jpg"));
    EXPECT_EQ("Img/Som/pulo.wav", files.fileFor("/Img/Som/pulo.wav"));

    for (const char* refused :
         {"", "page.js", "/other.js", "/web/page.js", "/Img/../CMakeCache.txt", "/Img/a/../../x",
          "/Img/..", "/Img\\menu.jpg", "/Img/menu\\..\\..\\x", "//etc/passwd", "/../web/page.js",
          "/img/menu/menu.jpg", "/Img", "/Img/\x01.jpg", "/Img/\xc3\xa9.jpg", "http://x/page.js",
          "/CMakeCache.txt", "/index.html/.."}) {
        EXPECT_FALSE(files.fileFor(refused)) << refused;
    }
}

// A picture the game drew into the cache (a player's own stage) is served under its Img/ path; the
// data folder's file comes first.
TEST(WebFilesTest, APictureOnlyTheCacheHoldsIsServedFromThere) {
    XdgHomes homes;
    std::filesystem::create_directories(homes.cache() / "Img/fases");
    std::ofstream(homes.cache() / "Img/fases/muro-0123456789abcdef.jpg") << "jpeg";
    std::filesystem::create_directories(homes.cache() / "Img/menu");
    std::ofstream(homes.cache() / "Img/menu/menu.jpg") << "not this one";
    const WebFiles files("web", {"index.html"});
    EXPECT_EQ((homes.cache() / "Img/fases/muro-0123456789abcdef.jpg").string(),
              files.fileFor("/Img/fases/muro-0123456789abcdef.jpg"));
    EXPECT_EQ("Img/fases/outra-0123456789abcdef.jpg",
              files.fileFor("/Img/fases/outra-0123456789abcdef.jpg"))
        << "missing everywhere: the data folder's path, which is then not found";
    const std::string cwd = std::filesystem::current_path();
    std::filesystem::current_path(TEST_IMG_ROOT);
    EXPECT_EQ("Img/menu/menu.jpg", files.fileFor("/Img/menu/menu.jpg"));
    std::filesystem::current_path(cwd);
}

TEST(WebFilesTest, ThePageIsWhatItsFolderHeldAndFilesAreReadWithinTheirCap) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("web_files_test_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder / "sub");
    for (const char* name :
         {"index.html", "page_2.js", "Upper.js", ".hidden.js", "noext", "a.b.c"}) {
        std::ofstream(folder / name) << "12345";
    }
    const WebFiles files(folder.string());
    EXPECT_EQ(2u, files.pageFileCount());
    EXPECT_TRUE(files.fileFor("/page_2.js"));
    EXPECT_FALSE(files.fileFor("/Upper.js"));
    EXPECT_FALSE(files.fileFor("/sub"));

    EXPECT_EQ("12345", readServedFile((folder / "index.html").string()));
    EXPECT_FALSE(readServedFile((folder / "index.html").string(), 4));
    EXPECT_FALSE(readServedFile((folder / "sub").string()));
    EXPECT_FALSE(readServedFile((folder / "missing").string()));
    std::filesystem::remove_all(folder);

    EXPECT_EQ("text/javascript; charset=utf-8", contentTypeOf("web/page.js"));
    EXPECT_EQ("image/jpeg", contentTypeOf("Img/a.jpg"));
    EXPECT_EQ("application/octet-stream", contentTypeOf("Img/a"));
}

TEST(StreamMessageTest, EachMessageIsHeadedByItsTextsLengthInLeb128) {
    Deflater deflater;
    Inflater inflater;
    for (const size_t length : {size_t{0}, size_t{1}, size_t{127}, size_t{128}, size_t{300},
                                size_t{16384}, size_t{70000}}) {
        const std::string text(length, 'x');
        const std::string message = streamMessage(deflater, text);
        const auto head = readStreamMessageHead(message);
        ASSERT_TRUE(head) << length;
        EXPECT_EQ(length, head->textBytes);
        EXPECT_EQ(length < 128 ? 1u : length < 16384 ? 2u : 3u, head->headBytes);
        EXPECT_EQ(text, inflater.inflate(message.substr(head->headBytes)));
    }
    // No end within five bytes, or past 32 bits: no head.
    EXPECT_FALSE(readStreamMessageHead(""));
    EXPECT_FALSE(readStreamMessageHead("\x80\x80"));
    EXPECT_FALSE(readStreamMessageHead("\xff\xff\xff\xff\xff\x01"));
    EXPECT_FALSE(readStreamMessageHead("\xff\xff\xff\xff\x7f"));
    EXPECT_EQ(0xffffffffu, readStreamMessageHead("\xff\xff\xff\xff\x0f")->textBytes);
}

}  // namespace
