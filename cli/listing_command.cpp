// lumetra-cli listing: the text "Сохранить в файле" writes after
// "Преобразовать" with the same options.

#include "cli/cli.h"
#include "core/text_encoding.h"
#include "listing/listing.h"

namespace lumetra::cli {

namespace {

struct ListingRequest {
    ListingOptions options;
    bool file_name_given = false;
    std::optional<std::string> file_name;  // NAME of --file-name=NAME
    std::filesystem::path picture;
    std::filesystem::path out;
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
            request.options.dt = false;
            request.options.db = true;
        } else if (arg == "--no-group") {
            request.options.group_by_crystal = false;
        } else if (arg == "--file-name") {
            request.file_name_given = true;
        } else if (arg.starts_with("--file-name=")) {
            request.file_name_given = true;
            request.file_name = arg.substr(12);
        } else if (arg == "--indent1" || arg == "--indent2") {
            auto text = option_value(args, i);
            auto value = text ? indent_value(*text) : std::nullopt;
            if (!value) return CliError{arg + " needs a number from 2 to 20"};
            (arg == "--indent1" ? request.options.first_indent : request.options.second_indent) = *value;
        } else if (arg == "-o") {
            if (auto error = take_output_name(args, i, request.out)) return error;
        } else if (arg.starts_with("-") && arg != "-") {
            return CliError{"unknown option " + arg};
        } else if (request.picture.empty()) {
            request.picture = utf8_to_path(arg);
        } else {
            return CliError{"only one PICTURE may be given"};
        }
    }
    if (request.picture.empty()) return CliError{"PICTURE missing"};
    return std::nullopt;
}

}  // namespace

int run_listing(const Args& args)
{
    ListingRequest request;
    ScreenBuffer picture;
    auto error = parse(args, request);
    if (!error) error = load_picture(request.picture, picture);
    if (!error) {
        request.options.add_file_name = request.file_name_given;
        std::string name = request.file_name.value_or(path_to_utf8(std::filesystem::absolute(request.picture)));
        auto text = encode_cp1251(join_view_lines(generate_listing(picture, name, request.options)));
        if (!text) error = CliError{"the file name cannot be written in Windows-1251: " + name};
        else error = write_output(request.out, *text);
    }
    return error ? refuse("listing", kListingUsage, *error) : 0;
}

}  // namespace lumetra::cli
