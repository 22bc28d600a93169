// Times reading, checking and writing Shift.bat for growing lists, to show the work grows linearly.
#include <benchmark/benchmark.h>

#include <string>

#include "convert/check.hpp"
#include "convert/reader.hpp"
#include "convert/shift.hpp"

namespace kelvaro {
namespace {

// A list of every kind of command the check passes: bare, quoted, with a full-width colon, with
// signs to escape.
std::string list_of(long commands) {
  static const char* const kKinds[] = {"c:\\柯萝\\", "E:\\计划\\2011年\\7月计划", "\"F:\\a a\\",
                                       "D：\\文档\\报告", "C:\\T&J 100%\\"};
  std::string list = "请把要转化的Wps类型文件的完整路径输入到该文本文档中，一行输入一个文件！\r\n";
  for (long i = 0; i < commands; ++i) {
    std::string command = kKinds[i % 5] + std::to_string(i) + ".wps";
    if (i % 5 == 2) command += '"';
    if (i % 5 == 4) command = "\"" + command + "\"";
    list += command + "\r\n";
  }
  return list;
}

void ReadCheckAndWrite(benchmark::State& state) {
  const std::string list = list_of(state.range(0));
  for (auto _ : state) {
    std::size_t at = 0;
    auto commands = read_commands(
        [&]() -> int { return at == list.size() ? -1 : static_cast<unsigned char>(list[at++]); });
    std::vector<Checked> checked;
    checked.reserve(commands.size());
    for (const auto& command : commands) checked.push_back(check_command(command));
    std::string script = "@echo off\r\n";
    for (const auto& c : checked) script += copy_line(c.source, c.target) + "\r\n";
    for (const auto& c : checked) script += delete_line(c.source, c.target) + "\r\n";
    script += "del /f /q shift.bat\r\n";
    benchmark::DoNotOptimize(script.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * list.size()));
  state.SetComplexityN(state.range(0));
}

BENCHMARK(ReadCheckAndWrite)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity(benchmark::oN);

}  // namespace
}  // namespace kelvaro

BENCHMARK_MAIN();
