#include <gtest/gtest.h>

#include "vstgui/x11/UriList.h"

namespace {

using namespace VSTGUI;

TEST(UriList, PercentDecoding)
{
    EXPECT_EQ(percentDecode("a%20b%2Fc%c3%bc"), "a b/c\xC3\xBC");
    EXPECT_EQ(percentDecode("100%"), "100%");
    EXPECT_EQ(percentDecode("%zz%4"), "%zz%4");
}

TEST(UriList, LocalFileUris)
{
    EXPECT_EQ(localPathFromFileUri("file:///tmp/a.wav", "box"), "/tmp/a.wav");
    EXPECT_EQ(localPathFromFileUri("FILE://localhost/tmp/a.wav", "box"), "/tmp/a.wav");
    EXPECT_EQ(localPathFromFileUri("file://box/tmp/a%20b.wav", "box"), "/tmp/a b.wav");
    EXPECT_EQ(localPathFromFileUri("file:/tmp/short.wav", "box"), "/tmp/short.wav");
    EXPECT_EQ(localPathFromFileUri("file://other/tmp/a.wav", "box"), "");
    EXPECT_EQ(localPathFromFileUri("smb://server/share/a.wav", "box"), "");
    EXPECT_EQ(localPathFromFileUri("file:///tmp/nul%00name", "box"), "");
    EXPECT_EQ(localPathFromFileUri("file:///tmp/q%3F.wav?x#y", "box"), "/tmp/q?.wav");
}

TEST(UriList, ListsSkipCommentsBlankLinesAndRemoteUris)
{
    std::string list = "# comment\r\n"
                       "file:///a/one.wav\r\n"
                       "\r\n"
                       "   \r\n"
                       "https://example.com/x.wav\r\n"
                       "file:///b/two%20.wav\n"
                       "file:///c/three.wav";
    list.push_back('\0');
    auto paths = localPathsFromUriList(list, "box");
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], "/a/one.wav");
    EXPECT_EQ(paths[1], "/b/two .wav");
    EXPECT_EQ(paths[2], "/c/three.wav");
    EXPECT_TRUE(localPathsFromUriList("", "box").empty());
}

} // namespace
