#include "settings/portsfile.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "support/tempdir.h"

#include <csignal>
#include <map>
#include <random>
#include <sys/resource.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

class SettingsFileTest : public TempDirTest {
protected:
    // Start-up as the main window does it.
    static bool StartUp()
    {
        SetDefaultSettings();
        return LoadSettings();
    }
};

TEST_F(SettingsFileTest, FirstRunWritesTheDefaultRecordByteForByte)
{
    EXPECT_FALSE(StartUp());
    ASSERT_TRUE(SaveSettings());

    const Bytes file = ReadFile(kSettingsFileName);
    ASSERT_EQ(file.size(), 3104u);
    const std::map<std::size_t, std::uint8_t> nonZero = {
        {3, 0x01}, {4, 0x01}, {12, 0xE8}, {13, 0x03}, {16, 0x01}, {20, 0x01}, {28, 0x64},
        {32, 0x64}, {37, 0x03}, {46, 0x89}, {47, 0x40}, {54, 0x79}, {55, 0x40}, {61, 0x40},
        {62, 0x79}, {63, 0x40}, {70, 0x49}, {71, 0x40}, {3090, 0x06}, {3096, 0x56}};
    for (std::size_t i = 0; i < file.size(); ++i) {
        const auto it = nonZero.find(i);
        EXPECT_EQ(file[i], it == nonZero.end() ? 0 : it->second) << "offset " << i;
    }
}

TEST_F(SettingsFileTest, EveryFieldRoundTrips)
{
    DfcwMode = true; RatioCode = 0; DotLength = 3599000; KeyGap = 2000; FskNormal = false;
    OmitKeyGaps = true; TextNumber = 7; PortNumber = kPortLpt2; ComSwap = true;
    LptWiring = kWiringDx4win; RepeatCount = 99; RepeatInterval = 42; SyncPeriod = 6; QskMode = 3;
    TxDelay = 1000; RxDelay = 300; SidetoneOn = true; DfcwToneOn = true; UseSpeaker = false;
    SidetoneFreq = 1234.5; DotToneFreq = 20.1; DashToneFreq = 19999.9; SoundLevel = 0.1;
    AlarmTime = 999;
    for (int k = 1; k <= 12; ++k)
        Texts[static_cast<std::size_t>(k)] = "TEXT " + std::to_string(k);
    Texts[3] = std::string(250, 'Q');
    StartId.Enabled = true; StopId.Enabled = false; StartId.Wpm = StopId.Wpm = 12;
    ASSERT_TRUE(SaveSettings());

    SettingsRecord.fill(0);
    ASSERT_TRUE(StartUp());
    EXPECT_TRUE(DfcwMode); EXPECT_EQ(RatioCode, 0); EXPECT_EQ(DotLength, 3599000);
    EXPECT_EQ(KeyGap, 2000); EXPECT_FALSE(FskNormal); EXPECT_TRUE(OmitKeyGaps);
    EXPECT_EQ(TextNumber, 7); EXPECT_EQ(PortNumber, 21); EXPECT_TRUE(ComSwap);
    EXPECT_EQ(LptWiring, 0x44); EXPECT_EQ(RepeatCount, 99); EXPECT_EQ(RepeatInterval, 42);
    EXPECT_EQ(SyncPeriod, 6); EXPECT_EQ(QskMode, 3); EXPECT_EQ(TxDelay, 1000); EXPECT_EQ(RxDelay, 300);
    EXPECT_TRUE(SidetoneOn); EXPECT_TRUE(DfcwToneOn); EXPECT_FALSE(UseSpeaker);
    EXPECT_EQ(SidetoneFreq, 1234.5); EXPECT_EQ(DotToneFreq, 20.1); EXPECT_EQ(DashToneFreq, 19999.9);
    EXPECT_EQ(SoundLevel, 0.1); EXPECT_EQ(AlarmTime, 999);
    for (int k = 1; k <= 12; ++k) {
        if (k != 3) {
            EXPECT_EQ(Texts[static_cast<std::size_t>(k)], "TEXT " + std::to_string(k));
        }
    }
    EXPECT_EQ(Texts[3], std::string(250, 'Q'));
    EXPECT_EQ(StartId.Text, "TEXT 11");
    EXPECT_EQ(StopId.Text, "TEXT 12");
    EXPECT_TRUE(StartId.Enabled); EXPECT_FALSE(StopId.Enabled);
    EXPECT_EQ(StartId.Wpm, 12); EXPECT_EQ(StopId.Wpm, 12);
    // Not persisted: every run starts with these.
    EXPECT_EQ(StartTime, "000000");
    EXPECT_EQ(StopTime, "");
}

TEST_F(SettingsFileTest, ShortFileKeepsDefaultsAndSaveWritesAWholeRecord)
{
    Bytes file(3103, 0);
    file[record::DotLength] = 0x10; // would be 16 ms if it were taken
    WriteFile(kSettingsFileName, file);
    EXPECT_FALSE(StartUp());
    EXPECT_EQ(DotLength, 1000);
    EXPECT_EQ(RepeatCount, 1);
    ASSERT_TRUE(SaveSettings());
    const Bytes saved = ReadFile(kSettingsFileName);
    ASSERT_EQ(saved.size(), 3104u);
    EXPECT_EQ(saved[record::DotLength], 0xE8);
}

TEST_F(SettingsFileTest, LongerFileReadsTheFirstRecordAndIsTruncatedOnSave)
{
    SetDefaultSettings();
    DotLength = 5000;
    ASSERT_TRUE(SaveSettings());
    Bytes file = ReadFile(kSettingsFileName);
    file.resize(5000, 0xAA);
    WriteFile(kSettingsFileName, file);

    ASSERT_TRUE(StartUp());
    EXPECT_EQ(DotLength, 5000);
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadFile(kSettingsFileName).size(), 3104u);
}

TEST_F(SettingsFileTest, MissingOrUnreadableFileKeepsDefaults)
{
    EXPECT_FALSE(StartUp());
    std::filesystem::create_directory(kSettingsFileName); // opens, but cannot be read
    EXPECT_FALSE(StartUp());
    EXPECT_EQ(DotLength, 1000);
    EXPECT_EQ(TextNumber, 1);
}

TEST_F(SettingsFileTest, LowBytesOfWideFieldsAndTheOneSpeedByte)
{
    Bytes file(3104, 0);
    file[record::PortNumber] = 0x15; // 0x115: only the low byte is read back
    file[record::PortNumber + 1] = 0x01;
    file[record::RepeatCount] = 0x05;
    file[record::RepeatCount + 2] = 0x7F;
    file[record::RepeatInterval] = 0x0C;
    file[record::RepeatInterval + 3] = 0xFF;
    file[record::IdWpm] = 12;
    WriteFile(kSettingsFileName, file);
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(PortNumber, 21);
    EXPECT_EQ(RepeatCount, 5);
    EXPECT_EQ(RepeatInterval, 12);
    EXPECT_EQ(StartId.Wpm, 12);
    EXPECT_EQ(StopId.Wpm, 12);

    // Written zero-extended; the speed byte comes from the stop identification.
    StartId.Wpm = 9;
    StopId.Wpm = 15;
    ASSERT_TRUE(SaveSettings());
    const Bytes saved = ReadFile(kSettingsFileName);
    EXPECT_EQ(Bytes(saved.begin() + 8, saved.begin() + 12), (Bytes{21, 0, 0, 0}));
    EXPECT_EQ(Bytes(saved.begin() + 20, saved.begin() + 28), (Bytes{5, 0, 0, 0, 12, 0, 0, 0}));
    EXPECT_EQ(saved[record::IdWpm], 15);
}

TEST_F(SettingsFileTest, TextLengthBytesAbove250AreCutAndTailsAndGapsKept)
{
    std::mt19937 random(7);
    Bytes file(3104);
    for (auto& b : file)
        b = static_cast<std::uint8_t>(random());
    for (int k = 1; k <= 12; ++k)
        file[record::Texts + record::TextSlot * static_cast<std::size_t>(k - 1)] =
            static_cast<std::uint8_t>(k <= 5 ? 250 + k : k); // 251..255, then short texts
    WriteFile(kSettingsFileName, file);
    ASSERT_TRUE(StartUp());
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(Texts[static_cast<std::size_t>(k)].size(), 250u) << k;
    EXPECT_EQ(Texts[6].size(), 6u);

    // Shorten text 12: the bytes behind its new length stay as the file had them.
    Texts[12] = "DE";
    ASSERT_TRUE(SaveSettings());
    const Bytes saved = ReadFile(kSettingsFileName);
    const std::size_t slot12 = record::Texts + record::TextSlot * 11;
    EXPECT_EQ(saved[slot12], 2);
    EXPECT_EQ(saved[slot12 + 1], 'D');
    for (std::size_t i = slot12 + 3; i < slot12 + record::TextSlot; ++i)
        EXPECT_EQ(saved[i], file[i]) << i;
    for (const std::size_t gap : {5u, 6u, 7u, 17u, 18u, 19u, 3092u, 3093u, 3097u, 3103u})
        EXPECT_EQ(saved[gap], file[gap]) << gap;
}

TEST_F(SettingsFileTest, GarbageFileLoadsAndSavesStably)
{
    std::mt19937 random(11);
    for (int round = 0; round < 50; ++round) {
        Bytes file(3104);
        for (auto& b : file)
            b = static_cast<std::uint8_t>(random());
        WriteFile(kSettingsFileName, file);
        ASSERT_TRUE(StartUp());
        EXPECT_GE(SelectedTextNumber(), 1);
        EXPECT_LE(SelectedTextNumber(), 10);
        EXPECT_LE(EffectiveSyncPeriod(), 6);
        EXPECT_LE(EffectiveQskMode(), 3);
        ASSERT_TRUE(SaveSettings());
        const Bytes first = ReadFile(kSettingsFileName);
        ASSERT_TRUE(StartUp());
        ASSERT_TRUE(SaveSettings());
        EXPECT_EQ(ReadFile(kSettingsFileName), first);
    }
}

TEST_F(SettingsFileTest, OutOfRangeTableSettingsFallBackToTheirDefaults)
{
    TextNumber = 0;
    EXPECT_EQ(SelectedTextNumber(), 1);
    TextNumber = 11;
    EXPECT_EQ(SelectedTextNumber(), 1);
    TextNumber = 10;
    EXPECT_EQ(SelectedTextNumber(), 10);
    SyncPeriod = 7;
    EXPECT_EQ(EffectiveSyncPeriod(), 0);
    QskMode = 4;
    EXPECT_EQ(EffectiveQskMode(), 0);
}

TEST_F(SettingsFileTest, EachWorkingDirectoryHasItsOwnFile)
{
    DotLength = 7000;
    ASSERT_TRUE(SaveSettings());
    std::filesystem::create_directory("other");
    std::filesystem::current_path("other");
    EXPECT_FALSE(StartUp());
    EXPECT_EQ(DotLength, 1000);
    ASSERT_TRUE(SaveSettings());
    std::filesystem::current_path("..");
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(DotLength, 7000);
}

// The save must never leave a truncated file: a write that fails half-way
// (here: a file size limit, as a full disk would) keeps the old file whole.
TEST_F(SettingsFileTest, FailedWriteLeavesTheOldFileWhole)
{
    DotLength = 2000;
    ASSERT_TRUE(SaveSettings());
    const Bytes before = ReadFile(kSettingsFileName);

    DotLength = 3000;
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{1000, old.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveSettings();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(kSettingsFileName), before);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(SettingsFileTest, ReadOnlyFileIsReadButNotReplaced)
{
    DotLength = 2000;
    ASSERT_TRUE(SaveSettings());
    std::filesystem::permissions(kSettingsFileName, std::filesystem::perms::owner_read);
    const Bytes before = ReadFile(kSettingsFileName);
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(DotLength, 2000);
    DotLength = 3000;
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(ReadFile(kSettingsFileName), before);
}

TEST_F(SettingsFileTest, SaveKeepsTheFileMode)
{
    ASSERT_TRUE(SaveSettings());
    std::filesystem::permissions(kSettingsFileName, std::filesystem::perms::owner_read
                                     | std::filesystem::perms::owner_write);
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(std::filesystem::status(kSettingsFileName).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(ShortStrings, CutAtTheirLength)
{
    EXPECT_EQ(Short(std::string(300, 'A')).size(), 250u);
    EXPECT_EQ(Short("ABC"), "ABC");
    EXPECT_EQ(Short("12345678901", kShortMax), "1234567890");
}

// A key's every line changes (the program takes the last), a commented-out
// one is no key, and the file is read back as written.
TEST(PortsFileEdit, KeysChangedInPlaceRemovedOrAppended)
{
    using Changes = std::vector<std::pair<std::string, std::string>>;
    const struct {
        const char* before;
        Changes changes;
        const char* after;
    } cases[] = {
        {"", {{"gpio.key", "17"}}, "gpio.key = 17\n"},
        {"gpio.key=5\ngpio.key = 6 # twice", {{"gpio.key", "7"}}, "gpio.key = 7\ngpio.key = 7  # twice\n"},
        {"#gpio.dfcw = 22\r\ngpio.dfcw = 3\r\n", {{"gpio.dfcw", ""}}, "#gpio.dfcw = 22\r\n"},
        {"#gpio.dfcw = 22\n", {{"gpio.dfcw", "4"}, {"gpio.key", ""}}, "#gpio.dfcw = 22\ngpio.dfcw = 4\n"},
        {"no equals\nradio.model = 1\n", {{"radio.model", "2"}}, "no equals\nradio.model = 2\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EditPortsText(c.before, c.changes), c.after) << c.before;
}

TEST_F(SettingsFileTest, PortsFileWrittenWholeThroughALinkWithItsMode)
{
    ASSERT_EQ(WritePortsFile("real.PORTS", "gpio.key = 1\n"), "");
    std::filesystem::permissions("real.PORTS", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("real.PORTS", kPortsFileName);
    ASSERT_EQ(WritePortsFile(kPortsFileName, EditPortsText("gpio.key = 1\n", {{"gpio.ptt", "27"}})), "");
    EXPECT_TRUE(std::filesystem::is_symlink(kPortsFileName));
    EXPECT_EQ(std::filesystem::status("real.PORTS").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(ReadPortsFile().values, (std::map<std::string, std::string>{{"gpio.key", "1"}, {"gpio.ptt", "27"}}));
    // No temporary file left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), 2);
}

} // namespace
