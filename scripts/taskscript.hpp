// Task scripts: written on F into the working directory, run at once, and self-deleting.
#pragma once

#include <initializer_list>
#include <string_view>

namespace kelvaro {

struct Session;

// The per-user store folder and its parent, the maker folder, as the interpreter expands them.
inline constexpr std::string_view kMakerFolder = "%userprofile%\\Application Data\\VantuC";
inline constexpr std::string_view kStoreFolder = "%userprofile%\\Application Data\\VantuC\\Kelvaro";
inline constexpr std::string_view kStoredList =
    "%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt";

// The fetch script's copy: the stored list into the working directory as Command.txt.
inline constexpr std::string_view kFetchLine =
    "copy \"%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt\" \"Command.txt\"";

// Writes the named script's lines on F, closes it, and runs it.
void run_task_script(Session& s, const char* name, std::initializer_list<std::string_view> lines);

// Copy.bat that copies the stored list into the working directory as Command.txt.
void fetch_list(Session& s);

// Copy.bat that puts the working copy into the store, deleting it once it is stored.
void push_list(Session& s);

}  // namespace kelvaro
