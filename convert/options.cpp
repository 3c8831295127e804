#include "options.h"

#include <thread>

#include "separator.h"

namespace convert {

// Asked of the system once: every ConversionOptions starts from it, and
// finding out reads files under /sys on Linux.
std::size_t ConversionOptions::default_threads() {
    static const std::size_t threads = std::thread::hardware_concurrency();
    return threads;
}

bool apply_setting(Setting setting, std::string_view value, ConversionOptions& options,
                   SettingProblem& problem) {
    problem = {setting, std::string(value), {}};
    switch (setting) {
        case Setting::Columns: {
            const auto request =
                value.empty() ? std::nullopt : parse_column_request(value, problem.columns);
            if (request) options.columns = *request;
            return request.has_value();
        }
        case Setting::Delimiter:
            options.separator = delimited::separator_choice(value);
            return options.separator.has_value();
        case Setting::Encoding:
            options.encoding = delimited::encoding_choice(value);
            return options.encoding.has_value();
        case Setting::Sheet:
            if (!value.empty()) options.sheet = std::string(value);
            return !value.empty();
    }
    return false;
}

}  // namespace convert
