// The settings as text: what each kind of setting accepts and refuses (the
// dialogs' rules), the checks across settings, imported lines with their
// faults, and the round trip from the record to text and back.
#include "morse/settingstext.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"

#include <gtest/gtest.h>

namespace {

class SettingsTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultSettings();
        SettingsRecord.fill(0);
    }
    void TearDown() override { SetUp(); }

    static std::vector<std::string> Set(std::initializer_list<const char*> args)
    {
        std::vector<SettingAssignment> assignments;
        for (const char* arg : args) {
            SettingAssignment a;
            EXPECT_TRUE(SplitAssignment(arg, a)) << arg;
            assignments.push_back(a);
        }
        return ApplySettings(assignments);
    }
    // The shown line of `name`.
    static std::string Line(const std::string& name)
    {
        const std::string text = SettingsText();
        const auto at = text.find(name + " = ");
        return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
    }
};

TEST_F(SettingsTextTest, EveryKindRefusesWhatItsDialogRefusesAndNothingChanges)
{
    const struct {
        const char* assignment;
        const char* fault;
    } refused[] = {
        {"DfcwMode=maybe", "DfcwMode = maybe: true or false"},
        {"RatioCode=4", "RatioCode = 4: 0..3"},
        {"DotLength=0", "DotLength = 0: milliseconds of whole seconds, 1000..3599000"},
        {"DotLength=1500", "DotLength = 1500: milliseconds"},
        {"DotLength=3600000", "DotLength = 3600000: milliseconds"},
        {"DotLength=3s", "DotLength = 3s: milliseconds"},
        {"KeyGap=-1000", "KeyGap = -1000: milliseconds of whole seconds, 0..3599000"},
        {"TextNumber=11", "TextNumber = 11: 1..10"},
        {"Texts[1]=CQ, CQ", "Texts[1] = CQ, CQ: , is an invalid CW character"},
        {"Texts[12]=\"A\\x01\"", "Texts[12] = \"A\\x01\": \\x01 is an invalid CW character"},
        {"Texts[2]=\"ABC", "Texts[2] = \"ABC: a text in double quotes needs its closing quote"},
        {"Texts[2]=\"A\\n\"", "Texts[2] = \"A\\n\": escapes in a text"},
        {"PortNumber=COM10", "PortNumber = COM10: 0 (None), 1..9"},
        {"PortNumber=10", "PortNumber = 10: 0 (None)"},
        {"LptWiring=0x55", "LptWiring = 0x55: 0x56 (standard wiring) or 0x44"},
        {"RepeatCount=256", "RepeatCount = 256: 0..255"},
        {"RepeatInterval=-1", "RepeatInterval = -1: 0..255"},
        {"SyncPeriod=7", "SyncPeriod = 7: 0..6"},
        {"QskMode=4", "QskMode = 4: 0..3"},
        {"TxDelay=200", "TxDelay = 200: 0, 100, 300 or 1000"},
        {"StartId.Wpm=8", "StartId.Wpm = 8: 6, 9, 12 or 15"},
        {"SidetoneFreq=19.99", "SidetoneFreq = 19.99: 20..20000"},
        {"DashToneFreq=20000.01", "DashToneFreq = 20000.01: 20..20000"},
        {"SoundLevel=100.1", "SoundLevel = 100.1: 0..100"},
        {"SoundLevel=", "SoundLevel = : 0..100"},
        {"AlarmTime=1000", "AlarmTime = 1000: 0..999"},
        {"Bogus=1", "unknown setting Bogus"},
    };
    const std::string before = SettingsText();
    for (const auto& c : refused) {
        // A valid value beside it is not taken either.
        const auto faults = Set({"Texts[10]=VALID", c.assignment});
        ASSERT_EQ(faults.size(), 1u) << c.assignment;
        EXPECT_EQ(faults[0].rfind(c.fault, 0), 0u) << faults[0];
        EXPECT_EQ(SettingsText(), before) << c.assignment;
    }
    // 250 characters are a text; 251 are not.
    EXPECT_TRUE(Set({("Texts[3]=" + std::string(250, 'E')).c_str()}).empty());
    EXPECT_EQ(Set({("Texts[3]=" + std::string(251, 'E')).c_str()}).size(), 1u);
}

TEST_F(SettingsTextTest, ValuesAreStoredAsTheDialogsStoreThem)
{
    const struct {
        const char* assignment;
        const char* line;
    } taken[] = {
        {"OmitKeyGaps=yes", "OmitKeyGaps = true"},
        {"DotLength=3599000", "DotLength = 3599000  # ms"},
        {"KeyGap= 0 ", "KeyGap = 0  # ms"},
        {"FskNormal=0", "FskNormal = false  # reverse"},
        {"Texts[1]=vvv de n0call/b", "Texts[1] = \"VVV DE N0CALL/B\""},
        {"Texts[11]=\"  de n0call  \"", "Texts[11] = \"  DE N0CALL  \""},
        {"PortNumber=lpt2", "PortNumber = 21  # LPT2"},
        {"PortNumber=9", "PortNumber = 9  # COM9"},
        {"LptWiring=68", "LptWiring = 0x44  # DX4WIN compatible"},
        {"RepeatCount=0", "RepeatCount = 0  # endless"},
        {"SyncPeriod=4", "SyncPeriod = 4  # 10 minutes"},
        {"RxDelay=1000", "RxDelay = 1000  # ms"},
        {"SidetoneFreq=800.06", "SidetoneFreq = 800.1  # Hz"},
        {"DotToneFreq=20", "DotToneFreq = 20.0  # Hz"},
        {"SoundLevel=0.05", "SoundLevel = 0.0"}, // a tie goes to the even tenth
        {"AlarmTime=999", "AlarmTime = 999  # seconds"},
    };
    for (const auto& c : taken) {
        SetDefaultSettings();
        ASSERT_TRUE(Set({c.assignment}).empty()) << c.assignment;
        const std::string name = std::string(c.assignment).substr(0, std::string(c.assignment).find('='));
        EXPECT_EQ(Line(name), c.line) << c.assignment;
    }
    // The identification texts are held twice; both change.
    ASSERT_TRUE(Set({"Texts[11]=de x", "Texts[12]=sk"}).empty());
    EXPECT_EQ(StartId.Text, "DE X");
    EXPECT_EQ(StopId.Text, "SK");
}

TEST_F(SettingsTextTest, ChecksAcrossSettings)
{
    // The mode dialog sets the mode and its spacing together.
    EXPECT_EQ(Set({"DfcwMode=true"}).front(),
              "RatioCode = 3 with DfcwMode = true: the mode is QRSS (DfcwMode = false) with RatioCode 3 or 2, "
              "or DFCW with 1, 2 or 0");
    EXPECT_FALSE(DfcwMode);
    EXPECT_TRUE(Set({"DfcwMode=true", "RatioCode=0"}).empty());
    EXPECT_EQ(Line("RatioCode"), "RatioCode = 0  # half space");
    // One speed for both identifications: the file holds one.
    EXPECT_TRUE(Set({"StopId.Wpm=12"}).empty());
    EXPECT_EQ(StartId.Wpm, 12);
    EXPECT_EQ(StopId.Wpm, 12);
    EXPECT_EQ(Set({"StartId.Wpm=9", "StopId.Wpm=15"}).size(), 1u);
    // No alarm on the speaker that sounds the sidetone, whichever of the three is set.
    EXPECT_TRUE(Set({"SidetoneOn=true"}).empty());
    EXPECT_EQ(Set({"AlarmTime=30"}).size(), 1u);
    EXPECT_TRUE(Set({"AlarmTime=30", "UseSpeaker=false"}).empty());
    EXPECT_EQ(Set({"UseSpeaker=true"}).size(), 1u);
    // A state the windows cannot make, held by the file, does not block other settings.
    UseSpeaker = true;
    EXPECT_TRUE(Set({"TextNumber=2"}).empty());
}

TEST_F(SettingsTextTest, ImportedLinesAndTheirFaults)
{
    std::vector<std::string> errors;
    const auto lines = ReadSettingLines("# Vantrel\r\n\n  DotLength = 3000  # ms\r\n"
                                        "Texts[1] = \"A # B\"  # a comment\n\tTextNumber\t=\t2\n",
                                        errors);
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].value, "3000");
    EXPECT_EQ(lines[0].line, 3);
    EXPECT_EQ(lines[1].value, "\"A # B\"");
    EXPECT_EQ(lines[2].name, "TextNumber");

    ReadSettingLines("DotLength\nTexts[1] = \"A\" B\nTexts[2] = \"open\n", errors);
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "line 1: not a setting: NAME = VALUE",
                          "line 2: Texts[1]: nothing but a comment may follow the closing quote",
                          "line 3: Texts[2]: a text in double quotes needs its closing quote"}));

    errors.clear();
    const auto repeated = ReadSettingLines("DotLength = 3000\nKeyGap = 0\nDotLength = 2000\nNoSuch = 1\n", errors);
    EXPECT_EQ(ApplySettings(repeated), (std::vector<std::string>{"line 3: DotLength is given more than once (first on line 1)",
                                                                 "line 4: unknown setting NoSuch"}));
    EXPECT_EQ(DotLength, 1000);
}

TEST_F(SettingsTextTest, EveryValueRoundTripsThroughTheText)
{
    for (const bool changed : {false, true}) {
        SetDefaultSettings();
        if (changed) {
            DfcwMode = true; RatioCode = 2; DotLength = 3599000; KeyGap = 1000; FskNormal = false;
            OmitKeyGaps = true; TextNumber = 10; PortNumber = kPortLpt1; ComSwap = true;
            LptWiring = kWiringDx4win; RepeatCount = 255; RepeatInterval = 60; SyncPeriod = 6; QskMode = 3;
            TxDelay = 0; RxDelay = 300; StartId.Enabled = true; StopId.Enabled = true;
            StartId.Wpm = StopId.Wpm = 15; SidetoneOn = true; DfcwToneOn = true; UseSpeaker = false;
            SidetoneFreq = 19999.9; DotToneFreq = 1234.5; DashToneFreq = 20.1; SoundLevel = 99.9; AlarmTime = 1;
            for (int k = 1; k <= 12; ++k)
                Texts[static_cast<std::size_t>(k)] = std::string(k == 5 ? 241 : k, static_cast<char>('A' + k)) + " ?/.@$+ 0";
            StartId.Text = Texts[11];
            StopId.Text = Texts[12];
        }
        EncodeSettingsRecord();
        const SettingsBytes original = SettingsRecord;
        const std::string text = SettingsText();

        SetDefaultSettings();
        SettingsRecord.fill(0);
        std::vector<std::string> errors;
        const auto lines = ReadSettingLines(text, errors);
        EXPECT_EQ(lines.size(), SettingNames().size());
        ASSERT_TRUE(errors.empty());
        ASSERT_EQ(ApplySettings(lines), std::vector<std::string>{}) << text;
        EncodeSettingsRecord();
        EXPECT_EQ(SettingsRecord, original) << text;
        EXPECT_EQ(SettingsText(), text);
    }
}

} // namespace
