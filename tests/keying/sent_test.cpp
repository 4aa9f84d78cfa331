// What is sent of texts from an edited settings file: lower case, characters
// without Morse, nothing to key.
#include "harness.h"

namespace {

class SentTest : public EngineTest {
protected:
    // A fresh run of `text`, after `setUp` has changed the default settings.
    void Run(const std::function<void()>& setUp, const std::string& text)
    {
        SetDefaultSettings();
        run_ = std::make_unique<TimelineRun>();
        setUp();
        StartNow(text);
        ASSERT_TRUE(RunToEnd(3600000)) << text;
    }
    // Every line operation as "1500 0 1" (instant, key/PTT/DFCW, level).
    std::string Lines() const
    {
        std::string lines;
        for (const auto& e : run_->events)
            if (e.kind != TimelineEvent::State)
                lines += std::to_string(e.at - run_->startAbs) + ' ' + char('0' + e.kind) + (e.level ? " 1\n" : " 0\n");
        return lines;
    }
};

TEST_F(SentTest, LowerCaseAndCharactersWithoutMorseKeyAsTheCleanText)
{
    // Seen: "E,E", QSK between characters, TX 300 ms: the second E keyed with PTT off.
    for (const auto& setUp : std::vector<std::function<void()>>{
             [] { QskMode = 2; TxDelay = 300; },
             [] { QskMode = 3; RxDelay = 300; },
             [] { DfcwMode = true; RatioCode = 1; KeyGap = 500; }})
        for (const auto& [clean, unkeyable] : {std::pair{"E E", ",e\x01 ;e'"}, std::pair{"TE+AT", "t\xC9<e+a:t"}}) {
            Run([&] { setUp(); StartId = {"ID", true, 6}; }, clean);
            const std::string expected = Lines();
            Run([&] { setUp(); StartId = {"i,d", true, 6}; }, unkeyable);
            EXPECT_EQ(Lines(), expected) << unkeyable;
            EXPECT_EQ(Texts[1], unkeyable); // stored as written
        }
    // Nothing to key at all: the run ends at its first tick without PTT.
    Run([] { RepeatCount = 0; }, "+,#");
    EXPECT_EQ(Check().pttPushes, 0);
    EXPECT_LE(run_->clock.Abs() - run_->startAbs, 100);
}

} // namespace
