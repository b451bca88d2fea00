#include "platform/Log.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>

using velmorra::test::LogCapture;

namespace velmorra {
namespace {

TEST(Log, IndentationPrefixesEveryWriteNotEveryLine) {
    LogCapture capture;
    write("top\n");
    indent();
    write("Creating window... ");
    write("ok.\n");
    indent();
    write("a\nb\n");
    outdent();
    outdent();
    write("back\n");
    EXPECT_EQ(capture.text(), "top\n  Creating window...   ok.\n    a\nb\nback\n");
}

TEST(Log, OutdentStopsAtZero) {
    LogCapture capture;
    outdent();
    outdent();
    EXPECT_EQ(logDepth(), 0);
    indent();
    EXPECT_EQ(logDepth(), 1);
    write("x");
    outdent();
    EXPECT_EQ(capture.text(), "  x");
}

TEST(Log, NullFormatWritesNothingNotEvenIndentation) {
    LogCapture capture;
    indent();
    write(nullptr);
    writeText(nullptr);
    outdent();
    EXPECT_EQ(capture.text(), "");
}

TEST(Log, LongFormattedTextIsCutToTheBuffer) {
    LogCapture capture;
    const std::string longText(5000, 'x');
    write("%s|", longText.c_str());
    write("after");
    EXPECT_EQ(capture.text(), std::string(2999, 'x') + "after");
}

TEST(Log, VerbatimTextIsNeitherFormattedNorCut) {
    LogCapture capture;
    const std::string extensions = "GL_100%_real " + std::string(4000, 'e') + " %s %n";
    writeText(extensions.c_str());
    EXPECT_EQ(capture.text(), extensions);
}

TEST(Log, WritesWhileClosedAreDropped) {
    LogCapture capture;
    write("kept\n");
    closeLog();
    write("dropped %d\n", 1);
    writeText("dropped too\n");
    EXPECT_FALSE(isLogOpen());
    EXPECT_EQ(capture.text(), "kept\n");
}

TEST(Log, OpeningTruncatesAnEarlierLog) {
    velmorra::test::TempDirectory directory;
    openLog();
    write("first run\n");
    closeLog();
    openLog();
    write("second\n");
    closeLog();
    EXPECT_EQ(directory.readFile("debug.log"), "second\n");
}

} // namespace
} // namespace velmorra
