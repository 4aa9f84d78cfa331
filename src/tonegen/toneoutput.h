// The tone seam: what the keying engine needs of a tone generator instance.
#pragma once

class ToneOutput {
public:
    virtual ~ToneOutput() = default;
    virtual void SetFrequency(double hz) = 0;
    virtual void SetLeftVolume(int percent) = 0;
    virtual void SetRightVolume(int percent) = 0;
    virtual void Prepare() = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
};

// A tone output that makes no sound, for runs without a sound card.
class SilentTone : public ToneOutput {
public:
    void SetFrequency(double) override {}
    void SetLeftVolume(int) override {}
    void SetRightVolume(int) override {}
    void Prepare() override {}
    void Play() override {}
    void Stop() override {}
};
