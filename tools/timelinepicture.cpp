#include "timelinepicture.h"

#include "keying/grabber.h"
#include "morse/morse.h"

#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

// Local time minus UTC now, in ms: the frames start on the UTC grid.
std::int64_t UtcOffsetMs()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::int64_t>(local.tm_gmtoff) * 1000;
}

} // namespace

bool PictureRequest::Takes(const std::string& option)
{
    return option == "--picture" || option == "--frame" || option == "--width" || option == "--shift";
}

std::optional<std::string> PictureRequest::Take(const std::string& option, const std::string& value)
{
    if (option == "--picture") {
        if (value.empty())
            return "--picture takes a file name";
        file = value;
        return std::nullopt;
    }
    optionsGiven = true;
    if (option == "--shift") {
        const auto hz = ToFloat(value);
        if (!hz || std::abs(*hz) > 10000)
            return "--shift takes a number of Hz from -10000 to 10000, not '" + value + "'";
        shiftHz = *hz;
        return std::nullopt;
    }
    const auto number = ToInteger(value);
    if (option == "--frame") {
        if (!number || *number < 1 || *number > 60)
            return "--frame takes a whole number of minutes from 1 to 60, not '" + value + "'";
        frameMinutes = *number;
    } else {
        if (!number || *number < 60 || *number > 4000)
            return "--width takes a whole number of pixels from 60 to 4000, not '" + value + "'";
        frameWidth = *number;
    }
    return std::nullopt;
}

std::optional<std::string> PictureRequest::Check() const
{
    if (optionsGiven && file.empty())
        return "--frame, --width and --shift go with --picture";
    return std::nullopt;
}

bool WritePicture(const PictureRequest& request, const TimelineRun& run)
{
    const double* shift = request.shiftHz ? &*request.shiftHz : nullptr;
    const keying::GrabberTones tones = keying::TonesOfSettings(shift);
    const std::int64_t end = run.clock.Abs();
    keying::GrabberOptions options;
    options.frameMinutes = request.frameMinutes;
    options.frameWidth = request.frameWidth;
    options.utcOffsetMs = UtcOffsetMs();
    const keying::GrabberPicture picture =
        keying::RenderGrabber(keying::MarksOf(run.events, tones, end), tones, run.startAbs, end, options);
    if (picture.frames < picture.framesInRun)
        std::fprintf(stderr, "vantrel-timeline: the picture shows the first %d of the run's %d frames\n",
                     picture.frames, picture.framesInRun);
    const QImage image(picture.rgb.data(), picture.width, picture.height, picture.width * 3, QImage::Format_RGB888);
    // Fewer than 256 colours: stored exactly with a palette, a third of the size.
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    if (!indexed.save(QString::fromLocal8Bit(request.file.c_str()), "PNG")) {
        std::fprintf(stderr, "vantrel-timeline: cannot write the picture to %s\n", request.file.c_str());
        return false;
    }
    return true;
}
