#include "check_command.h"

#include <chrono>
#include <string>
#include <variant>
#include <vector>

#include "key_check.h"
#include "key_verdict.h"
#include "message_text.h"
#include "name_input.h"
#include "person_words.h"
#include "utf8.h"

namespace rfc_cli {
namespace {

constexpr std::size_t alone_words = 1, with_person_words = 5;

std::chrono::year this_year() {
    using namespace std::chrono;
    return year_month_day{floor<days>(system_clock::now())}.year();
}

int status_of(const CheckReport& report, const keycalc::KeyOutcome& computed) {
    switch (level_of(report.verdict)) {
        case CheckLevel::Sound:
            return exit_status::ok;
        case CheckLevel::Doubtful:
            return exit_status::key_doubtful;
        case CheckLevel::Wrong:
            return exit_status::key_wrong;
        case CheckLevel::Other:
            break;
    }
    return std::holds_alternative<keycalc::NoKey>(computed) ? exit_status::refused
                                                            : exit_status::empty_key;
}

// The key as the line shows it, made safe to print: compacted, or in quotes
// as given when it is empty or too long to be kept whole.
std::string shown_key(const keycalc::KeyExamination& examination, std::string_view as_given) {
    if (examination.length == examination.key().size() && examination.length > 0) {
        return escaped(delimited::utf16_to_utf8(examination.key()));
    }
    return "«" + escaped(as_given) + "»";
}

// "KEY: finding (calculada: K); note".
std::string line_of(const keycalc::KeyExamination& examination, std::string_view as_given,
                    const CheckReport& report, const keycalc::KeyOutcome& computed) {
    std::string line = shown_key(examination, as_given);
    line += ": " + report.finding;
    if (report.differs) {
        line += " (calculada: " + delimited::utf16_to_utf8(keycalc::key_text(computed)) + ")";
    } else if (report.verdict == CheckVerdict::Agrees) {
        line += " con la calculada";
    }
    if (!report.note.empty()) line.append("; ").append(report.note);
    line.push_back('\n');
    return line;
}

}  // namespace

int run_check_command(std::span<const std::string_view> args, Console& console) {
    std::vector<std::string_view> words;
    bool fold_accents = false;
    bool options_done = false;
    for (const std::string_view arg : args) {
        if (!options_done && arg == "--") {
            options_done = true;
        } else if (!options_done && arg == "--fold-accents") {
            fold_accents = true;
        } else if (!options_done && arg.size() > 1 && arg.front() == '-') {
            return usage_error(console, "opción desconocida «" + escaped(arg) + "»");
        } else {
            words.push_back(arg);
        }
    }
    if (words.size() != alone_words && words.size() != with_person_words) {
        return usage_error(console,
                           "rfc check necesita la CLAVE, o la CLAVE y PATERNO MATERNO NOMBRES "
                           "FECHA, y recibió " +
                               std::to_string(words.size()) + " datos");
    }
    std::u16string key_text;
    if (!delimited::utf8_to_utf16(words.front(), key_text)) {
        return usage_error(console, "la clave no es UTF-8 válido");
    }
    const keycalc::KeyExamination examination = keycalc::examine_key(key_text);

    keycalc::KeyOutcome computed = keycalc::Key{};
    CheckReport found;
    if (words.size() == alone_words) {
        found = report_key_alone(examination, this_year());
    } else {
        const auto read = read_person_words(
            std::span<const std::string_view, 4>(words.data() + alone_words, 4), fold_accents);
        if (const auto* problem = std::get_if<PersonWordsProblem>(&read)) {
            return usage_error(console, problem->message);
        }
        const PersonWords& person = std::get<PersonWords>(read);
        const auto& [Ap, Am, Nm] = person.names;
        computed = keycalc::Compute_Key(Ap, Am, Nm, person.birth);
        found = report_key_against(examination, computed, Ap, Am, Nm);
        const auto* failed = std::get_if<keycalc::EmptyKey>(&computed);
        if (found.verdict == CheckVerdict::NoComputedKey && failed && !fold_accents &&
            folding_would_help(*failed, Ap, Am, Nm, person.birth)) {
            found.finding += fold_accents_hint;
        }
    }
    if (const std::error_code error =
            console.out.write_all(line_of(examination, words.front(), found, computed))) {
        report(console, "no se pudo escribir: " + error.message());
        return exit_status::io_error;
    }
    return status_of(found, computed);
}

}  // namespace rfc_cli
