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

// The characters that come right before the closing space of some particle:
// no particle ends at a space that follows any other character.
constexpr auto particle_last_letters = [] {
    std::array<bool, 0x80> letters{};
    for (const auto particle : particles) letters[particle[particle.size() - 2]] = true;
    return letters;
}();

// Whether some particle ends at a space of `part`, that is, occurs in it.
bool has_particle(std::u16string_view part) {
    for (auto space = part.find(text::space, 1); space != std::u16string_view::npos;
         space = part.find(text::space, space + 1)) {
        const char16_t before = part[space - 1];
        if (before >= particle_last_letters.size() || !particle_last_letters[before]) continue;
        const auto up_to_space = part.substr(0, space + 1);
        for (const auto particle : particles) {
            if (up_to_space.ends_with(particle)) return true;
        }
    }
    return false;
}

void remove_particles(text::Text& part, const PartMarks& marks) {
    if (!marks.space) return;
    // Without a particle the passes below only trim: a replacement never
    // happens unless one was there to begin with, and trimming cannot make one.
    if (!has_particle(part)) {
        text::trim_in_place(part);
        return;
    }
    // Only the first particle can meet the text untrimmed, and so match at its
    // very end. After that the text stays trimmed unless a particle matched.
    text::replace_all(part, particles.front(), u" ");
    text::trim_in_place(part);
    for (const auto particle : std::span(particles).subspan(1)) {
        if (text::replace_all(part, particle, u" ")) text::trim_in_place(part);
    }
}

void remove_surname_apostrophes(NameParts& parts, const NameMarks& marks) {
    // Particles and trimming neither add nor remove apostrophes, so the marks
    // of the parts as typed still hold.
    if (marks.Ap.apostrophe) {
        text::remove_char(parts.Ap, apostrophe);
        text::trim_in_place(parts.Ap);
    }
    if (marks.Am.apostrophe) {
        text::remove_char(parts.Am, apostrophe);
        text::trim_in_place(parts.Am);
    }
}

// Drops `first_name` from the start of `Nm` when more text follows it.
void drop_leading(text::Text& Nm, std::u16string_view first_name) {
    if (Nm.size() > first_name.size() && std::u16string_view(Nm).starts_with(first_name)) {
        Nm.erase(0, first_name.size());
        text::trim_in_place(Nm);
    }
}

}  // namespace

PartMarks marks_of(std::u16string_view part) {
    unsigned bits = 0;
    for (const char16_t c : part) bits |= mark_bits(c);
    return marks_from_bits(bits);
}

void remove_particles(text::Text& part) { remove_particles(part, marks_of(part)); }

void drop_common_first_names(text::Text& Nm) {
    // MARIA is tested once, after JOSE, and JOSE is not tested again after it:
    // JOSE MARIA ANTONIO becomes ANTONIO and MARIA JOSE becomes JOSE.
    drop_leading(Nm, jose);
    drop_leading(Nm, maria);
}

void remove_surname_apostrophes(NameParts& parts) {
    remove_surname_apostrophes(parts, {marks_of(parts.Ap), marks_of(parts.Am), {}});
}

void fill_missing_surnames(NameParts& parts) {
    if (parts.Ap.empty()) {
        parts.Ap = std::move(parts.Am);
        parts.Am.assign(1, missing_surname);
    }
    if (parts.Am.empty()) parts.Am.assign(1, missing_surname);
}

void clean_up_names(NameParts& parts) {
    clean_up_names(parts, {marks_of(parts.Ap), marks_of(parts.Am), marks_of(parts.Nm)});
}

void clean_up_names(NameParts& parts, const NameMarks& marks) {
    // Each text's particles depend on that text alone, so the three can be
    // cleaned one after the other.
    remove_particles(parts.Ap, marks.Ap);
    remove_particles(parts.Am, marks.Am);
    remove_particles(parts.Nm, marks.Nm);
    drop_common_first_names(parts.Nm);
    remove_surname_apostrophes(parts, marks);
    fill_missing_surnames(parts);
}

}  // namespace keycalc
