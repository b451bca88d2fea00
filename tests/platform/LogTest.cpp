#include "platform/Log.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

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

// A process that dies without closing the log still leaves every line it wrote.
TEST(Log, ALogCutShortByACrashKeepsEveryLine) {
    for (const int signal : {SIGKILL, SIGABRT}) {
        velmorra::test::TempDirectory directory;
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            std::signal(SIGABRT, SIG_DFL);
            openLog();
            write("Loading texture file: %s\n", "./data/chrome.bmp");
            indent();
            write("Chunk ");
            writeText("%d\n");
            raise(signal);
            std::_Exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(directory.readFile("debug.log"),
                  "Loading texture file: ./data/chrome.bmp\n  Chunk   %d\n")
            << signal;
    }
}

} // namespace
} // namespace velmorra
