// Saving VANTREL.SET where it is a link, belongs to another user, lies in a
// folder that is not writable, or has the wrong length: the old contents are
// never lost. Tests that need a second user run a child process as uid and
// gid 65534 when the tests run as root.
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "support/tempdir.h"

#include <grp.h>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
constexpr uid_t kOtherId = 65534;

class SettingsSaveTest : public TempDirTest {
protected:
    static struct stat Stat(const char* path)
    {
        struct stat st {};
        EXPECT_EQ(::stat(path, &st), 0) << path;
        return st;
    }
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.insert(entry.path().filename().string());
        return names;
    }
    static std::int32_t SavedDotLength(const std::string& path)
    {
        const Bytes bytes = ReadFile(path);
        EXPECT_EQ(bytes.size(), kRecordSize) << path;
        if (bytes.size() < record::DotLength + 4)
            return -1;
        return bytes[record::DotLength] | bytes[record::DotLength + 1] << 8 | bytes[record::DotLength + 2] << 16;
    }
    // Saves as a user who may write VANTREL.SET (mode 0666) but not its
    // folder: a child process as the second user when root, else this one.
    bool SaveWithoutWritableFolder()
    {
        fs::permissions(kSettingsFileName, fs::perms(0666));
        if (::geteuid() != 0) {
            fs::permissions(dir_, fs::perms(0555));
            const bool saved = SaveSettings();
            fs::permissions(dir_, fs::perms(0755));
            return saved;
        }
        fs::permissions(dir_, fs::perms(0755));
        return SaveAsOtherUser();
    }
    static bool SaveAsOtherUser()
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kOtherId) != 0 || ::setuid(kOtherId) != 0)
                ::_exit(3);
            ::_exit(SaveSettings() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 3) << "could not become the second user";
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
};

TEST_F(SettingsSaveTest, SymbolicLinksAreSavedThroughToTheirTarget)
{
    fs::create_directory("real");
    DotLength = 2000;
    ASSERT_TRUE(SaveSettings("real/vantrel.dat"));
    fs::create_symlink("real/vantrel.dat", "chain");
    fs::create_symlink("chain", kSettingsFileName);

    DotLength = 3000;
    const SettingsSaveResult result = SaveSettingsFile();
    EXPECT_TRUE(result.Saved) << result.Problem;
    EXPECT_TRUE(fs::is_symlink(kSettingsFileName));
    EXPECT_EQ(fs::read_symlink(kSettingsFileName), "chain");
    EXPECT_EQ(SavedDotLength("real/vantrel.dat"), 3000);
    EXPECT_EQ(Names(), (std::set<std::string>{"real", "chain", kSettingsFileName}));
    EXPECT_EQ(fs::directory_iterator("real")->path().filename(), "vantrel.dat"); // no temporary file left

    // A link to a file not made yet makes it; a link into a missing folder
    // saves nothing and says why.
    fs::remove(kSettingsFileName);
    fs::create_symlink("real/new.dat", kSettingsFileName);
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(fs::is_symlink(kSettingsFileName));
    EXPECT_EQ(SavedDotLength("real/new.dat"), 3000);
    fs::remove(kSettingsFileName);
    fs::create_symlink("missing/x.dat", kSettingsFileName);
    const SettingsSaveResult lost = SaveSettingsFile();
    EXPECT_FALSE(lost.Saved);
    EXPECT_EQ(lost.Problem, "cannot write VANTREL.SET : No such file or directory");
    EXPECT_TRUE(fs::is_symlink(kSettingsFileName));
}

TEST_F(SettingsSaveTest, AnotherUsersFileKeepsItsOwnerAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the file to a second user";
    ASSERT_TRUE(SaveSettings());
    ASSERT_EQ(::chown(kSettingsFileName, kOtherId, kOtherId), 0);
    fs::permissions(kSettingsFileName, fs::perms(0640));
    DotLength = 4000; // a run through sudo
    ASSERT_TRUE(SaveSettings());
    struct stat st = Stat(kSettingsFileName);
    EXPECT_EQ(st.st_uid, kOtherId);
    EXPECT_EQ(st.st_gid, kOtherId);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(SavedDotLength(kSettingsFileName), 4000);

    // And back: root's own file stays root's.
    ASSERT_EQ(::chown(kSettingsFileName, 0, 0), 0);
    DotLength = 5000;
    ASSERT_TRUE(SaveSettings());
    st = Stat(kSettingsFileName);
    EXPECT_EQ(st.st_uid, 0u);
    EXPECT_EQ(st.st_gid, 0u);
    EXPECT_EQ(SavedDotLength(kSettingsFileName), 5000);
}

TEST_F(SettingsSaveTest, AFileWhoseOwnerCannotBeGivenIsRewrittenInPlace)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root for a second user";
    ASSERT_TRUE(SaveSettings());
    fs::permissions(kSettingsFileName, fs::perms(0666));
    fs::permissions(dir_, fs::perms(0777)); // the second user could make a file here
    const ino_t inode = Stat(kSettingsFileName).st_ino;
    DotLength = 6000;
    EXPECT_TRUE(SaveAsOtherUser());
    const struct stat st = Stat(kSettingsFileName);
    EXPECT_EQ(st.st_uid, 0u); // not given to the second user
    EXPECT_EQ(st.st_ino, inode);
    EXPECT_EQ(st.st_mode & 07777, 0666u);
    EXPECT_EQ(SavedDotLength(kSettingsFileName), 6000);
    EXPECT_EQ(Names(), (std::set<std::string>{kSettingsFileName}));
}

TEST_F(SettingsSaveTest, ReadOnlyFolderHoldingAWritableFile)
{
    ASSERT_TRUE(SaveSettings());
    const ino_t inode = Stat(kSettingsFileName).st_ino;
    DotLength = 7000;
    EXPECT_TRUE(SaveWithoutWritableFolder());
    EXPECT_EQ(Stat(kSettingsFileName).st_ino, inode);
    EXPECT_EQ(SavedDotLength(kSettingsFileName), 7000);
    EXPECT_EQ(Names(), (std::set<std::string>{kSettingsFileName}));

    // A file of the wrong length cannot be kept there: it stays as it was.
    Bytes shortFile(3103, 0x5A);
    WriteFile(kSettingsFileName, shortFile);
    EXPECT_FALSE(SaveWithoutWritableFolder());
    EXPECT_EQ(ReadFile(kSettingsFileName), shortFile);
}

TEST_F(SettingsSaveTest, WrongLengthFileIsKeptBesideTheNewOne)
{
    const Bytes shortFile(3103, 0x11);
    WriteFile(kSettingsFileName, shortFile);
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(SettingsFileNotice(),
              "VANTREL.SET has 3103 bytes instead of 3104 : the defaults are used, and it will be kept as "
              "VANTREL.SET.bad when the settings are saved");
    SettingsSaveResult result = SaveSettingsFile();
    EXPECT_TRUE(result.Saved) << result.Problem;
    EXPECT_EQ(result.KeptAs, "VANTREL.SET.bad");
    EXPECT_EQ(ReadFile("VANTREL.SET.bad"), shortFile);
    EXPECT_EQ(SavedDotLength(kSettingsFileName), 1000);
    EXPECT_EQ(SettingsFileNotice(), "");

    // A longer one is kept too, under a free name.
    Bytes longFile = ReadFile(kSettingsFileName);
    longFile.resize(4000, 0x22);
    WriteFile(kSettingsFileName, longFile);
    EXPECT_EQ(SettingsFileNotice(),
              "VANTREL.SET has 4000 bytes instead of 3104 : only its first record is used, and it will be "
              "kept as VANTREL.SET.bad.2 when the settings are saved");
    result = SaveSettingsFile();
    EXPECT_EQ(result.KeptAs, "VANTREL.SET.bad.2");
    EXPECT_EQ(ReadFile("VANTREL.SET.bad.2"), longFile);
    EXPECT_EQ(ReadFile("VANTREL.SET.bad"), shortFile);
    EXPECT_EQ(ReadFile(kSettingsFileName).size(), kRecordSize);
}

TEST_F(SettingsSaveTest, TemporaryFilesOfAKilledSaveAreRemoved)
{
    WriteFile("VANTREL.SET.tmpAb12Cd", Bytes(kRecordSize, 1));
    WriteFile("VANTREL.SET.tmpZZ9999", Bytes(100, 1));
    for (const char* kept : {"VANTREL.SET.backup", "VANTREL.SET.bad", "VANTREL.SET.tmpAb12Cd7", "VANTREL.SET.tmp-b12Cd"})
        WriteFile(kept, Bytes(kRecordSize, 2));
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(Names(), (std::set<std::string>{kSettingsFileName, "VANTREL.SET.backup", "VANTREL.SET.bad",
                                              "VANTREL.SET.tmpAb12Cd7", "VANTREL.SET.tmp-b12Cd"}));
}

TEST_F(SettingsSaveTest, ReadOnlyFileOrNoFileAtAllIsToldBeforehand)
{
    EXPECT_EQ(SettingsFileNotice(), ""); // a first run
    ASSERT_TRUE(SaveSettings());
    fs::permissions(kSettingsFileName, fs::perms(0444));
    EXPECT_EQ(SettingsFileNotice(), "VANTREL.SET is read-only : changes to the settings will not be saved");
    const SettingsSaveResult result = SaveSettingsFile();
    EXPECT_FALSE(result.Saved);
    EXPECT_TRUE(result.ReadOnly);
    EXPECT_EQ(result.Problem, "VANTREL.SET is read-only");

    fs::remove(kSettingsFileName);
    fs::create_directory(kSettingsFileName);
    EXPECT_EQ(SettingsFileNotice(),
              "VANTREL.SET is a folder, not a file : the settings can be neither loaded nor saved, the defaults are used");
    EXPECT_EQ(SaveSettingsFile().Problem, "VANTREL.SET is a folder, not a file");
    EXPECT_TRUE(fs::is_directory(kSettingsFileName));
}

// A pipe, a device or a folder under the settings' name is never opened (a
// pipe without a writer would wait, a device read as zeros): the defaults
// stand, the notice and the save say what it is, and it is left alone.
TEST_F(SettingsSaveTest, APipeADeviceOrAFolderIsNoSettingsFile)
{
    for (const std::string what : {"a pipe", "a device", "a folder"}) {
        fs::remove(kSettingsFileName);
        if (what == "a pipe")
            ASSERT_EQ(::mkfifo(kSettingsFileName, 0644), 0);
        else if (what == "a device")
            fs::create_symlink("/dev/zero", kSettingsFileName);
        else
            fs::create_directory(kSettingsFileName);
        ::alarm(10); // an opening that waits ends the test here
        EXPECT_FALSE(LoadSettings()) << what;
        ::alarm(0);
        EXPECT_EQ(DotLength, 1000) << what;
        const std::string said = std::string(kSettingsFileName) + " is " + what + ", not a file";
        EXPECT_EQ(SettingsFileNotice().rfind(said + " : ", 0), 0u) << SettingsFileNotice();
        EXPECT_EQ(SaveSettingsFile().Problem, said);
        EXPECT_FALSE(fs::is_regular_file(kSettingsFileName)) << what;
    }
}

} // namespace
