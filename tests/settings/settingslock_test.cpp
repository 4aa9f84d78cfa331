// One Vantrel per settings file: a second process is refused with the
// holder's id, asking again keeps the lock, and the lock goes with the
// process that held it however that ended.
#include "settings/settingslock.h"
#include "support/tempdir.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class SettingsLockTest : public TempDirTest {
protected:
    void TearDown() override
    {
        UnlockSettingsFile();
        TempDirTest::TearDown();
    }
    // A child process that takes the lock and reports its state; it holds
    // the lock until killed.
    static pid_t Holder(SettingsLock::State& state)
    {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const char s = static_cast<char>(LockSettingsFile().state);
            [[maybe_unused]] const ssize_t n = ::write(ready[1], &s, 1);
            ::pause();
            ::_exit(0);
        }
        char s = -1;
        EXPECT_EQ(::read(ready[0], &s, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        state = static_cast<SettingsLock::State>(s);
        return pid;
    }
    static void Kill(pid_t pid)
    {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
};

TEST_F(SettingsLockTest, ASecondProcessIsRefusedWithTheHoldersId)
{
    fs::create_directory("shared");
    fs::create_symlink("shared/VANTREL.SET", kSettingsFileName); // not made yet
    SettingsLock::State childState{};
    const pid_t first = Holder(childState);
    ASSERT_EQ(childState, SettingsLock::Held);

    SettingsLock lock = LockSettingsFile();
    EXPECT_EQ(lock.state, SettingsLock::Busy);
    EXPECT_EQ(lock.holder, first);
    // Beside the file the link leads to: two folders that share it share the lock.
    EXPECT_EQ(lock.lockPath, fs::canonical(dir_).string() + "/shared/VANTREL.SET.lock");
    EXPECT_EQ(SettingsLockText(lock), "another Vantrel (process " + std::to_string(first) + ") runs with "
                                          + fs::canonical(dir_).string()
                                          + "/shared/VANTREL.SET : only one Vantrel at a time may use a folder's settings");
    std::string written;
    std::getline(std::ifstream(lock.lockPath), written);
    EXPECT_EQ(written, std::to_string(first));

    // Killed: the kernel has dropped its lock, nothing stale is left.
    Kill(first);
    EXPECT_EQ(LockSettingsFile().state, SettingsLock::Held);
    EXPECT_EQ(LockSettingsFile().state, SettingsLock::Held); // asking again keeps it
    const pid_t second = Holder(childState);
    EXPECT_EQ(childState, SettingsLock::Busy);
    Kill(second);
}

} // namespace
