#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "core/file_io.h"
#include "tools/bin_conversion.h"

using namespace lumetra;
namespace fs = std::filesystem;

namespace {

// Distinct bytes everywhere, different per buffer.
void fill_pattern(ImageStore& store, int buffer)
{
    for (int i = 0; i < kBufferBytes; ++i)
        store.buffers[buffer - 1].bytes[i] = static_cast<std::uint8_t>(i * 7 + buffer * 31 + (i >> 8) * 3);
}

std::string stored(const ImageStore& store, int buffer)
{
    const auto& bytes = store.buffers[buffer - 1].bytes;
    return std::string(bytes.begin(), bytes.end());
}

// Answers the questions in turn and keeps every message shown.
struct Dialogue {
    std::vector<bool> answers;
    std::vector<BinMessage> shown{};
    BinShow show()
    {
        return [this](const BinMessage& message) {
            shown.push_back(message);
            if (!message.question || answers.empty()) return false;
            bool yes = answers.front();
            answers.erase(answers.begin());
            return yes;
        };
    }
    std::vector<BinMessageId> ids() const
    {
        std::vector<BinMessageId> out;
        for (const auto& message : shown) out.push_back(message.id);
        return out;
    }
};


struct BinConversionTest : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("lumetra-bin-" + std::to_string(::getpid()));
    ImageStore store;
    void SetUp() override
    {
        fs::create_directories(dir);
        for (int buffer = 1; buffer <= kBufferCount; ++buffer) fill_pattern(store, buffer);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }
    fs::path file(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    static std::string contents(const fs::path& path) { return read_file_prefix(path, 1 << 20).value_or("<none>"); }
    static std::string old_bytes(std::size_t n)
    {
        std::string bytes(n, '\0');
        for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(200 - i);
        return bytes;
    }
    BinOutcome convert(BinWriteMode mode, const std::string& address, BinSlots slots, const fs::path& target,
                       Dialogue& dialogue)
    {
        return run_bin_conversion(store, {slots, CellOrder::Interleaved, mode, address}, target, dialogue.show());
    }
    const std::string old = old_bytes(100);  // what the target file held before
    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {})); }
};

}  // namespace

TEST_F(BinConversionTest, OneSlotWithAndWithoutGrouping)
{
    std::string plain = serialize_bin_slots(store, {1}, CellOrder::Interleaved);
    ASSERT_EQ(plain.size(), 1024u);
    EXPECT_EQ(plain, stored(store, 1));  // bytes 0..63 page 1 of crystal 1, 64..127 page 1 of crystal 2

    // Grouped: the whole memory of the left controller, then the right one.
    std::string grouped = serialize_bin_slots(store, {1}, CellOrder::GroupedByCrystal);
    ASSERT_EQ(grouped.size(), 1024u);
    const auto& bytes = store.buffers[0].bytes;
    for (int crystal = 0; crystal < 2; ++crystal)
        for (int page = 0; page < 8; ++page)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(static_cast<std::uint8_t>(grouped[crystal * 512 + page * 64 + x]),
                          bytes[page * 128 + crystal * 64 + x])
                    << crystal << " " << page << " " << x;

    std::array<std::uint8_t, 1024> destination{};
    destination.fill(0xEE);
    EXPECT_FALSE(serialize_buffer_for_bin(store, 0, CellOrder::Interleaved, destination));
    EXPECT_FALSE(serialize_buffer_for_bin(store, 11, CellOrder::Interleaved, destination));
    EXPECT_FALSE(serialize_buffer_for_bin(store, 1, CellOrder::Interleaved, std::span(destination).first(1023)));
    EXPECT_EQ(destination[0], 0xEE);
    EXPECT_TRUE(serialize_buffer_for_bin(store, 1, CellOrder::GroupedByCrystal, destination));
    EXPECT_EQ(std::string(destination.begin(), destination.end()), grouped);
}

TEST_F(BinConversionTest, SlotGapsAndRepeatsAndTheNewFile)
{
    Dialogue dialogue;
    fs::path target = file("out.bin", "something older and longer than nothing");
    EXPECT_EQ(convert(BinWriteMode::NewFile, "", {3, 0, 3, 0, 0, 0, 0, 0, 0, 5}, target, dialogue),
              BinOutcome::Written);
    EXPECT_EQ(contents(target), stored(store, 3) + stored(store, 3) + stored(store, 5));
    ASSERT_EQ(dialogue.shown.size(), 1u);
    EXPECT_EQ(dialogue.shown[0].id, BinMessageId::Done);
    EXPECT_FALSE(dialogue.shown[0].question);
    EXPECT_EQ(entries(), 1u);

    EXPECT_FALSE(bin_convert_enabled({}));
    EXPECT_TRUE(bin_convert_enabled({0, 0, 0, 0, 0, 0, 0, 0, 0, 10}));
    EXPECT_EQ(bin_slot_items()[0], "Нет");
    EXPECT_EQ(bin_slot_items()[10], "Буфер  10");
}

TEST_F(BinConversionTest, InsertAtTheStartAtTheEndAndBeyond)
{
    std::string two = stored(store, 1) + stored(store, 2);

    fs::path target;
    // At the start (the old 100 bytes end the file), inside, and at A = L: no question.
    const std::string inside = old.substr(0, 40) + stored(store, 1) + old.substr(40);
    for (auto [address, slots, expected] : {std::tuple{"0", BinSlots{1, 2}, two + old},
                                            std::tuple{"40", BinSlots{1}, inside},
                                            std::tuple{"100", BinSlots{1}, old + stored(store, 1)}}) {
        Dialogue dialogue;
        target = file("a.bin", old);
        EXPECT_EQ(convert(BinWriteMode::InsertAt, address, slots, target, dialogue), BinOutcome::Written) << address;
        EXPECT_EQ(contents(target), expected) << address;
        EXPECT_EQ(dialogue.ids(), std::vector{BinMessageId::Done}) << address;
    }

    Dialogue beyond_no{{false}};
    target = file("a.bin", old);
    EXPECT_EQ(convert(BinWriteMode::InsertAt, "101", {1}, target, beyond_no), BinOutcome::NotWritten);
    EXPECT_EQ(contents(target), old);
    ASSERT_EQ(beyond_no.ids(), std::vector{BinMessageId::AskAppendBeyondEnd});  // and no completion message
    EXPECT_EQ(beyond_no.shown[0].id, BinMessageId::AskAppendBeyondEnd);
    EXPECT_TRUE(beyond_no.shown[0].question);

    Dialogue beyond_yes{{true}};
    EXPECT_EQ(convert(BinWriteMode::InsertAt, "99999", {1}, target, beyond_yes), BinOutcome::Written);
    EXPECT_EQ(contents(target), old + stored(store, 1));
    EXPECT_EQ(beyond_yes.ids(), (std::vector{BinMessageId::AskAppendBeyondEnd, BinMessageId::Done}));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(BinConversionTest, ReplaceAndAppend)
{
    const std::string long_old = old_bytes(3000);
    // Over the tail (1034 bytes); past the end, without a question, the data go
    // to the end; inside a longer file only the covered bytes change.
    for (auto [before, address, slot, expected] :
         {std::tuple{old, "10", 1, old.substr(0, 10) + stored(store, 1)},
          std::tuple{old, "500", 2, old + stored(store, 2)},
          std::tuple{long_old, "1000", 4, long_old.substr(0, 1000) + stored(store, 4) + long_old.substr(2024)}}) {
        Dialogue dialogue;
        fs::path target = file("r.bin", before);
        EXPECT_EQ(convert(BinWriteMode::ReplaceAt, address, {slot}, target, dialogue), BinOutcome::Written) << address;
        EXPECT_EQ(contents(target), expected) << address;
        EXPECT_EQ(dialogue.ids(), std::vector{BinMessageId::Done}) << address;
    }

    Dialogue append;
    fs::path target = file("r.bin", old);
    EXPECT_EQ(convert(BinWriteMode::AppendToExisting, "ignored", {6, 7}, target, append), BinOutcome::Written);
    EXPECT_EQ(contents(target), old + stored(store, 6) + stored(store, 7));
    target = file("empty.bin", "");
    EXPECT_EQ(convert(BinWriteMode::AppendToExisting, "", {6}, target, append), BinOutcome::Written);
    EXPECT_EQ(contents(target), stored(store, 6));
}

TEST_F(BinConversionTest, MissingExistingFileAsksToCreateIt)
{
    fs::path target = dir / "new.bin";
    Dialogue no{{false}};
    EXPECT_EQ(convert(BinWriteMode::AppendToExisting, "0", {1}, target, no), BinOutcome::NotWritten);
    ASSERT_EQ(no.ids(), std::vector{BinMessageId::AskCreateMissing});
    EXPECT_EQ(no.shown[0].id, BinMessageId::AskCreateMissing);
    EXPECT_TRUE(no.shown[0].question);
    EXPECT_FALSE(fs::exists(target));

    // Yes makes a new file whatever the position says, even an empty address.
    Dialogue yes{{true}};
    EXPECT_EQ(convert(BinWriteMode::ReplaceAt, "", {2}, target, yes), BinOutcome::Written);
    EXPECT_EQ(contents(target), stored(store, 2));
    EXPECT_EQ(yes.ids(), (std::vector{BinMessageId::AskCreateMissing, BinMessageId::Done}));

    // A folder of that name counts as missing, and the new file cannot replace it.
    fs::create_directory(dir / "folder.bin");
    Dialogue folder{{true}};
    EXPECT_EQ(convert(BinWriteMode::InsertAt, "0", {1}, dir / "folder.bin", folder), BinOutcome::Failed);
    EXPECT_EQ(folder.ids(), (std::vector{BinMessageId::AskCreateMissing, BinMessageId::OpenError}));
    EXPECT_TRUE(fs::is_directory(dir / "folder.bin"));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(BinConversionTest, UnusableStartAddressIsRefused)
{
    fs::path target = file("w.bin", old);
    for (std::string address : {"", "   ", "-5", "-1", "abc", "99999999999999999999999"}) {
        for (BinWriteMode mode : {BinWriteMode::InsertAt, BinWriteMode::ReplaceAt}) {
            Dialogue dialogue;
            EXPECT_EQ(convert(mode, address, {1}, target, dialogue), BinOutcome::NotWritten) << address;
            ASSERT_EQ(dialogue.ids(), std::vector{BinMessageId::EmptyAddress}) << address;
            EXPECT_EQ(dialogue.shown[0].id, BinMessageId::EmptyAddress);
        }
    }
    EXPECT_EQ(contents(target), old);

    EXPECT_EQ(parse_start_address("0"), 0u);
    EXPECT_EQ(parse_start_address(" \t12abc"), 12u);
    EXPECT_EQ(parse_start_address("+7"), 7u);
    EXPECT_EQ(parse_start_address("99999"), 99999u);
}

TEST_F(BinConversionTest, BinExtensionOnlyWithTheFirstFilter)
{
    EXPECT_EQ(bin_file_name("/d/logo", 1), fs::path("/d/logo.bin"));
    EXPECT_EQ(bin_file_name("/d/logo.", 1), fs::path("/d/logo..bin"));
    EXPECT_EQ(bin_file_name("/d.v2/logo", 1), fs::path("/d.v2/logo.bin"));
    EXPECT_EQ(bin_file_name("C:\\d.v2\\logo", 1), fs::path("C:\\d.v2\\logo.bin"));
    EXPECT_EQ(bin_file_name("/d/logo.dat", 1), fs::path("/d/logo.dat"));
    EXPECT_EQ(bin_file_name("/d/logo", 2), fs::path("/d/logo"));
    EXPECT_EQ(bin_file_name("", 1), fs::path(""));
}

TEST_F(BinConversionTest, PanelSelectionsGiveModeAndEnabledControls)
{
    using enum BinTarget;
    using enum BinWhere;
    using enum BinHow;
    EXPECT_EQ(bin_write_mode(NewFile, AtAddress, Replace), BinWriteMode::NewFile);
    EXPECT_EQ(bin_write_mode(Existing, AtEnd, Replace), BinWriteMode::AppendToExisting);
    EXPECT_EQ(bin_write_mode(Existing, AtAddress, Insert), BinWriteMode::InsertAt);
    EXPECT_EQ(bin_write_mode(Existing, AtAddress, Replace), BinWriteMode::ReplaceAt);
    EXPECT_EQ(bin_file_controls(NewFile, AtAddress), (BinFileControls{false, false}));
    EXPECT_EQ(bin_file_controls(Existing, AtEnd), (BinFileControls{true, false}));
    EXPECT_EQ(bin_file_controls(Existing, AtAddress), (BinFileControls{true, true}));
}

// A folder in the way of the new file: works as root too.
TEST_F(BinConversionTest, FailedWriteIntoAFolderReportsAndNeverCompletes)
{
    fs::create_directory(dir / "taken.bin");
    Dialogue dialogue;
    EXPECT_EQ(convert(BinWriteMode::NewFile, "", {1}, dir / "taken.bin", dialogue), BinOutcome::Failed);
    // The new file cannot be created: the open error.
    ASSERT_EQ(dialogue.ids(), std::vector{BinMessageId::OpenError});
    EXPECT_FALSE(dialogue.shown[0].question);

    Dialogue missing_folder;
    EXPECT_EQ(convert(BinWriteMode::NewFile, "", {1}, dir / "no" / "x.bin", missing_folder), BinOutcome::Failed);
    EXPECT_EQ(missing_folder.ids(), std::vector{BinMessageId::OpenError});
    EXPECT_EQ(entries(), 1u);
}

// Needs an unprivileged user: root writes into read-only folders.
TEST_F(BinConversionTest, FailedWritesLeaveTheOldFileByteForByte)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    fs::path target = file("keep.bin", old);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    struct Case {
        BinWriteMode mode;
        const char* address;
    };
    for (Case c : {Case{BinWriteMode::NewFile, ""}, Case{BinWriteMode::AppendToExisting, ""},
                   Case{BinWriteMode::InsertAt, "10"}, Case{BinWriteMode::ReplaceAt, "0"}}) {
        Dialogue dialogue;
        EXPECT_EQ(convert(c.mode, c.address, {1, 2}, target, dialogue), BinOutcome::Failed);
        // A new file that cannot be made is an open error; a patch that cannot be written a save error.
        auto expected = c.mode == BinWriteMode::NewFile ? BinMessageId::OpenError : BinMessageId::SaveError;
        EXPECT_EQ(dialogue.ids(), std::vector{expected});
        EXPECT_EQ(contents(target), old);
    }
    EXPECT_EQ(entries(), 1u);

    // An existing file that cannot be read is reported before anything else.
    fs::permissions(dir, fs::perms::owner_all);
    fs::permissions(target, fs::perms::none);
    Dialogue unreadable;
    EXPECT_EQ(convert(BinWriteMode::InsertAt, "", {1}, target, unreadable), BinOutcome::Failed);
    ASSERT_EQ(unreadable.ids(), std::vector{BinMessageId::OpenError});
    fs::permissions(target, fs::perms::owner_all);
    EXPECT_EQ(contents(target), old);
}
