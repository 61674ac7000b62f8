#include "base/temp_directory.h"
#include "support/scratch_dir.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace tavelio {
namespace {

namespace fs = std::filesystem;
using tavelio::test::ScratchDir;
using tavelio::test::WriteFile;

class TempDirectoryTest : public ::testing::Test {
protected:
    // A place where no directory can be made: a path under a plain file.
    std::string Unmakable() const { return blocker_ + "/below"; }

    static mode_t ModeOf(const std::string& path) {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
        return status.st_mode & 07777;
    }

    static bool IsEmptyFolder(const fs::path& path) { return fs::is_empty(path); }

    ScratchDir scratch_;
    std::string blocker_ = [this] {
        WriteFile(scratch_.Path("plain-file"), "x");
        return scratch_.Path("plain-file");
    }();
};

TEST_F(TempDirectoryTest, MakesAPrivateDirectoryOfItsOwnUnderTheTemporaryFolder) {
    const std::string tmp = scratch_.Path("tmp");
    fs::create_directory(tmp);
    TempDirectory first(TempLocations{tmp + "/", "", ""});
    TempDirectory second(TempLocations{tmp, "", ""});

    EXPECT_TRUE(first.IsPrivate());
    EXPECT_EQ(first.Path().rfind(tmp + "/tavelio-", 0), 0u) << first.Path();
    EXPECT_EQ(first.Path().size(), tmp.size() + std::string("/tavelio-XXXXXX/").size());
    EXPECT_EQ(first.Path().back(), '/');
    EXPECT_TRUE(fs::is_directory(first.Path()));
    EXPECT_EQ(ModeOf(first.Path()), 0700u);
    EXPECT_NE(first.Path(), second.Path());
}

TEST_F(TempDirectoryTest, AMadeDirectoryIsAbsoluteEvenForARelativeTemporaryFolder) {
    const fs::path saved = fs::current_path();
    fs::current_path(scratch_.Root());
    std::string path;
    {
        TempDirectory directory(TempLocations{".", "", ""});
        path = directory.Path();
        EXPECT_EQ(path.front(), '/');
        EXPECT_TRUE(fs::is_directory(path));
    }
    fs::current_path(saved);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(TempDirectoryTest, RemoveDeletesTheDirectoryWithWhatIsLeftInItOnceOnly) {
    TempDirectory directory(TempLocations{scratch_.Root().string(), "", ""});
    const std::string path = directory.Path();
    WriteFile(path + "ZBM.TTF", "font");
    WriteFile(path + "TempPic.jpg", "picture");
    fs::create_directory(path + "empty");

    directory.Remove();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(directory.IsPrivate());
    EXPECT_EQ(directory.Path(), path); // the name stays; files made there now fail as usual

    // A directory of the same name made by someone else afterwards is not touched again.
    fs::create_directory(path);
    directory.Remove();
    EXPECT_TRUE(fs::exists(path));
    fs::remove(path);
}

TEST_F(TempDirectoryTest, TheDestructorRemovesTheDirectory) {
    std::string path;
    {
        TempDirectory directory(TempLocations{scratch_.Root().string(), "", ""});
        path = directory.Path();
        WriteFile(path + "ZBM.TTF", "font");
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(TempDirectoryTest, FallsBackToTheRuntimeFolderAndLeavesItStanding) {
    const std::string runtime = scratch_.Path("run");
    fs::create_directory(runtime);
    TempDirectory directory(TempLocations{Unmakable(), runtime, scratch_.Path("cache")});
    EXPECT_TRUE(directory.IsPrivate());
    EXPECT_EQ(directory.Path().rfind(runtime + "/tavelio-", 0), 0u) << directory.Path();
    EXPECT_EQ(ModeOf(directory.Path()), 0700u);
    directory.Remove();
    EXPECT_TRUE(fs::is_directory(runtime));
    EXPECT_TRUE(IsEmptyFolder(runtime));
    EXPECT_FALSE(fs::exists(scratch_.Path("cache")));
}

TEST_F(TempDirectoryTest, FallsBackToTheCacheFolderMakingItWhenMissing) {
    const std::string cache = scratch_.Path("home/.cache/tavelio");
    {
        TempDirectory directory(TempLocations{Unmakable(), "", cache});
        EXPECT_TRUE(directory.IsPrivate());
        EXPECT_EQ(directory.Path().rfind(cache + "/tavelio-", 0), 0u) << directory.Path();
        EXPECT_EQ(ModeOf(cache), 0700u);
        EXPECT_EQ(ModeOf(scratch_.Path("home/.cache")), 0700u);
        WriteFile(cache + "/kept", "someone else's");
        WriteFile(directory.Path() + "ZBM.TTF", "font");
    }
    EXPECT_TRUE(fs::is_directory(cache));
    EXPECT_TRUE(fs::exists(cache + "/kept"));
    EXPECT_EQ(std::distance(fs::directory_iterator(cache), fs::directory_iterator()), 1);
}

TEST_F(TempDirectoryTest, WithNowhereToMakeADirectoryUsesTheCacheFolderAndRemovesNothing) {
    TempDirectory directory(TempLocations{Unmakable(), Unmakable(), Unmakable() + "/cache"});
    EXPECT_FALSE(directory.IsPrivate());
    EXPECT_EQ(directory.Path(), Unmakable() + "/cache/");
    directory.Remove();
    EXPECT_TRUE(fs::exists(blocker_));

    TempDirectory homeless(TempLocations{Unmakable(), "", ""});
    EXPECT_EQ(homeless.Path(), Unmakable() + "/");
}

TEST(TempLocations, ComeFromTheEnvironment) {
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    };
    Saved saved[] = {{"TMPDIR", "", false}, {"XDG_RUNTIME_DIR", "", false}, {"HOME", "", false}};
    for (Saved& variable : saved) {
        if (const char* value = std::getenv(variable.name)) {
            variable.value = value;
            variable.set = true;
        }
    }
    ::setenv("TMPDIR", "/var/tmp", 1);
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    ::setenv("HOME", "/home/reader/", 1);
    TempLocations where = TempLocations::FromEnvironment();
    EXPECT_EQ(where.tmpDir, "/var/tmp");
    EXPECT_EQ(where.runtimeDir, "/run/user/1000");
    EXPECT_EQ(where.cacheDir, "/home/reader/.cache/tavelio");

    ::setenv("TMPDIR", "", 1);
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("HOME");
    where = TempLocations::FromEnvironment();
    EXPECT_EQ(where.tmpDir, "/tmp");
    EXPECT_EQ(where.runtimeDir, "");
    EXPECT_EQ(where.cacheDir, "");

    for (const Saved& variable : saved) {
        if (variable.set) {
            ::setenv(variable.name, variable.value.c_str(), 1);
        } else {
            ::unsetenv(variable.name);
        }
    }
}

class TempDirectorySignalTest : public TempDirectoryTest,
                                public ::testing::WithParamInterface<int> {};

TEST_P(TempDirectorySignalTest, ASignalThatEndsTheProgramRemovesTheDirectoryFirst) {
    const std::string tmp = scratch_.Path("tmp");
    fs::create_directory(tmp);
    const int signalNumber = GetParam();
    // The child process makes its directory with a few files and is ended by the signal; the
    // directory must be gone although no destructor ran.
    EXPECT_EXIT(
        {
            TempDirectory directory(TempLocations{tmp, "", ""});
            for (int i = 0; i < 300; ++i) {
                WriteFile(directory.Path() + "file-with-a-long-name-" + std::to_string(i), "x");
            }
            ::raise(signalNumber);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(signalNumber), "");
    EXPECT_TRUE(IsEmptyFolder(tmp));
}

INSTANTIATE_TEST_SUITE_P(Signals, TempDirectorySignalTest, ::testing::Values(SIGINT, SIGTERM));

} // namespace
} // namespace tavelio
