// CHOOO: lets the user edit the command list, with a worked example on request.
#pragma once

namespace kelvaro {

struct Session;

void CHOOO(Session& s);

}  // namespace kelvaro
