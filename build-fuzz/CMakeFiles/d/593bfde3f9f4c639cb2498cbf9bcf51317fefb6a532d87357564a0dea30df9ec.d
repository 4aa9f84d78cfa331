tests/fuzz/fuzz_tone_autogen/timestamp: \
  /work/main/tests/fuzz/CMakeLists.txt \
  /work/main/tests/fuzz/fuzz_tone.cpp \
  /usr/bin/cmake
