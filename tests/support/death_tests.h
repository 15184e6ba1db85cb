#pragma once

namespace pilfern::test {

// Chooses how the death tests that follow run: each in a new start of the test program
// ("threadsafe", safe whatever threads the game has started) wherever the system can start
// the program again, else in a fork of the running one ("fast"). The 32-bit suite runs under
// an emulator on kernels without 32-bit programs, where a new start is refused: the emulator
// runs the program it was given, not the ones that program starts.
void UseTheSafestDeathTestStyle();

// Whether the system starts this test program again, and so programs of its kind (the
// simulator built beside it); asked once. Always on Windows.
[[nodiscard]] bool SystemStartsThisProgramAgain();

}  // namespace pilfern::test
