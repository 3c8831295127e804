#include "key_command.h"

#include <string>
#include <variant>
#include <vector>

#include "compute_key.h"
#include "message_text.h"
#include "name_input.h"
#include "outcome_text.h"
#include "output_mask.h"
#include "person_words.h"
#include "utf8.h"

namespace rfc_cli {
namespace {

struct KeyRequest {
    bool mask = false;
    bool fold_accents = false;
    std::vector<std::string_view> words;  // the names and the date, as typed
};

}  // namespace

int run_key_command(std::span<const std::string_view> args, Console& console) {
    KeyRequest request;
    bool options_done = false;
    for (const std::string_view arg : args) {
        if (!options_done && arg == "--") {
            options_done = true;
        } else if (!options_done && arg == "--mask") {
            request.mask = true;
        } else if (!options_done && arg == "--fold-accents") {
            request.fold_accents = true;
        } else if (!options_done && arg.size() > 1 && arg.front() == '-') {
            return usage_error(console, "opción desconocida «" + escaped(arg) + "»");
        } else {
            request.words.push_back(arg);
        }
    }
    if (request.words.size() != 4) {
        return usage_error(console,
                           "rfc key necesita 4 datos (PATERNO MATERNO NOMBRES FECHA) y recibió " +
                               std::to_string(request.words.size()));
    }

    const auto read = read_person_words(std::span<const std::string_view, 4>(request.words),
                                        request.fold_accents);
    if (const auto* problem = std::get_if<PersonWordsProblem>(&read)) {
        return usage_error(console, problem->message);
    }
    const PersonWords& person = std::get<PersonWords>(read);
    const auto& [paternal, maternal, given] = person.names;
    const keycalc::KeyOutcome outcome =
        keycalc::Compute_Key(paternal, maternal, given, person.birth);
    if (const auto* refused = std::get_if<keycalc::NoKey>(&outcome)) {
        report(console, refusal_text(refused->test));
        return exit_status::refused;
    }
    if (const auto* failed = std::get_if<keycalc::EmptyKey>(&outcome)) {
        std::string message = failure_text(*failed, paternal, maternal, given);
        if (!request.fold_accents &&
            folding_would_help(*failed, paternal, maternal, given, person.birth)) {
            message += fold_accents_hint;
        }
        report(console, message);
        return exit_status::empty_key;
    }
    const std::u16string_view key = keycalc::key_text(outcome);
    std::string line =
        delimited::utf16_to_utf8(request.mask ? keycalc::apply_output_mask(key) : key);
    line.push_back('\n');
    if (const std::error_code error = console.out.write_all(line)) {
        report(console, "no se pudo escribir la clave: " + error.message());
        return exit_status::io_error;
    }
    return exit_status::ok;
}

}  // namespace rfc_cli
