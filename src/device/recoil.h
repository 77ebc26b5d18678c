// The recoil adjustment: the mouse reports that the recoil of the macro on its first button
// should rise or fall, and every X/Y step of that macro moves one step in y. The body in the
// mouse is rewritten and the user's macro file saved. Runs on the user-interface thread (the
// event thread hands it over), so the macro tables keep one writer.
#pragma once

// up nonzero raises, 0 lowers.
void AdjustRecoil(int up);
