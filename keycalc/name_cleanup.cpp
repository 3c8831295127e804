#include "name_cleanup.h"

#include <array>
#include <span>
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
constexpr char16_t missing_surname = u'X';
constexpr char16_t apostrophe = u'\'';

// Whether some particle other than the first ends at a space of `part`. Only
// then can the particle passes change a trimmed text: a replacement never
// happens unless one was there to begin with.
bool has_particle_ending_at_a_space(std::u16string_view part) {
    for (auto space = part.find(text::space); space != std::u16string_view::npos;
         space = part.find(text::space, space + 1)) {
        const auto up_to_space = part.substr(0, space + 1);
        for (const auto particle : std::span(particles).subspan(1)) {
            if (up_to_space.ends_with(particle)) return true;
        }
    }
    return false;
}

// Drops `first_name` from the start of `Nm` when more text follows it.
void drop_leading(text::Text& Nm, std::u16string_view first_name) {
    if (Nm.size() > first_name.size() && std::u16string_view(Nm).starts_with(first_name)) {
        Nm.erase(0, first_name.size());
        text::trim_in_place(Nm);
    }
}

}  // namespace

void remove_particles(text::Text& part) {
    // Every particle ends in a space, and a text without spaces is trimmed
    // already: most surnames have nothing to change.
    if (!text::contains(part, text::space)) return;
    // Only the first particle can meet the text untrimmed, and so match at its
    // very end. After that the text stays trimmed unless a particle matched.
    text::replace_all(part, particles.front(), u" ");
    text::trim_in_place(part);
    if (!has_particle_ending_at_a_space(part)) return;  // most names have none
    for (const auto particle : std::span(particles).subspan(1)) {
        if (text::replace_all(part, particle, u" ")) text::trim_in_place(part);
    }
}

void drop_common_first_names(text::Text& Nm) {
    // MARIA is tested once, after JOSE, and JOSE is not tested again after it:
    // JOSE MARIA ANTONIO becomes ANTONIO and MARIA JOSE becomes JOSE.
    drop_leading(Nm, jose);
    drop_leading(Nm, maria);
}

void remove_surname_apostrophes(NameParts& parts) {
    for (text::Text* surname : {&parts.Ap, &parts.Am}) {
        text::remove_char(*surname, apostrophe);
        text::trim_in_place(*surname);
    }
}

void fill_missing_surnames(NameParts& parts) {
    if (parts.Ap.empty()) {
        parts.Ap = std::move(parts.Am);
        parts.Am.assign(1, missing_surname);
    }
    if (parts.Am.empty()) parts.Am.assign(1, missing_surname);
}

void clean_up_names(NameParts& parts) {
    // Each text's particles depend on that text alone, so the three can be
    // cleaned one after the other.
    for (text::Text* part : {&parts.Ap, &parts.Am, &parts.Nm}) remove_particles(*part);
    drop_common_first_names(parts.Nm);
    remove_surname_apostrophes(parts);
    fill_missing_surnames(parts);
}

}  // namespace keycalc
