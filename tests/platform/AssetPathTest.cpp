#include "platform/AssetPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {
// An installed tree in a temporary folder: PREFIX/games/ holds the program,
// PREFIX/share/games/christmas-pegs/Data/ its data. The tests run in the
// project's root, whose Data/ has the real assets but none of the names
// made up here.
class InstalledTree : public ::testing::Test {
 protected:
  void SetUp() override {
    m_prefix = fs::temp_directory_path() / ("pegs-asset-path-" + std::to_string(::getpid()));
    fs::create_directories(m_prefix / "games");
    Touch("share/games/christmas-pegs/Data/OnlyInstalled.bmp");
    Touch("share/games/christmas-pegs/Data/Both.bmp");
    Touch("games/Data/Both.bmp");
  }
  void TearDown() override { fs::remove_all(m_prefix); }

  void Touch(const std::string& relative) {
    fs::create_directories((m_prefix / relative).parent_path());
    std::ofstream(m_prefix / relative) << "x";
  }
  std::string Games() const { return (m_prefix / "games").string() + "/"; }

  fs::path m_prefix;
};
}  // namespace

TEST_F(InstalledTree, FindsEachAssetWhereItIs) {
  const struct {
    const char* asked;
    std::string found;
  } cases[] = {
      {"Data/Flasche.bmp", "Data/Flasche.bmp"},  // the working directory comes first
      {"Data/OnlyInstalled.bmp", Games() + "../share/games/christmas-pegs/Data/OnlyInstalled.bmp"},
      {"Data\\OnlyInstalled.bmp", Games() + "../share/games/christmas-pegs/Data/OnlyInstalled.bmp"},
      {"Data/Both.bmp", Games() + "Data/Both.bmp"},  // beside the program before the installed folder
      {"Data/Nowhere.bmp", "Data/Nowhere.bmp"},      // opening it fails as it would have
      {"/no/such/absolute.bmp", "/no/such/absolute.bmp"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveAssetPath(c.asked, Games()), c.found) << c.asked;
  }
  EXPECT_EQ(ResolveAssetPath(nullptr, Games()), "");
}
