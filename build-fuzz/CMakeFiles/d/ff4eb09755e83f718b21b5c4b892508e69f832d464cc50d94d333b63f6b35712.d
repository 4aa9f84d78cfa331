tests/fuzz/fuzz_texts_autogen/timestamp: \
  /work/main/tests/fuzz/CMakeLists.txt \
  /work/main/tests/fuzz/fuzz_texts.cpp \
  /usr/bin/cmake
