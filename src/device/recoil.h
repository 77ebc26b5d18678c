// The recoil adjustment: the mouse reports that the recoil of the macro on its first button
// should rise or fall, and every X/Y step of that macro moves one step in y. The record is
// adjusted and the user's macro list saved whole on the user-interface thread (the event thread
// hands the adjustment over), so the macro tables keep one writer; the body goes to the mouse
// through the device worker (body_writer.h), or on the calling thread where none is installed.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

// up nonzero raises, 0 lowers.
void AdjustRecoil(int up);

// The adjustments of several recoil events in the order they came (each nonzero raises, 0
// lowers): the steps move event by event with the same bounds, then the body in the mouse and
// the macro file are written once, as the events one by one would have left them. written runs
// once the body is in the mouse (on the worker's thread), or before this returns when there is
// no body to write or no worker.
void AdjustRecoilSteps(std::span<const std::uint8_t> ups, std::function<void()> written = {});
