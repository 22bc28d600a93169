// DOUTING: the farewell screen that ends every orderly run.
#pragma once

namespace kelvaro {

struct Session;

// The update page, opened by the update script.
inline constexpr const char* kUpdatePage = "Http://www.vantuc.example/";

// Shows the farewell, opens the update page on [Q], and ends the run with exit status 0.
[[noreturn]] void DOUTING(Session& s);

}  // namespace kelvaro
