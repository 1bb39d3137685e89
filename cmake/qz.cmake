# Helpers shared by the folders.

# Terminal-side code is restrained C++ for a small ARM7: no exceptions, no
# RTTI, and its texts compiled to the terminal's GBK code page.
set(QZ_TERMINAL_FLAGS -fno-exceptions -fno-rtti -fexec-charset=GBK)

function(qz_terminal_target target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:${QZ_TERMINAL_FLAGS}>
    $<$<COMPILE_LANGUAGE:C>:-fexec-charset=GBK>)
endfunction()

# A GoogleTest program for terminal-side code: its literals are GBK as well,
# so that it compares the bytes the terminal shows and stores.
function(qz_terminal_test target)
  add_executable(${target} ${ARGN})
  target_compile_options(${target} PRIVATE -fexec-charset=GBK)
  target_link_libraries(${target} PRIVATE GTest::gtest_main)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
endfunction()

# A GoogleTest program for PC-side code (UTF-8 literals).
function(qz_pc_test target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest_main)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
endfunction()
