#include "name_cleanup.h"

#include <array>
#include <string_view>

#include "text.h"

namespace keycalc {
namespace {

// Applied in this order; the longer particles come first so that "DE LA "
// is removed whole before "DE " could take its first word.
constexpr std::array<std::u16string_view, 9> particles = {
    u"DE LOS ", u"DE LAS ", u"DE LA ", u"DE EL ", u"DEL ", u"DE ", u"Y ", u"MC ", u"VAN ",
};

constexpr std::u16string_view jose = u"JOSE ";
constexpr std::u16string_view maria = u"MARIA ";
constexpr std::u16string_view missing_surname = u"X";
constexpr char16_t apostrophe = u'\'';

// Drops `first_name` from the start of `Nm` when more text follows it.
void drop_leading(std::u16string& Nm, std::u16string_view first_name)
{
    if (Nm.size() > first_name.size() && std::u16string_view(Nm).starts_with(first_name)) {
        Nm.erase(0, first_name.size());
        text::trim_in_place(Nm);
    }
}

}  // namespace

void remove_particles(NameParts& parts)
{
    for (const auto particle : particles) {
        for (std::u16string* part : {&parts.Ap, &parts.Am, &parts.Nm}) {
            text::replace_all(*part, particle, u" ");
            text::trim_in_place(*part);
        }
    }
}

void drop_common_first_names(std::u16string& Nm)
{
    // MARIA is tested once, after JOSE, and JOSE is not tested again after it:
    // JOSE MARIA ANTONIO becomes ANTONIO and MARIA JOSE becomes JOSE.
    drop_leading(Nm, jose);
    drop_leading(Nm, maria);
}

void remove_surname_apostrophes(NameParts& parts)
{
    for (std::u16string* surname : {&parts.Ap, &parts.Am}) {
        text::remove_char(*surname, apostrophe);
        text::trim_in_place(*surname);
    }
}

void fill_missing_surnames(NameParts& parts)
{
    if (parts.Ap.empty()) {
        parts.Ap = std::move(parts.Am);
        parts.Am = missing_surname;
    }
    if (parts.Am.empty()) parts.Am = missing_surname;
}

void clean_up_names(NameParts& parts)
{
    remove_particles(parts);
    drop_common_first_names(parts.Nm);
    remove_surname_apostrophes(parts);
    fill_missing_surnames(parts);
}

}  // namespace keycalc
