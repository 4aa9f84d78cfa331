#include "preview.h"

#include "settings/settings.h"

namespace keying {

namespace {

// The settings a preview run changes or must not act on, put back when it ends.
class BorrowedSettings {
public:
    BorrowedSettings()
        : startTime_(StartTime), cancelled_(DialogCancelled), runKind_(RunKind), immediately_(StartImmediately),
          repeatCount_(RepeatCount), useSpeaker_(UseSpeaker), alarmTime_(AlarmTime)
    {
        RunKind = kRunTransmit;
        StartImmediately = true;
        RepeatCount = 1;
        // The PC speaker would sound: the mirror and the alarm chirp go to it.
        UseSpeaker = false;
        AlarmTime = 0;
    }
    ~BorrowedSettings()
    {
        StartTime = startTime_;
        DialogCancelled = cancelled_;
        RunKind = runKind_;
        StartImmediately = immediately_;
        RepeatCount = repeatCount_;
        UseSpeaker = useSpeaker_;
        AlarmTime = alarmTime_;
    }
    BorrowedSettings(const BorrowedSettings&) = delete;
    BorrowedSettings& operator=(const BorrowedSettings&) = delete;

private:
    std::string startTime_;
    bool cancelled_;
    std::uint8_t runKind_;
    bool immediately_;
    std::uint8_t repeatCount_;
    bool useSpeaker_;
    std::uint16_t alarmTime_;
};

constexpr std::int64_t kLimitMs = 48LL * 3600000;

} // namespace

TransmissionPreview PreviewTransmission(std::int64_t day, std::int64_t msOfDay)
{
    const BorrowedSettings borrowed;
    TimelineRun run;
    run.Start(msOfDay, day);
    TransmissionPreview preview;
    preview.ended = run.Run(kLimitMs);
    preview.startAbs = run.startAbs;
    preview.endAbs = run.clock.Abs();
    preview.events = std::move(run.events);
    for (const TimelineEvent& e : preview.events) {
        if (e.kind != TimelineEvent::Key)
            continue;
        if (e.level && preview.firstKey < 0)
            preview.firstKey = e.at;
        if (!e.level && preview.firstKey >= 0)
            preview.lastKey = e.at;
    }
    return preview;
}

} // namespace keying
