// The PC speaker through the interval timer's channel 2 and the speaker gate,
// reached only through the port-I/O layer. UI thread only.
#pragma once

class Clock;

// Loads the divisor for `hz`; does not switch the speaker on or off.
void SpeakerFrequency(double hz);
// Opens the gate, then loads the divisor.
void SpeakerOn(double hz);
void SpeakerOff();
// The alarm: 400 Hz rising to 900 Hz in eleven 20 ms steps on `clock`'s sleep
// (about 220 ms, blocking), ending with the speaker off.
void AlarmChirp(Clock& clock);
