// UNINS: removes the store folder after a yes/no question.
#pragma once

namespace kelvaro {

struct Session;

void UNINS(Session& s);

}  // namespace kelvaro
