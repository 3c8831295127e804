#include "flags.h"

#include <algorithm>

#include "cli_words.h"

namespace rfc_cli {
bool split_flags(std::span<const std::string_view> args, std::span<const Flag> flags,
                 std::vector<std::string_view>& words, std::string& error) {
    bool flags_done = false;
    for (const std::string_view arg : args) {
        if (!flags_done && arg == "--") {
            flags_done = true;
            continue;
        }
        const auto flag = std::find_if(flags.begin(), flags.end(),
                                       [arg](const Flag& f) { return f.name == arg; });
        if (!flags_done && flag != flags.end()) {
            *flag->set = true;
        } else if (!flags_done && arg.size() > 1 && arg.front() == '-') {
            error = words::unknown_option_text(arg);
            return false;
        } else {
            words.push_back(arg);
        }
    }
    return true;
}

}  // namespace rfc_cli
