// A fresh directory that the test works in; the old working directory and the
// settings' defaults come back afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

class TempDirTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
    static std::vector<std::uint8_t> ReadFile(const std::string& path);

    std::filesystem::path dir_;

private:
    std::filesystem::path old_;
};
