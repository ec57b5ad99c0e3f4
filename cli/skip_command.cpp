// lumetra-cli skip-map and skip-list: "Сканировать" over the given pictures,
// all ticked, and the "Список обходов" of the result as the export writes it.

#include "cli/cli.h"
#include "core/text_encoding.h"
#include "listing/skip_list.h"

namespace lumetra::cli {

namespace {

struct SkipCommand {
    std::string count_text = "1";  // shown in the list as given, as the spin shows its text
    int count = 1;
    bool rtf = false;
    std::filesystem::path map;
    std::filesystem::path out;
    Pictures pictures;
    PictureOptions picture_options;
};

// listing: skip-list, which also takes --rtf and --map.
std::optional<CliError> parse(const Args& args, SkipCommand& command, bool listing)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--count") {
            auto text = option_value(args, i);
            if (!text || text->empty() || text->size() > 2 || text->find_first_not_of("0123456789") != std::string::npos ||
                count_byte_from_text(*text) != std::stoi(*text))
                return CliError{"--count needs a number from 1 to 64"};
            command.count_text = *text;
            command.count = count_byte_from_text(*text);
        } else if (listing && arg == "--rtf") {
            command.rtf = true;
        } else if (listing && arg == "--map") {
            auto text = option_value(args, i);
            if (!text || text->empty()) return CliError{"--map needs a file name"};
            command.map = utf8_to_path(*text);
        } else if (auto error = take_picture_argument(args, i, command.out, command.pictures, command.picture_options)) {
            return error;
        }
    }
    const std::size_t least = listing ? (command.map.empty() ? 1 : 0) : 2;
    if (command.pictures.size() < least || command.pictures.size() > kScanBuffers)
        return CliError{listing && command.map.empty() ? "give 1 to 9 PICTUREs or --map MAP"
                        : listing                      ? "give at most 9 PICTUREs"
                                                       : "give 2 to 9 PICTUREs"};
    if (!listing && command.out.empty()) return CliError{"-o MAP missing"};
    return std::nullopt;
}

// The pictures in buffers 1.. of a store, all ticked, scanned into a map.
std::optional<CliError> scan(const SkipCommand& command, ScreenBuffer& map)
{
    ImageStore store;
    ScanChoice ticked{};
    for (std::size_t i = 0; i < command.pictures.size(); ++i) {
        if (auto error = load_picture(command.pictures[i], store.buffers[i], command.picture_options.import)) return error;
        ticked[i] = true;
    }
    map = scan_repeated_bytes(store, ticked, command.count);
    return std::nullopt;
}

}  // namespace

int run_skip_map(const Args& args)
{
    SkipCommand command;
    ScreenBuffer map;
    auto error = parse(args, command, false);
    if (!error) error = scan(command, map);
    if (!error)
        error = write_output(command.out, std::string_view(reinterpret_cast<const char*>(map.bytes.data()), map.bytes.size()));
    return error ? refuse("skip-map", kSkipMapUsage, *error) : 0;
}

int run_skip_list(const Args& args)
{
    SkipCommand command;
    ScreenBuffer map;
    auto error = parse(args, command, true);
    if (!error) error = command.map.empty() ? scan(command, map) : load_picture({command.map}, map);
    if (!error) {
        std::vector<std::string> names;
        for (const auto& picture : command.pictures) names.push_back(picture_name({std::filesystem::absolute(picture.path), picture.frame}));
        StyledText list = build_skip_list(map, names, command.count_text);
        auto bytes = command.rtf ? std::optional(styled_text_as_rtf(list)) : styled_text_as_txt(list);
        if (!bytes) error = CliError{"a file name cannot be written in Windows-1251 (--rtf can hold it)", kExitFailed};
        else error = write_output(command.out, *bytes);
    }
    return error ? refuse("skip-list", kSkipListUsage, *error) : 0;
}

}  // namespace lumetra::cli
