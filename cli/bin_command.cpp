// lumetra-cli bin: the bytes "Преобразовать данные..." writes for the same
// slots, one PICTURE per used slot in slot order. The questions the panel
// would ask are answered No here, with a message and a failing exit.
#include <iostream>

#include "cli/cli.h"
#include "core/text_encoding.h"
#include "tools/bin_conversion.h"

namespace lumetra::cli {

namespace {

struct BinCommand {
    BinRequest request;
    bool address_given = false;
    std::string mode_name = "new";
    std::filesystem::path out;
    Pictures pictures;
    PictureOptions picture_options;
    DisplayChoice display;
};

struct ModeName {
    const char* name;
    BinWriteMode mode;
};
constexpr ModeName kModes[] = {
    {"new", BinWriteMode::NewFile},
    {"append", BinWriteMode::AppendToExisting},
    {"insert", BinWriteMode::InsertAt},
    {"replace", BinWriteMode::ReplaceAt},
};

bool positional_mode(BinWriteMode mode) { return mode == BinWriteMode::InsertAt || mode == BinWriteMode::ReplaceAt; }

std::optional<CliError> parse(const Args& args, BinCommand& command)
{
    command.request.slots = {};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--group") {
            command.request.order = CellOrder::GroupedByCrystal;
        } else if (arg == "--mode") {
            auto text = option_value(args, i);
            const ModeName* found = nullptr;
            for (const ModeName& mode : kModes)
                if (text && *text == mode.name) found = &mode;
            if (!found) return CliError{"--mode needs one of new, append, insert, replace"};
            command.request.mode = found->mode;
            command.mode_name = found->name;
        } else if (arg == "--at") {
            auto text = option_value(args, i);
            if (!text || text->empty() || text->find_first_not_of("0123456789") != std::string::npos ||
                !parse_start_address(*text))
                return CliError{"--at needs a byte offset (a decimal number, 0 or more)"};
            command.request.start_address = *text;
            command.address_given = true;
        } else if (is_display_option(arg)) {
            if (auto error = take_display_option(args, i, command.display)) return error;
        } else if (auto error = take_picture_argument(args, i, command.out, command.pictures, command.picture_options)) {
            return error;
        }
    }
    if (command.out.empty()) return CliError{"-o FILE missing"};
    if (command.out == kStandardStream) return CliError{"FILE must be a file (bin may add to it or patch it in place)"};
    if (command.pictures.empty()) return CliError{"PICTURE missing"};
    if (command.pictures.size() > kBinSlotCount) return CliError{"at most 10 PICTUREs (one per slot)"};
    if (positional_mode(command.request.mode) && !command.address_given)
        return CliError{"--mode " + command.mode_name + " needs --at N"};
    if (!positional_mode(command.request.mode) && command.address_given)
        return CliError{"--at only goes with --mode insert or --mode replace"};
    return std::nullopt;
}

// The panel's messages as this command reports them; questions answer No.
bool report(const BinMessage& message, const BinCommand& command)
{
    std::string name = path_to_utf8(command.out);
    std::string text;
    switch (message.id) {
    case BinMessageId::AskCreateMissing:
        text = name + " does not exist; --mode " + command.mode_name + " writes into an existing file";
        break;
    case BinMessageId::MemoryError: text = "out of memory (or " + name + " is too large to patch)"; break;
    case BinMessageId::OpenError: text = "cannot open " + name; break;  // to read, or to create
    case BinMessageId::EmptyAddress: text = "no usable start address"; break;
    case BinMessageId::AskAppendBeyondEnd:
        text = "--at " + command.request.start_address + " lies beyond the end of " + name;
        break;
    case BinMessageId::SaveError: text = "cannot write " + name; break;
    case BinMessageId::Done: return true;
    }
    std::cerr << "lumetra-cli bin: " << text << "; nothing written\n";
    return false;
}

// The panel's steps for the bytes of another display (or layout): the same
// plan, questions answered No, and whole-file write.
int write_display_bin(const BinCommand& command)
{
    std::string data;
    const PageOrder order = command.request.order == CellOrder::GroupedByCrystal ? PageOrder::ByController : PageOrder::Across;
    for (const Picture& source : command.pictures) {
        Raster picture;
        if (auto error = load_raster(source, *command.display.display, picture, command.picture_options.import))
            return refuse("bin", kBinUsage, *error);
        const auto bytes = layout_bytes(*command.display.display, command.display.layout, order, picture);
        data.append(bytes.begin(), bytes.end());
    }
    const BinFileState state = inspect_bin_target(command.out);
    BinPlan plan = plan_bin_write(command.request.mode, command.request.start_address, state);
    while (plan.step == BinStep::Ask) plan = answer_bin_question(plan, report({plan.message, true}, command), state);
    if (plan.step == BinStep::Stop) return kExitFailed;
    if (plan.step == BinStep::Report) {
        report({plan.message, false}, command);
        return kExitFailed;
    }
    return report({write_bin_file(command.out, plan, data), false}, command) ? kExitDone : kExitFailed;
}

}  // namespace

int run_bin(const Args& args)
{
    BinCommand command;
    ImageStore store;
    auto error = parse(args, command);
    if (!error && !command.display.editor_default()) return write_display_bin(command);
    for (std::size_t i = 0; !error && i < command.pictures.size(); ++i) {
        int buffer = static_cast<int>(i) + 1;
        error = load_picture(command.pictures[i], *buffer_of(store, buffer), command.picture_options.import);
        command.request.slots[i] = buffer;
    }
    if (error) return refuse("bin", kBinUsage, *error);
    auto show = [&command](const BinMessage& message) { return report(message, command); };
    return run_bin_conversion(store, command.request, command.out, show) == BinOutcome::Written ? 0 : 1;
}

}  // namespace lumetra::cli
