#pragma once
// The once-a-second checks (timed rows, time signals) look at every second the clock passed
// since their last look, so that a busy moment loses none, up to a few seconds back. A clock
// set back (NTP, the end of summer time) seems to have run almost a day forward: the seconds it
// lives again are no catch-up, only the current one counts. Plain function, any thread.
namespace pelvano::core {

// How many seconds, ending with now, to look at after the last look at `last` (seconds of the
// day): none when now is that second again, else 1 up to maxLateness + 1.
int SecondsToLookAt(int last, int now, int maxLateness);

}  // namespace pelvano::core
