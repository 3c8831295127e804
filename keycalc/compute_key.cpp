#include "compute_key.h"

#include <array>
#include <span>
#include <string>

#include "homoclave.h"
#include "key_length.h"
#include "name_cleanup.h"
#include "prefix.h"
#include "scratch_memory.h"
#include "text.h"

namespace keycalc {
namespace {

// Reads every "¥" of a part of the full name as "Ñ", in place, and notes what
// the clean-up will look for.
PartMarks read_typed_part(std::span<char16_t> part) {
    return change_and_mark(part, [](char16_t c) { return text::read_yen_as_enye(c); });
}

// The date of birth as yymmdd.
constexpr std::size_t date_length = 6;
std::array<char16_t, date_length> date_segment(std::chrono::year_month_day date) {
    std::array<char16_t, date_length> segment{};
    const auto put_two_digits = [&segment](std::size_t at, unsigned n) {
        segment[at] = static_cast<char16_t>(u'0' + n / 10);
        segment[at + 1] = static_cast<char16_t>(u'0' + n % 10);
    };
    const int year = static_cast<int>(date.year());
    put_two_digits(0, static_cast<unsigned>((year % 100 + 100) % 100));
    put_two_digits(2, static_cast<unsigned>(date.month()));
    put_two_digits(4, static_cast<unsigned>(date.day()));
    return segment;
}

// Places an uncoded character of the full name "Ap Am Nm" in the name part
// that holds it; the spaces between the parts are always coded.
EmptyKey placed_in_part(EmptyKey failure, std::size_t Ap_size, std::size_t Am_size) {
    if (failure.position == 0) return failure;
    std::size_t position = failure.position;
    NamePart part = NamePart::Paternal;
    for (const std::size_t size : {Ap_size, Am_size}) {
        if (position <= size) break;
        position -= size + 1;
        part = static_cast<NamePart>(static_cast<int>(part) + 1);
    }
    failure.part = part;
    failure.part_position = position;
    return failure;
}

}  // namespace

void Compute_Key(std::u16string_view Ap, std::u16string_view Am, std::u16string_view Nm,
                 std::chrono::year_month_day FB, KeyOutcome& outcome) {
    const auto blank = [](std::u16string_view part) {
        return part.find_first_not_of(text::space) == std::u16string_view::npos;
    };
    if (blank(Nm)) {
        outcome = NoKey{RefusalTest::GivenNamesBlank};
        return;
    }
    if (blank(Ap) && blank(Am)) {
        outcome = NoKey{RefusalTest::SurnamesBlank};
        return;
    }
    if (!FB.ok()) {
        outcome = NoKey{RefusalTest::DateInvalid};
        return;
    }

    // The homoclave reads the full name "Ap Am Nm" as typed, before any
    // clean-up; the parts to clean up are cut from it.
    ScratchMemory scratch;
    text::Text full_name(&scratch);
    full_name.reserve(Ap.size() + Am.size() + Nm.size() + 2);
    full_name.append(Ap).append(1, text::space).append(Am).append(1, text::space).append(Nm);
    const std::span<char16_t> name(full_name);
    const std::span<char16_t> typed_Ap = name.subspan(0, Ap.size()),
                              typed_Am = name.subspan(Ap.size() + 1, Am.size()),
                              typed_Nm = name.subspan(Ap.size() + Am.size() + 2);
    const NameMarks marks{read_typed_part(typed_Ap), read_typed_part(typed_Am),
                          read_typed_part(typed_Nm)};
    NameParts parts{text::Text(typed_Ap.data(), typed_Ap.size(), &scratch),
                    text::Text(typed_Am.data(), typed_Am.size(), &scratch),
                    text::Text(typed_Nm.data(), typed_Nm.size(), &scratch)};

    clean_up_names(parts, marks);
    auto prefix = build_prefix(parts);
    if (const auto* failure = std::get_if<EmptyKey>(&prefix)) {
        outcome = *failure;
        return;
    }
    const auto homoclave_characters = homoclave(full_name);
    if (const auto* failure = std::get_if<EmptyKey>(&homoclave_characters)) {
        outcome = placed_in_part(*failure, Ap.size(), Am.size());
        return;
    }

    // Put together in place, then copied into the outcome's string once.
    std::array<char16_t, natural_key_length> key{};
    std::size_t length = 0;
    const auto put = [&key, &length](std::u16string_view part) {
        for (const char16_t c : part) key[length++] = c;
    };
    const std::array<char16_t, date_length> date = date_segment(FB);
    put(std::get<std::u16string>(prefix));
    put({date.data(), date.size()});
    put(std::get<std::u16string>(homoclave_characters));
    put(check_character({key.data(), length}));
    if (auto* held = std::get_if<Key>(&outcome)) {
        held->text.assign(key.data(), length);
    } else {
        outcome = Key{std::u16string(key.data(), length)};
    }
}

KeyOutcome Compute_Key(std::u16string_view Ap, std::u16string_view Am, std::u16string_view Nm,
                       std::chrono::year_month_day FB) {
    KeyOutcome outcome;
    Compute_Key(Ap, Am, Nm, FB, outcome);
    return outcome;
}

std::u16string_view key_text(const KeyOutcome& outcome) {
    const auto* key = std::get_if<Key>(&outcome);
    return key ? std::u16string_view(key->text) : std::u16string_view{};
}

}  // namespace keycalc
