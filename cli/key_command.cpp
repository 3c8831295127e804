#include "key_command.h"

#include <string>
#include <variant>
#include <vector>

#include "cli_words.h"
#include "flags.h"
#include "outcome_words.h"
#include "output_mask.h"
#include "person.h"
#include "utf8.h"

namespace rfc_cli {

convert::ExitStatus run_key_command(std::span<const std::string_view> args, Console& console) {
    bool mask = false, fold_accents = false;
    const Flag flags[] = {{"--mask", &mask}, {"--fold-accents", &fold_accents}};
    std::vector<std::string_view> data;  // the names and the date, as typed
    std::string error;
    if (!split_flags(args, flags, data, error)) return usage_error(console, error);
    if (data.size() != 4) {
        return usage_error(console, words::key_data_count_text(data.size()));
    }

    const std::span<const std::string_view, 4> fields(data);
    const auto read = convert::read_typed_person(fields, fold_accents);
    if (const auto* fault = std::get_if<convert::InputFault>(&read)) {
        return usage_error(console, words::input_fault_text(*fault, fields[3]));
    }
    const convert::PersonKey computed =
        convert::key_of(std::get<convert::TypedPerson>(read), fold_accents);
    const convert::ExitStatus status = convert::key_exit_status(computed.outcome);
    if (status != convert::ExitStatus::Ok) {
        report(console, words::no_key_text(computed, console.naming));
        return status;
    }
    const std::u16string_view key = keycalc::key_text(computed.outcome);
    std::string line = casing::utf16_to_utf8(mask ? keycalc::apply_output_mask(key) : key);
    line.push_back('\n');
    if (const std::error_code write_error = console.out.write_all(line)) {
        report(console, words::cannot_write_text("la clave", write_error.message()));
        return convert::ExitStatus::IoError;
    }
    return convert::ExitStatus::Ok;
}

}  // namespace rfc_cli
