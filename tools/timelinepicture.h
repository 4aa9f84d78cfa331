// vantrel-timeline --picture: the run it prints, drawn as a grabber shows it,
// written as a PNG through Qt's image classes.
#pragma once

#include "keying/timeline.h"

#include <optional>
#include <string>

struct PictureRequest {
    std::string file;           // empty: no picture
    int frameMinutes = 10;
    int frameWidth = 800;
    std::optional<double> shiftHz;
    bool optionsGiven = false;  // --frame, --width or --shift

    // True for the options this takes (each with a value).
    static bool Takes(const std::string& option);
    // Takes `option` with `value`; the error's text when the value is wrong.
    std::optional<std::string> Take(const std::string& option, const std::string& value);
    // After all options: the error's text when they do not go together.
    std::optional<std::string> Check() const;
};

// Draws `run` with the settings' tones and writes the file; prints what went
// wrong (or that the picture shows the run's first frames only) on standard
// error. False when the file could not be written.
bool WritePicture(const PictureRequest& request, const TimelineRun& run);
