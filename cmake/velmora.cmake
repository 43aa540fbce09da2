# SPDX-License-Identifier: GPL-3.0-or-later
# Shared helpers for the folders' CMakeLists.

# Adds every CMakeLists.txt-bearing subfolder of the current folder.
function(velmora_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# velmora_add_test(NAME name SOURCES a.cpp ... LIBS lib ... [QT])
# One GoogleTest executable registered with ctest. QT tests run on the
# offscreen platform so they need no display.
function(velmora_add_test)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 300)
  if(T_QT)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()

# velmora_add_fuzz_target(NAME name SOURCE file.cpp LIBS lib ... CORPUS dir)
# The source defines LLVMFuzzerTestOneInput. Every build gets a replay program
# that runs the target once over each file of the corpus, registered with ctest,
# so the corpus doubles as a regression suite. With VELMORA_FUZZ (clang) the
# real libFuzzer binary is built as well, named fuzz_<name>.
function(velmora_add_fuzz_target)
  cmake_parse_arguments(F "" "NAME;SOURCE;CORPUS" "LIBS" ${ARGN})
  add_executable(replay_${F_NAME} ${F_SOURCE} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(replay_${F_NAME} PRIVATE ${F_LIBS})
  add_test(NAME fuzz_replay_${F_NAME} COMMAND replay_${F_NAME} ${F_CORPUS})
  set_tests_properties(fuzz_replay_${F_NAME} PROPERTIES TIMEOUT 300)
  if(VELMORA_FUZZ)
    add_executable(fuzz_${F_NAME} ${F_SOURCE})
    target_compile_options(fuzz_${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(fuzz_${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(fuzz_${F_NAME} PRIVATE ${F_LIBS})
  endif()
endfunction()
