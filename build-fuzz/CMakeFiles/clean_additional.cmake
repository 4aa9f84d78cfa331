# Additional clean files
cmake_minimum_required(VERSION 3.16)

if("${CONFIG}" STREQUAL "" OR "${CONFIG}" STREQUAL "RelWithDebInfo")
  file(REMOVE_RECURSE
  "src/CMakeFiles/vantrel_autogen.dir/AutogenUsed.txt"
  "src/CMakeFiles/vantrel_autogen.dir/ParseCache.txt"
  "src/CMakeFiles/vantrel_ui_autogen.dir/AutogenUsed.txt"
  "src/CMakeFiles/vantrel_ui_autogen.dir/ParseCache.txt"
  "src/vantrel_autogen"
  "src/vantrel_ui_autogen"
  "tests/fuzz/CMakeFiles/fuzz_settings_autogen.dir/AutogenUsed.txt"
  "tests/fuzz/CMakeFiles/fuzz_settings_autogen.dir/ParseCache.txt"
  "tests/fuzz/CMakeFiles/fuzz_texts_autogen.dir/AutogenUsed.txt"
  "tests/fuzz/CMakeFiles/fuzz_texts_autogen.dir/ParseCache.txt"
  "tests/fuzz/CMakeFiles/fuzz_tone_autogen.dir/AutogenUsed.txt"
  "tests/fuzz/CMakeFiles/fuzz_tone_autogen.dir/ParseCache.txt"
  "tests/fuzz/fuzz_settings_autogen"
  "tests/fuzz/fuzz_texts_autogen"
  "tests/fuzz/fuzz_tone_autogen"
  "tools/CMakeFiles/vantrel-timeline_autogen.dir/AutogenUsed.txt"
  "tools/CMakeFiles/vantrel-timeline_autogen.dir/ParseCache.txt"
  "tools/CMakeFiles/vantrel-tone_autogen.dir/AutogenUsed.txt"
  "tools/CMakeFiles/vantrel-tone_autogen.dir/ParseCache.txt"
  "tools/vantrel-timeline_autogen"
  "tools/vantrel-tone_autogen"
  )
endif()
