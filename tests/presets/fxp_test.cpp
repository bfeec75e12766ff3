// Program files: the header bytes, the path rule, and what a load replaces.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "presets/factory.h"
#include "presets/fxp.h"

using namespace kelvoran;

namespace {

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 std::streamsize(bytes.size()));
}

std::vector<unsigned char> bytesOf(const KelvoranProgram& p) {
    auto* b = reinterpret_cast<const unsigned char*>(&p);
    return {b, b + sizeof p};
}

struct FxpFiles : ::testing::Test {
    std::string dir;
    std::unique_ptr<BankImage> bank = std::make_unique<BankImage>();
    void SetUp() override {
        char name[] = "/tmp/kelvoran-fxp-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        fillFactoryBank(*bank);
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
    std::string at(const std::string& file) const { return dir + "/" + file; }
};

}  // namespace

TEST(FxpPath, ExtensionOfFourCharactersBecomesFxp) {
    const struct {
        const char *chosen, *used;
    } cases[] = {
        {"room.fxp", "room.fxp"}, {"room.wav", "room.fxp"}, {"room", "room.fxp"},
        {"a.fx", "a.fx.fxp"},     {"x.txt", "x.fxp"},       {".fxp", ".fxp.fxp"},
        {"a.b.c", "a.fxp"},   {"/d.ir/x", "/d.ir/x.fxp"},
    };
    for (const auto& c : cases) EXPECT_EQ(fxpPath(c.chosen), c.used) << c.chosen;
}

TEST_F(FxpFiles, SavedFileIsHeaderThenProgramImage) {
    KelvoranProgram& p = bank->programs[58];
    ASSERT_TRUE(saveProgramFile(p, at("x.txt")));
    EXPECT_FALSE(std::ifstream(at("x.txt")).good());
    const auto file = readFile(at("x.fxp"));
    ASSERT_EQ(file.size(), 9496u);
    const unsigned char header[28] = {'C', 'c', 'n', 'K', 0, 0, 0x25, 0x10, 'F', 'P', 'C', 'h',
                                      0,   0,   0,   1,   'K', 'L', 'v', 'n', 0, 0, 0, 1,
                                      0,   0,   0,   1};
    EXPECT_EQ(std::memcmp(file.data(), header, 28), 0);
    const unsigned char chunkSize[4] = {0, 0, 0x24, 0xDC};  // 9436
    EXPECT_EQ(std::memcmp(file.data() + 56, chunkSize, 4), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(file.data() + 28), p.name);
    for (size_t i = 28 + std::strlen(p.name); i < 56; ++i) EXPECT_EQ(file[i], 0) << i;
    EXPECT_EQ(std::vector<unsigned char>(file.begin() + 60, file.end()), bytesOf(p));
}

TEST_F(FxpFiles, NameIsStoredAsTextAndCutTo27Characters) {
    const struct {
        const char* name;
        const char* stored;
    } cases[] = {
        {"100% wet %s %n", "100% wet %s %n"},
        {"abcdefghijklmnopqrstuvwxyz0123", "abcdefghijklmnopqrstuvwxyz0"},
    };
    for (const auto& c : cases) {
        KelvoranProgram p = bank->programs[3];
        std::memset(p.name, 0, kNameSize);
        std::memcpy(p.name, c.name, std::min<size_t>(std::strlen(c.name), kNameSize));
        ASSERT_TRUE(saveProgramFile(p, at("n.fxp")));
        const auto file = readFile(at("n.fxp"));
        ASSERT_EQ(file.size(), 9496u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data() + 28)), c.stored);
        EXPECT_EQ(file[55], 0);
    }
}

TEST_F(FxpFiles, LoadingAFileFromAnotherSlotMakesAnExactCopy) {
    ASSERT_TRUE(saveProgramFile(bank->programs[12], at("copy")));
    KelvoranProgram& target = bank->programs[40];
    ASSERT_NE(std::strcmp(target.name, bank->programs[12].name), 0);
    ASSERT_TRUE(loadProgramFile(target, at("copy.wav")));  // the same path rule
    EXPECT_EQ(bytesOf(target), bytesOf(bank->programs[12]));
}

TEST_F(FxpFiles, ShortFileReplacesOnlyTheBytesItHolds) {
    // A foreign header and a short image: the header is not looked at.
    std::vector<unsigned char> file(1000);
    for (size_t i = 0; i < file.size(); ++i) file[i] = uint8_t(i * 7 + 1);
    const int32_t walls = 5;  // a count the load keeps as it is
    std::memcpy(file.data() + 60 + offsetof(KelvoranProgram, numWalls), &walls, 4);
    writeFile(at("short.fxp"), file);
    KelvoranProgram& target = bank->programs[7];
    const auto before = bytesOf(target);
    ASSERT_TRUE(loadProgramFile(target, at("short.fxp")));
    const auto after = bytesOf(target);
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 940, file.begin() + 60));
    EXPECT_TRUE(std::equal(after.begin() + 940, after.end(), before.begin() + 940));
}

TEST_F(FxpFiles, LoadedWallCountAndNameAreMadeSafe) {
    const struct {
        int32_t count, kept;
    } cases[] = {{-5, 0}, {1000000, kMaxWalls}, {17, 17}};
    for (const auto& c : cases) {
        KelvoranProgram p = bank->programs[1];
        p.numWalls = c.count;
        std::memset(p.name, 'Z', kNameSize);  // no terminator
        ASSERT_TRUE(saveProgramFile(p, at("bad.fxp")));
        KelvoranProgram target = bank->programs[2];
        ASSERT_TRUE(loadProgramFile(target, at("bad.fxp")));
        EXPECT_EQ(target.numWalls, c.kept);
        EXPECT_EQ(std::strlen(target.name), size_t(kNameSize - 1));
    }
}

TEST_F(FxpFiles, FailuresAreReportedAndChangeNothing) {
    ASSERT_EQ(mkdir(at("folder.fxp").c_str(), 0700), 0);
    writeFile(at("header.fxp"), std::vector<unsigned char>(60, 0xAB));
    const KelvoranProgram& p = bank->programs[20];
    const auto before = bytesOf(p);

    EXPECT_FALSE(saveProgramFile(p, at("missing/x.fxp")));
    EXPECT_FALSE(saveProgramFile(p, at("folder.fxp")));
    const char* unreadable[] = {"missing.fxp", "missing/x.fxp", "folder.fxp", "header.fxp"};
    for (const char* name : unreadable) {
        KelvoranProgram target = p;
        EXPECT_FALSE(loadProgramFile(target, at(name))) << name;
        EXPECT_EQ(bytesOf(target), before) << name;
    }
}

TEST_F(FxpFiles, FileThatCannotBeWrittenInFullIsReportedAndRemoved) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    ASSERT_EQ(symlink("/dev/full", at("full.fxp").c_str()), 0);
    EXPECT_FALSE(saveProgramFile(bank->programs[0], at("full.fxp")));
    struct stat s;
    EXPECT_NE(lstat(at("full.fxp").c_str(), &s), 0);
}
