#include "verdict_words.h"

#include <array>
#include <utility>
#include <vector>

#include "counted.h"
#include "digits.h"
#include "escaped.h"
#include "outcome_words.h"
#include "utf8.h"

namespace words {
namespace {

using keycalc::CheckVerdict;
using keycalc::KeyFault;
using keycalc::KeyKind;

// The character at 0-based `index` of a key, with the other half of a
// surrogate pair that it begins.
std::u16string_view character_at(std::u16string_view key, std::size_t index) {
    return key.substr(index, casing::character_units(key, index));
}

std::string fault_text(const keycalc::KeyExamination& examination,
                       const keycalc::NotAKey& not_a_key) {
    const std::u16string_view key = examination.key();
    const auto at = [&key, &not_a_key] {
        return "el carácter " + character_text(character_at(key, not_a_key.position - 1)) +
               " en la posición " + std::to_string(not_a_key.position);
    };
    std::string text = "no es una clave: ";
    switch (not_a_key.fault) {
        case KeyFault::Length:
            if (examination.length == 0) return text + "está vacía";
            return text + "tiene " + counted(examination.length, noun::characters) +
                   ", y una clave tiene 13 (persona física) o 12 (persona moral)";
        case KeyFault::Letter:
            return text + at() + " no es una letra";
        case KeyFault::DateDigits:
        case KeyFault::NoSuchDay:
            return text + echoed(casing::utf16_to_utf8(keycalc::date_digits(key))) +
                   " no es una fecha";
        case KeyFault::Homoclave:
            return text + at() + " no puede ir en la homoclave";
        case KeyFault::CheckSymbol:
            return text + "el dígito verificador " + character_text(key.substr(key.size() - 1)) +
                   " no es un dígito ni la A";
        case KeyFault::WithoutHomoclave:
            return "no es una clave completa: tiene " +
                   counted(examination.length, noun::characters) +
                   "; le faltan la homoclave y el dígito verificador";
    }
    return text;
}

// Which generic key: "genérica del público en general" or "genérica de extranjeros".
std::string_view generic_text(KeyKind kind) {
    return kind == KeyKind::Foreigner ? "genérica de extranjeros"
                                      : "genérica del público en general";
}

// "de persona física (nacimiento: 15/01/1980)" and the like.
std::string kind_text(const keycalc::WellFormedKey& key, std::chrono::year this_year) {
    if (keycalc::is_generic(key.kind)) return std::string(generic_text(key.kind));
    const std::string date = day_first_date_text(keycalc::latest_date(key.date, this_year));
    switch (key.kind) {
        case KeyKind::NaturalPerson:
            return "de persona física (nacimiento: " + date + ")";
        case KeyKind::ShortNaturalPerson:
            return "de persona física, de 12 caracteres como la dan estas reglas cuando el nombre "
                   "no da cuarta letra (nacimiento: " +
                   date + ")";
        case KeyKind::LegalPerson:
            return "de persona moral (constitución: " + date + ")";
        case KeyKind::GeneralPublic:
        case KeyKind::Foreigner:
            break;
    }
    return {};
}

std::string check_text(char16_t expected) {
    return "su dígito verificador no corresponde: se esperaba " +
           casing::utf16_to_utf8(std::u16string_view(&expected, 1));
}

constexpr std::string_view agrees_text = "coincide";
constexpr std::string_view enye_text = "coincide salvo la Ñ, que estas reglas escriben X";

constexpr std::string_view check_note =
    "el SAT ha asignado algunas claves así; confírmela con la constancia de situación fiscal";

// "la fecha", "la fecha y la homoclave", "el prefijo, la fecha y la homoclave".
std::string joined(const std::vector<std::string_view>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? " y " : ", ";
        text += parts[i];
    }
    return text;
}

// "la fecha", "la fecha y la homoclave", "el prefijo, la fecha y la homoclave".
std::string differing_text(const keycalc::DifferingParts& parts) {
    std::vector<std::string_view> differing;
    if (parts.prefix) differing.push_back("el prefijo");
    if (parts.date) differing.push_back("la fecha");
    if (parts.homoclave) differing.push_back("la homoclave");
    if (parts.check_character) differing.push_back("el dígito verificador");
    return (differing.size() > 1 ? "difieren " : "difiere ") + joined(differing);
}

// A key that its kind alone tells from the person's: no part is worth naming.
CheckReport other_kind_report(const keycalc::HeldKeyVerdict& held,
                              const keycalc::WellFormedKey& key) {
    if (held.kind == keycalc::HeldKind::Generic) {
        return {held.verdict,
                "no coincide: es la clave " + std::string(generic_text(key.kind)) +
                    ", no la de una persona",
                {},
                true};
    }
    std::string finding =
        "no coincide: es una clave de persona moral (12 caracteres), no la de una persona física";
    if (!key.check_verifies) finding += ", y " + check_text(key.expected_check);
    return {held.verdict, std::move(finding), {}, true};
}

// A key without homoclave, and whether its prefix and date are the person's.
CheckReport without_homoclave_report(const keycalc::HeldKeyVerdict& held,
                                     const keycalc::KeyExamination& examination) {
    std::string finding = fault_text(examination, std::get<keycalc::NotAKey>(examination.verdict));
    if (held.differing.prefix || held.differing.date) {
        finding += "; " + differing_text(held.differing);
    } else {
        finding += "; el prefijo y la fecha coinciden";
        if (held.enye_written_as_x) finding += ", salvo la Ñ, que estas reglas escriben X";
    }
    return {held.verdict, std::move(finding), {}, true};
}

CheckReport compared_report(const keycalc::HeldKeyVerdict& held,
                            const keycalc::WellFormedKey& key) {
    const std::string check_fails = ", y " + check_text(key.expected_check);
    switch (held.verdict) {
        case CheckVerdict::Agrees:
            if (!held.enye_written_as_x) return {held.verdict, std::string(agrees_text), {}, false};
            return {held.verdict, std::string(enye_text),
                    "es una diferencia conocida de estas reglas, no un error de la clave", true};
        case CheckVerdict::CheckFails:
            if (held.enye_written_as_x) {
                return {held.verdict, std::string(enye_text) + check_fails, check_note, true};
            }
            return {held.verdict, "coincide salvo el dígito verificador", check_note, true};
        case CheckVerdict::HomoclaveDiffers:
            return {held.verdict,
                    "coincide salvo la homoclave" + (key.check_verifies ? "" : check_fails),
                    "el SAT asigna otra homoclave a homónimos", true};
        default:
            return {held.verdict, "no coincide: " + differing_text(held.differing), {}, true};
    }
}

// There is no key to compare with: `why` says why, as rfc key says it.
CheckReport no_computed_key_report(std::string_view why) {
    return {CheckVerdict::NoComputedKey,
            "no hay clave calculada con que compararla: " + std::string(why),
            {},
            false};
}

// The key as the line shows it, made safe to print: compacted, or in quotes
// as given when it is empty or too long to be kept whole.
std::string shown_key(const keycalc::KeyExamination& examination, std::string_view as_given) {
    if (examination.length == examination.key().size() && examination.length > 0) {
        return escaped(casing::utf16_to_utf8(examination.key()));
    }
    return echoed(as_given);
}

}  // namespace

std::string_view summary_label(CheckVerdict verdict, std::size_t count) {
    const bool one = count == 1;
    switch (verdict) {
        case CheckVerdict::Valid:
            return one ? "válida" : "válidas";
        case CheckVerdict::Agrees:
            return one ? "coincide" : "coinciden";
        case CheckVerdict::CheckFails:
            return "con dígito verificador que no corresponde";
        case CheckVerdict::HomoclaveDiffers:
            return "con otra homoclave";
        case CheckVerdict::Disagrees:
            return one ? "no coincide" : "no coinciden";
        case CheckVerdict::NotAKey:
            return one ? "no es clave" : "no son claves";
        case CheckVerdict::NoComputedKey:
            return "sin clave calculada";
        case CheckVerdict::NotGiven:
            return "sin clave que revisar";
    }
    return {};
}

CheckReport report_key_alone(const keycalc::KeyExamination& examination,
                             std::chrono::year this_year) {
    const CheckVerdict verdict = keycalc::judge_key_alone(examination);
    if (verdict == CheckVerdict::NotAKey) {
        return {verdict,
                fault_text(examination, std::get<keycalc::NotAKey>(examination.verdict)),
                {},
                false};
    }
    const auto& key = std::get<keycalc::WellFormedKey>(examination.verdict);
    if (verdict == CheckVerdict::Valid) {
        // A generic key is valid as a key, but no person's.
        return {verdict,
                std::string(keycalc::is_generic(key.kind) ? "clave " : "clave válida ") +
                    kind_text(key, this_year),
                {},
                false};
    }
    return {verdict,
            "clave " + kind_text(key, this_year) + ", pero " + check_text(key.expected_check),
            check_note, false};
}

CheckReport report_key_against(const keycalc::KeyExamination& examination,
                               const keycalc::KeyOutcome& computed, std::u16string_view Ap,
                               std::u16string_view Am, std::u16string_view Nm) {
    return report_key_against(examination,
                              keycalc::judge_key_against(examination, computed, Ap, Am, Nm),
                              computed, Ap, Am, Nm);
}

CheckReport report_key_against(const keycalc::KeyExamination& examination,
                               const keycalc::HeldKeyVerdict& held,
                               const keycalc::KeyOutcome& computed, std::u16string_view Ap,
                               std::u16string_view Am, std::u16string_view Nm) {
    switch (held.kind) {
        case keycalc::HeldKind::Generic:
        case keycalc::HeldKind::LegalPerson:
            return other_kind_report(held, std::get<keycalc::WellFormedKey>(examination.verdict));
        case keycalc::HeldKind::WithoutHomoclave:
            return without_homoclave_report(held, examination);
        case keycalc::HeldKind::Comparable:
            break;
    }
    switch (held.verdict) {
        case CheckVerdict::NotAKey:
            return {held.verdict,
                    fault_text(examination, std::get<keycalc::NotAKey>(examination.verdict)),
                    {},
                    false};
        case CheckVerdict::NoComputedKey: {
            std::string why;
            if (const auto* refused = std::get_if<keycalc::NoKey>(&computed)) {
                why = refusal_text(refused->test);
            } else {
                append_failure_text(why, std::get<keycalc::EmptyKey>(computed), Ap, Am, Nm);
            }
            return no_computed_key_report(why);
        }
        default:
            return compared_report(held, std::get<keycalc::WellFormedKey>(examination.verdict));
    }
}

std::string held_key_check_line(const convert::HeldKeyCheck& check, std::string_view as_given,
                                Naming naming) {
    CheckReport found;
    if (!check.person) {
        found = report_key_alone(check.examination, check.this_year);
    } else if (check.held.verdict == CheckVerdict::NoComputedKey) {
        found = no_computed_key_report(no_key_text(check.computed, naming));
    } else {
        const auto& [Ap, Am, Nm] = check.person->names;
        found =
            report_key_against(check.examination, check.held, check.computed.outcome, Ap, Am, Nm);
    }
    return check_line(shown_key(check.examination, as_given), found,
                      keycalc::key_text(check.computed.outcome));
}

std::string check_line(std::string_view shown_key, const CheckReport& report,
                       std::u16string_view computed_key) {
    std::string line(shown_key);
    line += ": " + report.finding;
    if (report.differs) {
        line += " (calculada: " + casing::utf16_to_utf8(computed_key) + ")";
    } else if (report.verdict == CheckVerdict::Agrees) {
        line += " con la calculada";
    }
    if (!report.note.empty()) line.append("; ").append(report.note);
    return line;
}

void append_cell_key_text(std::string& out, const convert::CellKeyCheck& check,
                          const keycalc::KeyOutcome& computed, std::u16string_view Ap,
                          std::u16string_view Am, std::u16string_view Nm) {
    switch (check.found) {
        case convert::CellKey::Agrees:
            out.append(agrees_text);
            return;
        case convert::CellKey::NotUtf8:
            out.append("no es una clave: no es UTF-8 válido");
            return;
        case convert::CellKey::Blank:
            return;
        case convert::CellKey::Judged:
            break;
    }
    const CheckReport report =
        report_key_against(check.examination, check.held, computed, Ap, Am, Nm);
    out.append(report.finding);
    if (!report.note.empty()) out.append("; ").append(report.note);
}

}  // namespace words
