// Writing the raw display bytes of chosen buffers into a binary file: a new
// file, or an existing one appended to, inserted into or overwritten at a
// start address. Everything here is data and files; the BIN panel reads its
// controls, shows the messages these functions describe and passes the
// answers back.
//
// The order of one conversion, as the panel's "Преобразовать данные..." runs it:
//   1. the save dialog (first filter: BIN files), cancel ends;
//   2. file = bin_file_name(chosen path, filter index);
//   3. run_bin_conversion(store, request, file, show) asks, writes and reports.
// The pieces of step 3 (plan_bin_write, answer_bin_question, write_bin_file)
// are public so that each can be tested and reused on its own.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/image_store.h"
#include "listing/listing.h"

namespace lumetra {

constexpr int kBinSlotCount = 10;
// Slot 1..10 of the panel's slot lists: 0 = "Нет", k = buffer k. A buffer may stand
// in several slots and is then written several times.
using BinSlots = std::array<int, kBinSlotCount>;

// Items of the target, where and how lists; the selection index is the
// position here, and the enum below it names that position.
inline constexpr std::array<const char*, 2> kBinTargetItems = {"новом файле", "существующем"};
inline constexpr std::array<const char*, 2> kBinWhereItems = {"в конец файла", "произвольно"};
inline constexpr std::array<const char*, 2> kBinHowItems = {"Вставить", "Заменить"};
enum class BinTarget { NewFile, Existing };
enum class BinWhere { AtEnd, AtAddress };
enum class BinHow { Insert, Replace };

// Items of the slot lists: "Нет", then "Буфер  1" .. "Буфер  10" (two
// blanks); the selection index is the buffer number.
std::array<std::string, kBinSlotCount + 1> bin_slot_items();

enum class BinWriteMode { NewFile, AppendToExisting, InsertAt, ReplaceAt };

// The mode from the selections of the target, where and how lists.
BinWriteMode bin_write_mode(BinTarget target, BinWhere where, BinHow how);

// The convert button is enabled exactly when some slot names a buffer.
bool bin_convert_enabled(const BinSlots& slots);

// Which of the file controls are enabled for the selections of the target and where lists.
struct BinFileControls {
    bool where = false;    // the where list
    bool address = false;  // the start-address field and the how list
    bool operator==(const BinFileControls&) const = default;
};
BinFileControls bin_file_controls(BinTarget target, BinWhere where);

// The 1024 bytes of one buffer in the cell order of the listing: the stored
// order, or grouped by crystal (all of crystal 1, then all of crystal 2).
// False, and nothing written, for a buffer outside 1..10 or a destination
// under 1024 bytes.
bool serialize_buffer_for_bin(const ImageStore& store, int buffer, CellOrder order,
                              std::span<std::uint8_t> destination);

// The output of a conversion: the images of the used slots in slot order,
// 1024 bytes each, nothing else. Empty slots contribute nothing.
std::string serialize_bin_slots(const ImageStore& store, const BinSlots& slots, CellOrder order);

// Start address from the text of the start-address field: leading blanks and tabs, an
// optional sign, then decimal digits up to the first other character.
// Nothing when the address is unusable: no digits at all (an empty field
// included), negative, or too large to be an offset. An unusable address is
// refused with the empty-address warning, never used as an offset.
std::optional<std::uint64_t> parse_start_address(std::string_view text);

// ".bin" is appended when the save dialog's first filter (index 1) was in
// use and the name has no extension: nothing after the last "." that follows
// the last "\" or "/" ("logo" and "logo." both become "... .bin").
std::filesystem::path bin_file_name(const std::filesystem::path& chosen, int filter_index);

// The messages of a conversion. A question has Yes/No buttons and answers
// true for Yes; every other message has an OK button.
enum class BinMessageId {
    AskCreateMissing,    // "существующем" and the file is missing
    MemoryError,         // work memory not available (or the file too large to hold)
    OpenError,           // the existing file cannot be read, or the new file cannot be created
    EmptyAddress,        // insert or replace without a usable start address
    AskAppendBeyondEnd,  // insert with the start address past the end
    SaveError,           // the new file content could not be written or moved into place
    Done,                // the completion message
};
// A message the shell shows for a conversion, words and icon its own.
struct BinMessage {
    BinMessageId id = BinMessageId::Done;
    bool question = false;  // AskCreateMissing and AskAppendBeyondEnd
};

// What the conversion needs to know of its target. A directory counts as
// missing, as it cannot be written into.
struct BinFileState {
    bool exists = false;    // a file other than a directory
    bool readable = false;  // its bytes can be read
    std::uint64_t length = 0;
};
BinFileState inspect_bin_target(const std::filesystem::path& file);

// The next thing the conversion does.
enum class BinStep {
    Write,   // write the data: mode and offset below
    Ask,     // ask message; feed the answer to answer_bin_question
    Report,  // show message and end without writing
    Stop,    // end without writing and without a message
};
struct BinPlan {
    BinStep step = BinStep::Stop;
    BinMessageId message = BinMessageId::Done;          // for Ask and Report
    BinWriteMode mode = BinWriteMode::NewFile;          // for Write
    std::uint64_t offset = 0;                           // for Write: where the data go
    bool operator==(const BinPlan&) const = default;
};

// The decision before any byte is written, in the order the panel asks:
// missing file, unreadable file, start address, insert past the end.
BinPlan plan_bin_write(BinWriteMode mode, std::string_view start_address, const BinFileState& file);
// After an Ask: Yes to the missing file writes a new file whatever the
// mode; Yes to insert past the end appends; No stops.
BinPlan answer_bin_question(const BinPlan& asked, bool yes, const BinFileState& file);

// The complete new file content for a Write of data. The offset is kept
// within the old content, so an insert past its end appends.
std::string build_bin_content(BinWriteMode mode, std::string_view old_content, std::uint64_t offset,
                              std::string_view data);

// Carries out a Write plan: reads the existing file where the mode needs it,
// builds the whole new content and writes it through a temporary file in
// the same folder. Answers Done, or OpenError, MemoryError or SaveError; on
// every failure an existing file is left byte for byte as it was.
BinMessageId write_bin_file(const std::filesystem::path& file, const BinPlan& plan, std::string_view data);

// The panel's choices at the moment of conversion.
struct BinRequest {
    BinSlots slots{1};  // panel start: slot 1 = buffer 1, the rest "Нет"
    CellOrder order = CellOrder::Interleaved;
    BinWriteMode mode = BinWriteMode::NewFile;
    std::string start_address = "0";
};

// Shows a message (a platform message box in the editor) and answers true
// for Yes to a question.
using BinShow = std::function<bool(const BinMessage&)>;

enum class BinOutcome { Written, NotWritten, Failed };

// Everything after the save dialog: questions, warnings, the write and the
// completion message, all through show. The completion message is shown
// only after a successful write.
BinOutcome run_bin_conversion(const ImageStore& store, const BinRequest& request, const std::filesystem::path& file,
                               const BinShow& show);

}  // namespace lumetra
