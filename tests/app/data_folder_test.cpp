#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A temporary tree of folders, some holding Img/; removed at the end of the test.
struct FolderTree {
    fs::path root =
        fs::temp_directory_path() /
        ("corrida-data-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    FolderTree() { fs::create_directories(root); }
    ~FolderTree() { fs::remove_all(root); }

    std::string folder(const std::string& name, bool withImages) {
        const fs::path path = root / name;
        fs::create_directories(withImages ? path / "Img" : path);
        return path.string();
    }
};

TEST(DataFolder, CorridaDataWhenSetIsTheOnlyPlace) {
    EXPECT_EQ(dataFolderCandidates("/jogos/corrida", "/opt/corrida/bin"),
              std::vector<std::string>{"/jogos/corrida"});
}

TEST(DataFolder, ElseBesideTheProgramThenTheInstallationBesideItsBin) {
    const std::vector<std::string> candidates = dataFolderCandidates(nullptr, "/opt/corrida/bin");
    ASSERT_GE(candidates.size(), 3u);
    EXPECT_EQ(candidates[0], "/opt/corrida/bin");
    EXPECT_EQ(candidates[1], "/opt/corrida/share/corrida");
    EXPECT_EQ(fs::path(candidates.back()).filename(), "corrida");  // the configured prefix's
    EXPECT_TRUE(fs::path(candidates.back()).is_absolute());
    // An executable whose folder is unknown still tries the configured installation.
    EXPECT_EQ(dataFolderCandidates(nullptr, ""), std::vector<std::string>{candidates.back()});
}

TEST(DataFolder, FirstCandidateHoldingImgWins) {
    FolderTree tree;
    const std::string empty = tree.folder("vazia", false);
    const std::string first = tree.folder("primeira", true);
    const std::string second = tree.folder("segunda", true);
    const std::string missing = (tree.root / "nao-existe").string();
    EXPECT_EQ(firstWithImages({missing, empty, first, second}), first);
    EXPECT_EQ(firstWithImages({second, first}), second);
    EXPECT_EQ(firstWithImages({missing, empty, ""}), std::nullopt);
    // A file called Img is no image folder.
    const std::string withFile = tree.folder("arquivo", false);
    std::ofstream(fs::path(withFile) / "Img") << "x";
    EXPECT_EQ(firstWithImages({withFile}), std::nullopt);
}

}  // namespace
