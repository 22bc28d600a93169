# Builds kelvaro-cmd, the POSIX stand-in for the command interpreter, and adds its tests.
# Its sources and messages stay UTF-8: the terminal's character set is chosen at run time.
add_library(kelvaro_standin STATIC interpreter.cpp)
target_include_directories(kelvaro_standin PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(kelvaro_standin PRIVATE ${KELVARO_WARNINGS})

add_executable(kelvaro-cmd kelvaro_cmd.cpp)
target_compile_options(kelvaro-cmd PRIVATE ${KELVARO_WARNINGS})
target_link_libraries(kelvaro-cmd PRIVATE kelvaro_standin)
# The program finds kelvaro-cmd beside itself.
set_target_properties(kelvaro-cmd PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(kelvaro kelvaro-cmd)

target_sources(kelvaro_tests PRIVATE interpreter_test.cpp)
target_link_libraries(kelvaro_tests PRIVATE kelvaro_standin)
add_dependencies(kelvaro_tests kelvaro-cmd)
