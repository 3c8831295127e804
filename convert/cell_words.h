// What the two cells a conversion adds to each row say, in the words of
// whoever runs it: the conversion decides, this interface words. The words
// library has the one implementation every front end hands in.
//
//     PEREZ,LOPEZ,JUAN,1980-01-15   ->   ...,PELJ8001152A0,ok
//     PEREZ,LOPEZ,JUAN,31/02/1980   ->   ...,,fila ilegible: la fecha no existe en el calendario
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "columns.h"
#include "compute_key.h"
#include "held_check.h"
#include "held_key.h"
#include "row_reason.h"

namespace convert {

class CellWords {
  public:
    virtual ~CellWords() = default;

    // The headers of the added cells: "rfc", or "rfc_calculado" for a file
    // that holds keys of its own, then "resultado".
    virtual std::array<std::string_view, 2> added_column_names(bool checks_keys) const = 0;
    // What a row's result cell says when all is well: "ok".
    virtual std::string_view ok() const = 0;
    // Appends why a row was not read, "fila ilegible: ...", to `out`.
    virtual void append_unreadable(std::string& out, const RowReason& reason,
                                   const ColumnLayout& layout) const = 0;
    // Appends why `outcome` (NoKey or EmptyKey) is no key for the names it
    // was computed from, followed by the hint to fold accents when
    // `fold_hint`.
    virtual void append_no_key(std::string& out, const keycalc::KeyOutcome& outcome,
                               std::u16string_view paternal, std::u16string_view maternal,
                               std::u16string_view given, bool fold_hint) const = 0;
    // Appends what the result cell says of the key a row holds, as `check`
    // found it against `computed`, the outcome of the names given; when there
    // is no computed key to compare with, followed by the hint to fold
    // accents when `fold_hint`.
    virtual void append_held_key(std::string& out, const CellKeyCheck& check,
                                 const keycalc::KeyOutcome& computed, std::u16string_view paternal,
                                 std::u16string_view maternal, std::u16string_view given,
                                 bool fold_hint) const = 0;
};

}  // namespace convert
