#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "core/chr_file.h"
#include "core/file_io.h"
#include "tests/support/file_size_limit.h"

using namespace lumetra;
namespace fs = std::filesystem;

namespace {

struct ChrFileTest : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("lumetra-chr-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override
    {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    fs::path file(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    static std::string contents(const fs::path& path) { return read_file_prefix(path, 1 << 20).value_or("<none>"); }
    ImageStore store;
};

}  // namespace

TEST_F(ChrFileTest, LoadTakesAtMost1024BytesOverAClearedBuffer)
{
    store.buffers[0].bytes.fill(0xAA);

    ASSERT_TRUE(load_chr_into(store, 1, file("one.chr", "\x01")).ok);
    EXPECT_TRUE(read_pixel(store, 1, 0, 0));
    int lit = 0;
    for (auto b : store.buffers[0].bytes) lit += b != 0;
    EXPECT_EQ(lit, 1);

    store.buffers[0].bytes.fill(0xAA);
    ASSERT_TRUE(load_chr_into(store, 1, file("ten.chr", std::string(10, '\x55'))).ok);
    EXPECT_EQ(store.buffers[0].bytes[9], 0x55);
    EXPECT_EQ(store.buffers[0].bytes[10], 0);
    EXPECT_EQ(store.buffers[0].bytes[1023], 0);

    std::string big(2000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    set_modified(store, 1, true);
    ASSERT_TRUE(load_chr_into(store, 1, file("big.chr", big)).ok);
    EXPECT_EQ(std::string(store.buffers[0].bytes.begin(), store.buffers[0].bytes.end()), big.substr(0, 1024));
    EXPECT_EQ(store.file_names[0], dir / "big.chr");
    EXPECT_FALSE(is_modified(store, 1));

    ASSERT_TRUE(write_chr_from(store, 1, dir / "again.chr").ok);
    EXPECT_EQ(contents(dir / "again.chr"), big.substr(0, 1024));
}

TEST_F(ChrFileTest, UnreadableFileLeavesTheBufferAlone)
{
    store.buffers[0].bytes.fill(0x11);
    set_file_name(store, 1, "keep.chr");
    set_modified(store, 1, true);
    FileResult result = load_chr_into(store, 1, dir / "missing.chr");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failure, FileFailure::Read);
    EXPECT_EQ(result.path, dir / "missing.chr");
    EXPECT_EQ(store.buffers[0].bytes[500], 0x11);
    EXPECT_EQ(store.file_names[0], "keep.chr");
    EXPECT_TRUE(is_modified(store, 1));
    EXPECT_FALSE(load_chr_into(store, 1, dir).ok);  // a folder is not a picture
}

TEST_F(ChrFileTest, FailedSaveKeepsOldFileAndModifiedFlag)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    fs::path target = file("old.chr", "old contents");
    store.buffers[0].bytes.fill(0x42);
    set_modified(store, 1, true);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    FileResult result = write_chr_from(store, 1, target);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failure, FileFailure::Write);
    EXPECT_EQ(result.path, target);
    EXPECT_TRUE(is_modified(store, 1));
    EXPECT_EQ(contents(target), "old contents");
}

TEST_F(ChrFileTest, FailedSaveIntoMissingFolderReportsAndLeavesNoTrace)
{
    set_modified(store, 1, true);
    EXPECT_FALSE(write_chr_from(store, 1, dir / "no-such-folder" / "a.chr").ok);
    EXPECT_TRUE(is_modified(store, 1));
    // A folder in the way of the name: the old entry stays, no temporary remains.
    fs::create_directory(dir / "taken.chr");
    EXPECT_FALSE(write_chr_from(store, 1, dir / "taken.chr").ok);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ChrFileTest, SaveReplacesAnExistingFileWithExactly1024Bytes)
{
    fs::path target = file("pic.chr", std::string(3000, 'x'));
    store.buffers[0].bytes[1023] = 0x80;
    set_modified(store, 1, true);
    ASSERT_TRUE(write_chr_from(store, 1, target).ok);
    EXPECT_FALSE(is_modified(store, 1));
    std::string written = contents(target);
    ASSERT_EQ(written.size(), 1024u);
    EXPECT_EQ(static_cast<unsigned char>(written[1023]), 0x80);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// The two failures a writer may word apart: the file cannot be made, or its
// bytes or the move fail (here a file-size limit stops the write part-way).
TEST_F(ChrFileTest, WriteOutcomeTellsNotCreatedFromNotWritten)
{
    fs::path target = file("keep.bin", "old");
    EXPECT_EQ(write_file_reporting(dir / "missing" / "a.bin", "x"), WriteOutcome::NotCreated);
    EXPECT_EQ(write_file_reporting(dir, "x"), WriteOutcome::NotCreated);
    EXPECT_TRUE(lumetra::testing::with_file_size_limit(100, [&] {
        EXPECT_EQ(write_file_reporting(target, std::string(5000, 'n')), WriteOutcome::NotWritten);
    }));
    EXPECT_EQ(contents(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_EQ(write_file_reporting(target, "new"), WriteOutcome::Written);
    EXPECT_EQ(contents(target), "new");
}
