// What people are told, in Spanish, of a key that a person holds, alone or
// against the key computed from the person's names and date of birth:
//
//     PELJ8001152A0  alone             clave válida de persona física (nacimiento: 15/01/1980)
//     PELJ800115XY8  against PELJ8001152A0
//                    coincide salvo la homoclave; el SAT asigna otra homoclave a homónimos
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "compute_key.h"
#include "held_check.h"
#include "held_key.h"
#include "key_check.h"
#include "naming.h"

namespace words {

// How an end-of-run summary names `count` rows of a verdict, e.g. "12 con
// otra homoclave", "1 no es clave": "coinciden" or "coincide", "con otra
// homoclave", "no son claves" or "no es clave", ...
std::string_view summary_label(keycalc::CheckVerdict verdict, std::size_t count);

struct CheckReport {
    keycalc::CheckVerdict verdict;
    std::string finding;    // what was found, e.g. "coincide salvo la homoclave"
    std::string_view note;  // why it may still be right, or empty; a constant text
    // The key differs from the computed one in some part, which is then worth
    // showing beside the finding.
    bool differs = false;
};

// The report on a key alone. `this_year` places the two-digit year of the
// date in the latest century that does not put it in a later year.
CheckReport report_key_alone(const keycalc::KeyExamination& examination,
                             std::chrono::year this_year);

// The report on a key against the outcome that Compute_Key gave for the names
// Ap, Am, Nm. A text that is no key is reported so whatever the outcome.
CheckReport report_key_against(const keycalc::KeyExamination& examination,
                               const keycalc::KeyOutcome& computed, std::u16string_view Ap,
                               std::u16string_view Am, std::u16string_view Nm);
// The same, for `held`, the verdict keycalc::judge_key_against gave.
CheckReport report_key_against(const keycalc::KeyExamination& examination,
                               const keycalc::HeldKeyVerdict& held,
                               const keycalc::KeyOutcome& computed, std::u16string_view Ap,
                               std::u16string_view Am, std::u16string_view Nm);

// The line rfc check writes, without its line break: "KEY: finding
// (calculada: K); note". `shown_key` is the key as the line names it;
// `computed_key` what Compute_Key gave, shown when some part differs.
std::string check_line(std::string_view shown_key, const CheckReport& report,
                       std::u16string_view computed_key);

// The line of `check`, as rfc check writes it and the page shows it, without
// its line break. `as_given` is the key as typed; `naming` names the option
// that folds accents when a hint follows a failure.
std::string held_key_check_line(const convert::HeldKeyCheck& check, std::string_view as_given,
                                Naming naming);

// Appends what a row's result cell says of the key it holds, as `check`
// found it against `computed`, the outcome of the names Ap, Am, Nm:
// "coincide", what differs, or why the text is no key.
void append_cell_key_text(std::string& out, const convert::CellKeyCheck& check,
                          const keycalc::KeyOutcome& computed, std::u16string_view Ap,
                          std::u16string_view Am, std::u16string_view Nm);

}  // namespace words
