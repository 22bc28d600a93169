// FIXIT: sets the store up afresh with a list that holds only its header line.
#pragma once

#include <string_view>

namespace kelvaro {

struct Session;

// The header line of every command list: the instruction to the user.
inline constexpr std::string_view kHeaderLine =
    "请把要转化的Wps类型文件的完整路径输入到该文本文档中，一行输入一个文件！";

void FIXIT(Session& s);

}  // namespace kelvaro
