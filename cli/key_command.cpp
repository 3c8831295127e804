#include "key_command.h"

#include <array>
#include <string>
#include <variant>
#include <vector>

#include "birth_date.h"
#include "compute_key.h"
#include "message_text.h"
#include "name_input.h"
#include "outcome_text.h"
#include "output_mask.h"
#include "utf8.h"

namespace rfc_cli {
namespace {

constexpr std::array<std::string_view, 3> name_labels = {"el apellido paterno",
                                                         "el apellido materno", "el nombre"};

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

    std::array<std::u16string, 3> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!utf8_to_utf16(request.words[i], names[i])) {
            return usage_error(console, std::string(name_labels[i]) + " no es UTF-8 válido");
        }
        prepare_name(names[i], request.fold_accents);
    }
    const std::string_view date_text = request.words[3];
    const BirthDate date = parse_birth_date(date_text);
    if (const auto* error = std::get_if<DateError>(&date)) {
        return usage_error(console, "la fecha «" + escaped(date_text) + "» " +
                                        std::string(date_error_text(*error)));
    }

    const auto birth = std::get<std::chrono::year_month_day>(date);
    const keycalc::KeyOutcome outcome = keycalc::Compute_Key(names[0], names[1], names[2], birth);
    if (const auto* refused = std::get_if<keycalc::NoKey>(&outcome)) {
        report(console, refusal_text(refused->test));
        return exit_status::refused;
    }
    if (const auto* failed = std::get_if<keycalc::EmptyKey>(&outcome)) {
        std::string message = failure_text(*failed, names[0], names[1], names[2]);
        if (!request.fold_accents &&
            folding_would_help(*failed, names[0], names[1], names[2], birth)) {
            message += fold_accents_hint;
        }
        report(console, message);
        return exit_status::empty_key;
    }
    const std::u16string_view key = keycalc::key_text(outcome);
    std::string line = utf16_to_utf8(request.mask ? keycalc::apply_output_mask(key) : key);
    line.push_back('\n');
    if (const std::error_code error = console.out.write_all(line)) {
        report(console, "no se pudo escribir la clave: " + error.message());
        return exit_status::io_error;
    }
    return exit_status::ok;
}

}  // namespace rfc_cli
