#include "skydata/greek.h"

#include <cstring>

namespace celes {

namespace {

constexpr GreekLetter kLetters[] = {
    {"Alp", "\x83\xBF", "α"}, {"Bet", "\x83\xC0", "β"}, {"Gam", "\x83\xC1", "γ"}, {"Del", "\x83\xC2", "δ"},
    {"Eps", "\x83\xC3", "ε"}, {"Zet", "\x83\xC4", "ζ"}, {"Eta", "\x83\xC5", "η"}, {"The", "\x83\xC6", "θ"},
    {"Iot", "\x83\xC7", "ι"}, {"Kap", "\x83\xC8", "κ"}, {"Lam", "\x83\xC9", "λ"}, {"Mu ", "\x83\xCA", "μ"},
    {"Nu ", "\x83\xCB", "ν"}, {"Xi ", "\x83\xCC", "ξ"}, {"Omi", "\x83\xCD", "ο"}, {"Pi ", "\x83\xCE", "π"},
    {"Rho", "\x83\xCF", "ρ"}, {"Sig", "\x83\xD0", "σ"}, {"Tau", "\x83\xD1", "τ"}, {"Ups", "\x83\xD2", "υ"},
    {"Phi", "\x83\xD3", "φ"}, {"Chi", "\x83\xD4", "χ"}, {"PSi", "\x83\xD5", "ψ"}, {"Ome", "\x83\xD6", "ω"},
    {"Sig", "\x83\xD0", "σ"},
};
static_assert(std::size(kLetters) == 25);

}  // namespace

std::span<const GreekLetter> greekLetters() {
    return kLetters;
}

const GreekLetter* findGreekLetter(const char* code) {
    for (const GreekLetter& g : kLetters)
        if (std::memcmp(g.code, code, 3) == 0) return &g;
    return nullptr;
}

}  // namespace celes
