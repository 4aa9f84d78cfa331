// The topics of the help index and the texts of their help pages.
#pragma once

#include <cstdint>
#include <vector>

// One line of a help page; line 0 is never used.
struct HelpLine {
    int number;
    const char* text;
};

struct HelpTopicEntry {
    std::uint8_t code; // HelpTopic, the help index hands it to the help page
    const char* label;   // in the help index
    const char* caption; // of the help page
    const char* hint;    // of the index label
    std::vector<HelpLine> lines;
};

// The page's memo has this many lines, numbered from 0.
inline constexpr int kHelpPageLines = 14;

// All topics in the order of the help index.
const std::vector<HelpTopicEntry>& HelpTopics();

// The topic with this code, or nullptr when the code has no page.
const HelpTopicEntry* FindHelpTopic(std::uint8_t code);
