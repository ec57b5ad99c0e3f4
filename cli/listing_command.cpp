// lumetra-cli listing: the text "Сохранить в файле" writes after
// "Преобразовать" with the same options, or the same bytes as a C array.

#include "cli/cli.h"
#include "core/text_encoding.h"
#include "listing/listing.h"

namespace lumetra::cli {

namespace {

struct ListingRequest {
    ListingOptions options;
    bool file_name_given = false;
    std::optional<std::string> file_name;  // NAME of --file-name=NAME
    bool c_array = false;                  // --format c
    std::optional<std::string> array_name;  // --name NAME
    bool crlf = false;
    std::vector<std::string> assembler_only;  // options given that only the listing takes
    std::vector<std::filesystem::path> pictures;
    Outputs outputs;
    PictureOptions picture_options;
};

std::optional<int> indent_value(const std::string& text)
{
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    int value = std::stoi(text);
    if (value < 2 || value > 20) return std::nullopt;
    return value;
}

std::optional<CliError> parse(const Args& args, ListingRequest& request)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--db") {
            request.options.directive = Directive::Db;
            request.assembler_only.push_back(arg);
        } else if (arg == "--no-group") {
            request.options.group_by_crystal = false;
        } else if (arg == "--file-name" || arg.starts_with("--file-name=")) {
            request.file_name_given = true;
            if (arg.size() > 11) request.file_name = arg.substr(12);
            request.assembler_only.push_back("--file-name");
        } else if (arg == "--indent1" || arg == "--indent2") {
            auto text = option_value(args, i);
            auto value = text ? indent_value(*text) : std::nullopt;
            if (!value) return CliError{arg + " needs a number from 2 to 20"};
            (arg == "--indent1" ? request.options.first_indent : request.options.second_indent) = *value;
            request.assembler_only.push_back(arg);
        } else if (arg == "--format") {
            auto text = option_value(args, i);
            if (!text || (*text != "asm" && *text != "c")) return CliError{"--format needs asm or c"};
            request.c_array = *text == "c";
        } else if (arg == "--name") {
            auto text = option_value(args, i);
            if (!text || !is_c_identifier(*text))
                return CliError{"--name needs a C identifier (letters, digits and _, no digit first, no C keyword)"};
            request.array_name = *text;
        } else if (arg == "--crlf") {
            request.crlf = true;
        } else if (arg == "--out-dir") {
            if (auto error = take_out_dir(args, i, request.outputs.out_dir)) return error;
        } else if (auto error = take_picture_argument(args, i, request.outputs.out, request.pictures,
                                                      request.picture_options)) {
            return error;
        }
    }
    if (request.c_array && !request.assembler_only.empty())
        return CliError{request.assembler_only.front() + " does not go with --format c"};
    if (!request.c_array && (request.array_name || request.crlf))
        return CliError{std::string(request.crlf ? "--crlf" : "--name") + " needs --format c"};
    if (request.array_name && request.pictures.size() > 1) return CliError{"--name takes one PICTURE"};
    request.outputs.extension = request.c_array ? ".c" : ".asm";
    return check_outputs(request.pictures, request.outputs);
}

bool standard_input(const std::filesystem::path& picture) { return picture == kStandardStream; }

std::optional<CliError> make_listing(const ListingRequest& request, const std::filesystem::path& path, std::string& bytes)
{
    ScreenBuffer picture;
    if (auto error = load_picture(path, picture, request.picture_options.import)) return error;
    if (request.c_array) {
        std::string name = request.array_name.value_or(
            c_identifier(standard_input(path) ? std::string() : path_to_utf8(path.stem())));
        auto order = request.options.group_by_crystal ? CellOrder::GroupedByCrystal : CellOrder::Interleaved;
        bytes = join_lines(generate_c_array(picture, name, order), request.crlf ? "\r\n" : "\n");
        return std::nullopt;
    }
    ListingOptions options = request.options;
    options.add_file_name = request.file_name_given;
    std::string name;
    if (request.file_name) name = *request.file_name;
    else if (request.file_name_given && !standard_input(path)) name = path_to_utf8(std::filesystem::absolute(path));
    auto text = encode_cp1251(join_view_lines(generate_listing(picture, name, options)));
    if (!text) return CliError{"the file name cannot be written in Windows-1251: " + name, kExitFailed};
    bytes = std::move(*text);
    return std::nullopt;
}

}  // namespace

int run_listing(const Args& args)
{
    ListingRequest request;
    if (auto error = parse(args, request)) return refuse("listing", kListingUsage, *error);
    return make_each("listing", kListingUsage, request.pictures, request.outputs,
                     [&request](const std::filesystem::path& picture, std::string& bytes) {
                         return make_listing(request, picture, bytes);
                     });
}

}  // namespace lumetra::cli
