tests/fuzz/fuzz_settings_autogen/timestamp: \
  /work/main/tests/fuzz/CMakeLists.txt \
  /work/main/tests/fuzz/fuzz_settings.cpp \
  /usr/bin/cmake
