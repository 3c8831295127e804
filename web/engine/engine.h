// What the browser page and the JavaScript module ask of the C++ libraries, in
// plain C++: every answer comes from the same code, with the same words, as
// the command line `rfc` gives it, and with the values the words are made of.
// bindings.cpp only exports these to JavaScript.
//
//     compute_key({"perez", "lopez", "juan", "1980-01-15"})
//         -> {KeyOutcome::Key, "PELJ8001152A0", "PELJ-800115-2A0", "", ExitStatus::Ok, ...}
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_stream.h"
#include "conversion.h"
#include "exit_status.h"
#include "held_check.h"
#include "person.h"

namespace web_engine {

// A person as typed: the names in UTF-8 and the date as YYYY-MM-DD (or any
// form `rfc key` reads).
struct Person {
    std::string paterno;
    std::string materno;
    std::string nombre;
    std::string fecha;
    bool fold_accents = false;
};

enum class KeyOutcome { Key, Empty, None };

struct KeyAnswer {
    KeyOutcome outcome = KeyOutcome::None;
    std::string key;     // the key, or empty
    std::string masked;  // the key through the output mask, or the blank mask
    // Empty for a key; otherwise what `rfc key` says on standard error after
    // "rfc: ": why the input was refused, why there is no key, or what is
    // wrong with the date (then the outcome is None).
    std::string message;
    // What `rfc key` exits with.
    convert::ExitStatus status = convert::ExitStatus::Ok;
    // Why there is no key, as values: the fields' fault, when they could not
    // be read; else `computed` tells.
    std::optional<convert::InputFault> fault;
    convert::PersonKey computed;
};

// The key of `person` as the window gives it, and why there is none.
KeyAnswer compute_key(const Person& person);

struct CheckAnswer {
    convert::ExitStatus status = convert::ExitStatus::Ok;  // the exit status of `rfc check`
    std::string text;  // its line, without the line end; for a mistake in the
                       // input, its message after "rfc: "
    // The values of the line: the input's fault, or the check made.
    std::optional<convert::InputFault> fault;
    std::optional<convert::HeldKeyCheck> check;
};

// The verdict of `rfc check` on `clave`, alone or against `person`.
CheckAnswer check_key(std::string_view clave, const Person* person);

// What `rfc batch` is told: each option is passed on as given, or left out.
struct BatchRequest {
    bool fold_accents = false;
    std::optional<std::string> delimiter;
    std::optional<std::string> encoding;
    std::optional<std::string> columns;
    std::string name;                  // the file's name in messages; empty as for standard input
    std::optional<std::string> sheet;  // a workbook's sheet, by name or place
    bool fill_empty = false;
};

// What a batch hands on as it goes: each line `rfc batch` writes on standard
// error, without the line end (and, with the page's controls named, without
// "rfc: " either); each row it could not read, with why as a value and as
// the row's result cell says it, just before that row's line; and at the end
// what became of the rows. For a workbook, also its sheets that hold cells,
// by name, and the place among them of the one read, as soon as it is
// chosen; and every so many rows how far through the workbook it is.
struct BatchEvents {
    std::function<void(std::string_view line)> message;
    std::function<void(const convert::ProblemRow& row, std::string_view text)> problem;
    std::function<void(const convert::RowTally& tally, bool checks_keys)> counted;
    std::function<void(const std::vector<std::string>& sheets, std::size_t chosen)> sheets;
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// Converts `input` as `rfc batch` does, on this one thread: `output` gets
// exactly the bytes it writes. Returns its exit status.
convert::ExitStatus run_batch(delimited::ByteSource& input, delimited::ByteSink& output,
                              const BatchEvents& events, const BatchRequest& request);

// From now on, messages name the page's controls by their labels (the check
// box words::fold_accents_check_box, the fields of words::page_label) instead
// of the options --fold-accents, --columns, --delimiter and --encoding, and a
// batch's lines leave out the "rfc: " in front of each. The
// rows of a batch's output keep the options' names: they are the bytes `rfc
// batch` writes.
void name_page_controls();

// The window's typing rule: every character upper-cased where it stands.
std::u16string upper_case(std::u16string_view text);

// The version of `rfc`.
std::string_view version();

}  // namespace web_engine
