#include "tools/bin_conversion.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <new>
#include <system_error>

#include "core/chr_file.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "listing/listing.h"

namespace lumetra {

// An existing file is held in memory while its new content is built; beyond
// this size the conversion reports the memory error instead.
constexpr std::uint64_t kMaxBinFileBytes = 256u << 20;

std::array<std::string, kBinSlotCount + 1> bin_slot_items()
{
    std::array<std::string, kBinSlotCount + 1> items;
    items[0] = "Нет";
    for (int buffer = 1; buffer <= kBinSlotCount; ++buffer)
        items[buffer] = buffer_label(buffer, LabelSpacing::TwoBlanks);
    return items;
}

BinWriteMode bin_write_mode(BinTarget target, BinWhere where, BinHow how)
{
    if (target != BinTarget::Existing) return BinWriteMode::NewFile;
    if (where != BinWhere::AtAddress) return BinWriteMode::AppendToExisting;
    return how == BinHow::Replace ? BinWriteMode::ReplaceAt : BinWriteMode::InsertAt;
}

bool bin_convert_enabled(const BinSlots& slots)
{
    return std::any_of(slots.begin(), slots.end(), [](int slot) { return slot > 0; });
}

BinFileControls bin_file_controls(BinTarget target, BinWhere where)
{
    bool existing = target == BinTarget::Existing;
    return {existing, existing && where == BinWhere::AtAddress};
}

bool serialize_buffer_for_bin(const ImageStore& store, int buffer, CellOrder order,
                              std::span<std::uint8_t> destination)
{
    const ScreenBuffer* picture = buffer_of(store, buffer);
    if (!picture || destination.size() < kBufferBytes) return false;
    std::size_t out = 0;
    for (int cell : cell_sequence(order))
        for (int byte = 1; byte <= kCellBytes; ++byte) destination[out++] = picture->bytes[byte_offset(cell, byte)];
    return true;
}

std::string serialize_bin_slots(const ImageStore& store, const BinSlots& slots, CellOrder order)
{
    std::string output;
    std::array<std::uint8_t, kBufferBytes> image{};
    for (int buffer : slots) {
        if (!serialize_buffer_for_bin(store, buffer, order, image)) continue;
        output.append(reinterpret_cast<const char*>(image.data()), image.size());
    }
    return output;
}

std::optional<std::uint64_t> parse_start_address(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::uint64_t value = 0;
    std::size_t digits = 0;
    constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max();
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (value > (kMax - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (digits == 0 || (negative && value != 0)) return std::nullopt;
    return value;
}

std::filesystem::path bin_file_name(const std::filesystem::path& chosen, int filter_index)
{
    if (filter_index != 1 || chosen.empty()) return chosen;
    if (!path_extension(chosen).empty()) return chosen;
    std::filesystem::path named = chosen;
    named += ".bin";
    return named;
}

BinFileState inspect_bin_target(const std::filesystem::path& file)
{
    std::error_code ec;
    auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::exists(status) || std::filesystem::is_directory(status)) return {};
    BinFileState state;
    state.exists = true;
    state.length = std::filesystem::file_size(file, ec);
    if (ec) return state;
    state.readable = static_cast<bool>(std::ifstream(file, std::ios::binary));
    return state;
}

BinPlan plan_bin_write(BinWriteMode mode, std::string_view start_address, const BinFileState& file)
{
    if (mode == BinWriteMode::NewFile) return {BinStep::Write, BinMessageId::Done, mode, 0};
    if (!file.exists) return {BinStep::Ask, BinMessageId::AskCreateMissing, mode, 0};
    if (!file.readable) return {BinStep::Report, BinMessageId::OpenError, mode, 0};
    if (mode == BinWriteMode::AppendToExisting) return {BinStep::Write, BinMessageId::Done, mode, file.length};
    auto address = parse_start_address(start_address);
    if (!address) return {BinStep::Report, BinMessageId::EmptyAddress, mode, 0};
    if (mode == BinWriteMode::InsertAt && *address > file.length)
        return {BinStep::Ask, BinMessageId::AskAppendBeyondEnd, mode, *address};
    // Replace past the end writes at the end, without a question.
    return {BinStep::Write, BinMessageId::Done, mode, std::min(*address, file.length)};
}

BinPlan answer_bin_question(const BinPlan& asked, bool yes, const BinFileState& file)
{
    if (asked.step != BinStep::Ask || !yes) return {};
    if (asked.message == BinMessageId::AskCreateMissing)
        return {BinStep::Write, BinMessageId::Done, BinWriteMode::NewFile, 0};
    return {BinStep::Write, BinMessageId::Done, BinWriteMode::AppendToExisting, file.length};
}

std::string build_bin_content(BinWriteMode mode, std::string_view old_content, std::uint64_t offset,
                              std::string_view data)
{
    if (mode == BinWriteMode::NewFile) return std::string(data);
    std::size_t at = mode == BinWriteMode::AppendToExisting
                         ? old_content.size()
                         : static_cast<std::size_t>(std::min<std::uint64_t>(offset, old_content.size()));
    std::string content;
    std::size_t tail = at;  // InsertAt keeps every old byte behind the data
    if (mode == BinWriteMode::ReplaceAt) tail = std::min(old_content.size(), at + data.size());
    content.reserve(at + data.size() + (old_content.size() - tail));
    content.append(old_content.substr(0, at));
    content.append(data);
    content.append(old_content.substr(tail));
    return content;
}

BinMessageId write_bin_file(const std::filesystem::path& file, const BinPlan& plan, std::string_view data)
{
    if (plan.step != BinStep::Write) return BinMessageId::SaveError;
    try {
        std::string old_content;
        if (plan.mode != BinWriteMode::NewFile) {
            std::error_code ec;
            auto size = std::filesystem::file_size(file, ec);
            if (ec) return BinMessageId::OpenError;
            if (size > kMaxBinFileBytes) return BinMessageId::MemoryError;
            // Exactly its size: the reader allocates as much as it is allowed.
            auto read = read_whole_file(file, static_cast<std::size_t>(size));
            if (!read) return BinMessageId::OpenError;
            old_content = std::move(*read);
        }
        std::string content = build_bin_content(plan.mode, old_content, plan.offset, data);
        switch (write_file_reporting(file, content)) {
        case WriteOutcome::Written: return BinMessageId::Done;
        // A new file that cannot be made is reported like a file that cannot be opened.
        case WriteOutcome::NotCreated:
            return plan.mode == BinWriteMode::NewFile ? BinMessageId::OpenError : BinMessageId::SaveError;
        case WriteOutcome::NotWritten: break;
        }
        return BinMessageId::SaveError;
    } catch (const std::bad_alloc&) {
        return BinMessageId::MemoryError;
    }
}

BinOutcome run_bin_conversion(const ImageStore& store, const BinRequest& request, const std::filesystem::path& file,
                               const BinShow& show)
{
    BinFileState state = inspect_bin_target(file);
    BinPlan plan = plan_bin_write(request.mode, request.start_address, state);
    while (plan.step == BinStep::Ask) plan = answer_bin_question(plan, show({plan.message, true}), state);
    if (plan.step == BinStep::Stop) return BinOutcome::NotWritten;
    if (plan.step == BinStep::Report) {
        show({plan.message, false});
        return plan.message == BinMessageId::EmptyAddress ? BinOutcome::NotWritten : BinOutcome::Failed;
    }
    BinMessageId result = BinMessageId::MemoryError;
    try {
        result = write_bin_file(file, plan, serialize_bin_slots(store, request.slots, request.order));
    } catch (const std::bad_alloc&) {
    }
    show({result, false});
    return result == BinMessageId::Done ? BinOutcome::Written : BinOutcome::Failed;
}

}  // namespace lumetra
