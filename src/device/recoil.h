// The recoil adjustment: the mouse reports that the recoil of the macro on its first button
// should rise or fall, and every X/Y step of that macro moves one step in y. The body in the
// mouse is rewritten and the user's macro list saved whole. Runs on the user-interface thread (the
// event thread hands it over), so the macro tables keep one writer.
#pragma once

#include <cstdint>
#include <span>

// up nonzero raises, 0 lowers.
void AdjustRecoil(int up);

// The adjustments of several recoil events in the order they came (each nonzero raises, 0
// lowers): the steps move event by event with the same bounds, then the body in the mouse and
// the macro file are written once, as the events one by one would have left them.
void AdjustRecoilSteps(std::span<const std::uint8_t> ups);
