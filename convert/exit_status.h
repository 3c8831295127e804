// How every front end ends: the exit status of `rfc` and `rfc.exe`, the
// answer the page's module gives for a check or a batch.
//
//     rfc batch nomina.csv   (a held key with another homoclave)   ->  KeyDoubtful, 5
#pragma once

namespace convert {

enum class ExitStatus : int {
    Ok = 0,
    NoKey = 1,           // rfc key: the computation gave no key
    UnreadableRows = 1,  // rfc batch: some rows could not be read
    Usage = 2,
    Refused = 3,  // rfc key: the input was refused
    IoError = 4,
    // rfc check, and rfc batch for the keys a file holds: well formed, but
    // the check character or the homoclave differ.
    KeyDoubtful = 5,
    // rfc check, and rfc batch likewise: no key, or not the person's (prefix or date).
    KeyWrong = 6,
};

// The number a process exits with.
constexpr int code(ExitStatus status) { return static_cast<int>(status); }

}  // namespace convert
