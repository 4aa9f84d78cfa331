// Runs the engine in simulated time and reads its timeline.
#pragma once

#include "keying/linecheck.h"
#include "keying/timeline.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

struct Edge {
    std::int64_t at;      // ms after the run's start
    bool on;
    std::uint8_t state;   // the state of the tick
    std::int64_t due;     // NextEvent before that tick, ms after the start
};

class EngineTest : public testing::Test {
protected:
    void SetUp() override { SetDefaultSettings(); }
    void TearDown() override { SetDefaultSettings(); }

    // A start-now transmission of `text` at `msOfDay`.
    void StartNow(const std::string& text, std::int64_t msOfDay = 10 * 3600000LL)
    {
        Texts[1] = text;
        TextNumber = 1;
        RunKind = kRunTransmit;
        StartImmediately = true;
        run_->Start(msOfDay);
    }
    // A start-later transmission of `text` at "HHMMSS" `startTime`, shown at `msOfDay`.
    void StartLater(const std::string& text, const std::string& startTime, std::int64_t msOfDay,
                    const std::string& stopTime = "")
    {
        Texts[1] = text;
        TextNumber = 1;
        StartTime = startTime;
        StopTime = stopTime;
        RunKind = kRunTransmit;
        StartImmediately = false;
        run_->Start(msOfDay);
    }
    bool RunToEnd(std::int64_t limitMs = 48LL * 3600000) { return run_->Run(limitMs); }

    // Changes of one line, with repeated calls at the same level folded.
    std::vector<Edge> Edges(TimelineEvent::Kind kind) const
    {
        std::vector<Edge> edges;
        bool level = false;
        bool known = false;
        for (const auto& e : run_->events) {
            if (e.kind != kind || (known && e.level == level))
                continue;
            known = true;
            level = e.level;
            edges.push_back({e.at - run_->startAbs, e.level, e.state, e.due - run_->startAbs});
        }
        return edges;
    }
    std::vector<Edge> KeyEdges() const { return Edges(TimelineEvent::Key); }
    // Key-down intervals as (on, off) in ms after the start.
    std::vector<std::pair<std::int64_t, std::int64_t>> KeyDowns() const
    {
        std::vector<std::pair<std::int64_t, std::int64_t>> downs;
        for (const Edge& e : KeyEdges()) {
            if (e.on)
                downs.emplace_back(e.at, -1);
            else if (!downs.empty() && downs.back().second < 0)
                downs.back().second = e.at;
        }
        return downs;
    }
    // When the engine first entered `state`, ms after the start; -1 if never.
    std::int64_t StateAt(std::uint8_t state, int occurrence = 1) const
    {
        for (const auto& e : run_->events)
            if (e.kind == TimelineEvent::State && e.state == state && --occurrence == 0)
                return e.at - run_->startAbs;
        return -1;
    }
    std::vector<TimelineEvent> TransmissionStarts() const { return ::TransmissionStarts(run_->events); }
    bool LastLevel(TimelineEvent::Kind kind) const
    {
        for (auto it = run_->events.rbegin(); it != run_->events.rend(); ++it)
            if (it->kind == kind)
                return it->level;
        return false;
    }
    keying::KeyEngine& Engine() { return run_->engine; }
    // Ticks until `relative` ms after the start, whether or not the engine closed.
    void TickTo(std::int64_t relative)
    {
        while (run_->clock.Abs() - run_->startAbs < relative)
            run_->Tick();
    }
    void TickFor(std::int64_t ms) { TickTo(run_->clock.Abs() - run_->startAbs + ms); }
    LineCheck Check(std::size_t sinceEvent = SIZE_MAX) const
    {
        return CheckLines(run_->events, run_->clock.Abs(), sinceEvent);
    }

    std::unique_ptr<TimelineRun> run_ = std::make_unique<TimelineRun>();
};
