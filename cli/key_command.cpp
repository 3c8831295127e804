#include "key_command.h"

#include <string>
#include <variant>
#include <vector>

#include "cli_words.h"
#include "compute_key.h"
#include "names.h"
#include "outcome_words.h"
#include "output_mask.h"
#include "person_words.h"
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

    const auto read = read_person_words(std::span<const std::string_view, 4>(data), fold_accents);
    if (const auto* problem = std::get_if<PersonWordsProblem>(&read)) {
        return usage_error(console, problem->message);
    }
    const PersonWords& person = std::get<PersonWords>(read);
    const auto& [paternal, maternal, given] = person.names;
    const keycalc::KeyOutcome outcome =
        keycalc::Compute_Key(paternal, maternal, given, person.birth);
    if (const auto* refused = std::get_if<keycalc::NoKey>(&outcome)) {
        report(console, words::refusal_text(refused->test));
        return convert::ExitStatus::Refused;
    }
    if (const auto* failed = std::get_if<keycalc::EmptyKey>(&outcome)) {
        report(console, words::failure_text(*failed, paternal, maternal, given) +
                            std::string(convert::fold_hint_applies(outcome, fold_accents, paternal,
                                                                   maternal, given, person.birth)
                                            ? words::fold_accents_hint(console.naming)
                                            : ""));
        return convert::ExitStatus::NoKey;
    }
    const std::u16string_view key = keycalc::key_text(outcome);
    std::string line = casing::utf16_to_utf8(mask ? keycalc::apply_output_mask(key) : key);
    line.push_back('\n');
    if (const std::error_code write_error = console.out.write_all(line)) {
        report(console, words::cannot_write_text("la clave", write_error.message()));
        return convert::ExitStatus::IoError;
    }
    return convert::ExitStatus::Ok;
}

}  // namespace rfc_cli
