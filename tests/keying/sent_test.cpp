// What is sent: texts from an edited settings file (lower case, characters
// without Morse, nothing to key, dot lengths out of range) and QSK delays that
// do not fit into a gap.
#include "harness.h"

#include "morse/duration.h"

namespace {

using namespace keying;

using Downs = std::vector<std::pair<std::int64_t, std::int64_t>>;

// `text` lower-cased with a character without Morse before each character.
std::string Unkeyable(const std::string& text)
{
    static const std::string without = ",:;'<\x01\x7f\xC9\xE9-";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += without[i % without.size()];
        const char c = text[i];
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out + without[text.size() % without.size()];
}

class SentTest : public EngineTest {
protected:
    // A fresh start of `text` with the settings `setUp` makes.
    void Prepare(const std::function<void()>& setUp, const std::string& text)
    {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        setUp();
        StartNow(text);
    }
    void Run(const std::function<void()>& setUp, const std::string& text)
    {
        Prepare(setUp, text);
        ASSERT_TRUE(RunToEnd(3600000)) << text;
    }
    // Every line operation, one a line: "1500 key 1".
    std::string Lines() const
    {
        static constexpr const char* kinds[] = {"key", "ptt", "dfcw"};
        std::string lines;
        for (const auto& e : run_->events)
            if (e.kind != TimelineEvent::State)
                lines += std::to_string(e.at - run_->startAbs) + ' ' + kinds[e.kind] + ' ' + (e.level ? "1\n" : "0\n");
        return lines;
    }
};

TEST_F(SentTest, CharactersWithoutMorseAndLowerCaseKeyAsTheCleanText)
{
    // The fault seen: "E,E", QSK between characters, TX 300 ms: the second E
    // keyed with PTT off.
    const std::vector<std::pair<const char*, std::function<void()>>> setUps{
        {"QSK characters", [] { QskMode = 2; TxDelay = 300; RxDelay = 100; }},
        {"QSK words", [] { QskMode = 3; TxDelay = 300; RxDelay = 300; }},
        {"QSK elements", [] { QskMode = 1; TxDelay = 1000; RxDelay = 0; }},
        {"DFCW", [] { DfcwMode = true; RatioCode = 1; KeyGap = 500; }},
        {"DFCW omitted gaps", [] { DfcwMode = true; RatioCode = 1; KeyGap = 500; OmitKeyGaps = true; }},
    };
    for (const auto& [name, setUp] : setUps)
        for (const char* clean : {"EE", "E E", "TE AT", "A+T"})
            for (const std::uint8_t wpm : {0, 6, 12}) {
                const auto settings = [&, setUp = setUp](const std::string& id) {
                    setUp();
                    StartId = {id, wpm != 0, wpm == 0 ? std::uint8_t{6} : wpm};
                    StopId = {id + ' ' + id, wpm != 0, StartId.Wpm};
                };
                Run([&] { settings("TE"); }, clean);
                const auto expected = Lines();
                Run([&] { settings(Unkeyable("TE")); }, Unkeyable(clean));
                const std::string what = std::string(name) + " " + clean + " id " + std::to_string(wpm);
                EXPECT_EQ(Lines(), expected) << what;
                if (!DfcwMode) {
                    EXPECT_EQ(Check().keyWithoutPtt, -1) << what;
                }
                EXPECT_EQ(Texts[1], Unkeyable(clean)) << "the stored text stays as it is";
            }
}

TEST_F(SentTest, NothingToKeyEndsAtOnceWithoutPtt)
{
    for (const char* text : {"+", "###", "\x01\x02 ", "", ", ;"}) {
        Run([] { RepeatCount = 0; RepeatInterval = 0; }, text);
        EXPECT_EQ(Check().pttPushes, 0) << text;
        EXPECT_LE(run_->clock.Abs() - run_->startAbs, 200) << text;
    }
    // An identification that keys is something to send.
    Run([] { StopId = {"e", true, 6}; }, "+");
    EXPECT_EQ(KeyDowns().size(), 1u);
}

TEST_F(SentTest, RepeatCheckTimesTheDotLengthThatIsKeyed)
{
    // Endless at 1 min: the check refuses exactly the texts that the keying
    // would not repeat, whatever the file holds for the dot and the gap.
    struct Case {
        bool dfcw;
        std::int32_t dot, gap;
        std::string text;
        bool refused;
    };
    const std::string longQrss(16, 'E');   // 62 s at the held 1 s dot
    const std::string longDfcw(31, 'E');   // 61 s with the held key gap 0
    for (const Case& c : {Case{false, 0, 0, longQrss, true}, Case{false, -5, 0, longQrss, true},
                          Case{false, INT32_MIN, 0, "E", false}, Case{false, 999, 0, longQrss, true},
                          Case{true, 1000, INT32_MIN, longDfcw, true}, Case{true, 0, -1, "EE", false}}) {
        Prepare([&] {
            DfcwMode = c.dfcw;
            RatioCode = c.dfcw ? 1 : 3;
            DotLength = c.dot;
            KeyGap = c.gap;
            RepeatCount = 0;
            RepeatInterval = 1;
            Texts[1] = c.text;
            EXPECT_EQ(RepeatTimeExceeded(), c.refused) << c.dot << " " << c.gap << " " << c.text;
        }, c.text);
        EXPECT_EQ(Engine().R.RepeatPending, !c.refused) << c.dot << " " << c.gap << " " << c.text;
    }
}

TEST_F(SentTest, QskNeverShortensOrDelaysAMarkAfterAGapTooShortForItsDelays)
{
    // The fault seen: QSK between elements, TX delay 1 s, 1 s dots: every
    // mark after a lead 200 ms late and 800 ms long. Against the same text
    // without QSK (from its first mark): every mark ends on its instant and
    // starts on it, or one tick after it where a lead ran.
    int leads = 0, heldOn = 0;
    for (const std::int32_t tx : {1000, 2500, 25000, INT32_MAX})
        for (const std::int32_t rx : {0, 100, 1000})
            for (const std::uint8_t mode : {1, 2, 3})
                for (const char* text : {"I", "EE", "IE TE", "E+E"}) {
                    Run([] {}, text);
                    const Downs plain = KeyDowns();
                    Run([&] { QskMode = mode; TxDelay = tx; RxDelay = rx; }, text);
                    const Downs qsk = KeyDowns();
                    const std::string what = std::string(text) + " mode " + std::to_string(mode) + " tx "
                        + std::to_string(tx) + " rx " + std::to_string(rx);
                    ASSERT_EQ(qsk.size(), plain.size()) << what;
                    for (std::size_t i = 0; i < qsk.size(); ++i) {
                        const std::int64_t late = (qsk[i].first - qsk[0].first) - (plain[i].first - plain[0].first);
                        EXPECT_TRUE(late == 0 || (i > 0 && late == 100)) << what << " mark " << i << " late " << late;
                        EXPECT_EQ(qsk[i].second - qsk[0].first, plain[i].second - plain[0].first) << what << " mark " << i;
                    }
                    const LineCheck c = Check();
                    EXPECT_EQ(c.keyWithoutPtt, -1) << what;
                    EXPECT_GE(c.shortestTxLead, KeyEngine::HeldDelay(tx)) << what;
                    (c.pttPushes > 1 ? leads : heldOn) += 1;
                }
    // Both ways were taken: leads where they fit, PTT held on where not.
    EXPECT_GT(leads, 0);
    EXPECT_GT(heldOn, 0);
}

} // namespace
