// CHAAA: the conversion run, from the stored command list to the copies.
#pragma once

namespace kelvaro {

struct Session;

void CHAAA(Session& s);

// Checks the loaded commands and makes them paths; with faults it reports them and ends the run.
void IFERROR(Session& s);

}  // namespace kelvaro
