#include "tempdir.h"

#include "settings/settings.h"
#include "settings/settingsfile.h"

#include <cstdlib>
#include <iterator>

void TempDirTest::SetUp()
{
    old_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    std::filesystem::current_path(dir_);
    SetDefaultSettings();
    SettingsRecord.fill(0);
}

void TempDirTest::TearDown()
{
    std::filesystem::current_path(old_);
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
    std::filesystem::remove_all(dir_);
    SetDefaultSettings();
    SettingsRecord.fill(0);
}

void TempDirTest::WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> TempDirTest::ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
