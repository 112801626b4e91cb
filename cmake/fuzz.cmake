# zr_fuzz_target(NAME SOURCE LIBRARY...): a libFuzzer target, built only in a
# clang build with -DZR_FUZZ=ON (tools/fuzz.sh runs every one of them).
function(zr_fuzz_target name source)
  if(NOT ZR_FUZZ)
    return()
  endif()
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  zr_warnings(${name})
endfunction()
